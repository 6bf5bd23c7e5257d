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

// Reads a value of at most 1024 bytes. REG_SZ: its text without the terminating NUL;
// REG_DWORD: the decimal text of the number; any other type leaves `data` as it was and still
// gives true. False (and "") when the key or value cannot be read.
bool ReadRegistryValue(System& system, machine::RegHandle root, std::string_view sub_key,
                       std::string_view value_name, std::string& data);

}  // namespace services
