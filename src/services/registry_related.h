#pragma once
// Registry access for the scan, the removal and the options: reading values as text, testing
// keys and values, writing values, and deleting keys and values with a quarantine-log entry.
// Nothing here raises; results are Booleans and registry status codes.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "machine/registry.h"

namespace services {

struct System;

// What QueryValueEx read: nothing, a text (REG_SZ, REG_EXPAND_SZ) or a number (REG_DWORD).
using QueriedValue = std::variant<std::monostate, std::string, int32_t>;

// Reads root\key's value as text (a REG_DWORD as its decimal text). True only when the read
// succeeded; the text is "" otherwise and for a type other than 1, 2 and 4.
bool QueryValue(System& system, machine::RegHandle root, std::string_view key,
                std::string_view value_name, std::string& value_text);

// Reads a value of an open key. `value` starts as ""; REG_SZ and REG_EXPAND_SZ give the text
// without its terminating NUL (no expansion), REG_DWORD the number. Returns 0 on success, the
// registry status when the data cannot be read (`value` then holds nothing), and -1 for a
// missing value or any other type.
int32_t QueryValueEx(System& system, machine::RegHandle key, std::string_view value_name,
                     QueriedValue& value);

bool RegistryKeyExists(System& system, machine::RegHandle root, std::string_view key);

// True when the value exists, whatever its type.
bool RegistryValueExists(System& system, machine::RegHandle root, std::string_view key,
                         std::string_view value_name);

// Creates root\key when missing and writes the value: REG_DWORD when the text is a number that
// fits in 32 bits (rounded half to even), else REG_SZ with the blanks around it trimmed.
void SetRegistryValue(System& system, machine::RegHandle root, std::string_view key,
                      std::string_view value_name, std::string_view value);

// Deletes root\key with all its sub-keys and values and logs it to the quarantine log as
// "<root handle in decimal>\<key>" with "All Values". An empty or blank key is refused: false,
// nothing deleted, nothing logged.
bool DeleteRegistryKey(System& system, machine::RegHandle root, std::string_view key);

// Deletes one value. Only a value that was deleted is logged, as "<root name>\<key>" with the
// value name; the result says whether it was deleted.
bool DeleteRegistryValue(System& system, machine::RegHandle root, std::string_view key,
                         std::string_view value_name);

}  // namespace services
