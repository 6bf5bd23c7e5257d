#pragma once
// Machine-wide string settings: HKEY_LOCAL_MACHINE\SOFTWARE\<company>\<application>\<section>,
// one REG_SZ value per key. The company name is the executable's, read at each call.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace services {

struct System;

// Base of the interface-defined automation errors; the reader's error numbers are offsets.
inline constexpr int32_t kSettingsErrorBase = static_cast<int32_t>(0x80040000u);

// Raised by GetSettingHKLM.
struct SettingsError : std::exception {
  SettingsError(int32_t n, std::string d) : number(n), description(std::move(d)) {}
  const char* what() const noexcept override { return description.c_str(); }

  int32_t number;
  std::string description;
};

// Writes the value, creating the keys that are missing. A write the registry refuses (no
// rights) is not reported. When the hive itself fails, the user is asked to Abort, Retry or
// Ignore (unless they chose Ignore before); Ignore stops the question for good.
void SaveSettingHKLM(System& system, std::string_view application, std::string_view section,
                     std::string_view key, std::string_view value);

// The stored text, or `default_value` when the key or value is missing. Blanks around the
// names do not count. Raises SettingsError for an empty name (base + 1000, 1001, 1002), a key
// that cannot be opened (base + 2000 + status) and a value that is not REG_SZ (base + 2000 +
// type).
std::string GetSettingHKLM(System& system, std::string_view application, std::string_view section,
                           std::string_view key, std::string_view default_value);

}  // namespace services
