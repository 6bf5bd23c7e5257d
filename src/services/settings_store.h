#pragma once
// The per-user settings store: text values addressed by application, section and key, kept in
// the user hive under HKEY_CURRENT_USER, key "Software\VB and VBA Program Settings", then the
// application and the section as sub-keys, one REG_SZ value per key. A read names its default;
// a write creates what is missing. Failures are not reported: a read gives its default, a write
// changes nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace services {

struct System;

inline constexpr std::string_view kSettingsStoreKey = "Software\\VB and VBA Program Settings";

// The stored text, or the default when the application, section or key is absent (or a name
// is empty). A value of another type reads as its text form (a REG_DWORD as decimal text).
std::string ReadSetting(System& system, std::string_view application, std::string_view section,
                        std::string_view key, std::string_view default_value);
// A numeric default is given back as its decimal text.
std::string ReadSetting(System& system, std::string_view application, std::string_view section,
                        std::string_view key, int64_t default_value);

void WriteSetting(System& system, std::string_view application, std::string_view section,
                  std::string_view key, std::string_view value);

// Integer conversion of a setting: a number rounded half to even into 16 bits, "True" -1,
// "False" 0 (ignoring case and blanks around). A text that is not a number, or a number out of
// the 16-bit range, gives 0.
int SettingToInt(std::string_view text);
// The same, with nothing for a text that does not convert (the reader then leaves its control
// as it was).
std::optional<int> TrySettingToInt(std::string_view text);
// Boolean conversion: "True"/"False" ignoring case, or a number where 0 is false. Any other
// text is false.
bool SettingToBool(std::string_view text);
// The same, with nothing for any other text.
std::optional<bool> TrySettingToBool(std::string_view text);
// The numeric value of a setting; 0 when the text is not a number.
double SettingNumericValue(std::string_view text);

}  // namespace services
