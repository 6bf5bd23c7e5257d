#pragma once
// Writing and reading single registry values, as the home-page shield does.

#include <cstdint>
#include <string>
#include <string_view>

#include "machine/registry.h"

namespace services {

struct System;

// Writes a value under an existing key of HKEY_CURRENT_USER; a missing key is not created and
// the write then fails silently. `value` is the text (for type 4 a number written as text).
void SetCurrentUserValue(System& system, std::string_view key_name, std::string_view value_name,
                         std::string_view value, int32_t value_type);

// Writes `value` into an open key: type 1 (REG_SZ) as the text and one NUL, type 4 (REG_DWORD)
// as the number rounded to a 32-bit integer. Any other type writes nothing and gives 0. For
// type 4 a text that is not a 32-bit number writes nothing and gives kRegInvalidParameter
// rather than storing a 0 nobody asked for.
int32_t SetValueEx(System& system, machine::RegHandle key, std::string_view value_name,
                   int32_t type, std::string_view value);

enum class RegistryRead {
  kRead,
  kAbsent,  // the key or the value does not exist
  // A read that failed, or a value of a type that reads as no text.
  kUnreadable,
};

// Reads a value whole. REG_SZ and REG_EXPAND_SZ: its text without the terminating NUL (not
// expanded); REG_DWORD: the decimal text of the number. `data` is "" unless the value was read.
RegistryRead ReadRegistryValue(System& system, machine::RegHandle root, std::string_view sub_key,
                               std::string_view value_name, std::string& data);

}  // namespace services
