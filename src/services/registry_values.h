#pragma once
// Registry value data as the services write and read it: text with its terminating NUL,
// 32-bit numbers as 4 little-endian bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace services {

// REG_SZ data: the text followed by one NUL.
std::string StringData(std::string_view text);
// REG_DWORD data.
std::string DwordData(int32_t number);
// The number in up to 4 little-endian bytes (missing high bytes are 0).
int32_t DwordFromData(std::string_view data);
// A text that is a number (blanks around it allowed), rounded half to even into 32 bits.
bool ParseInt32(std::string_view text, int32_t& out);
// A value of any type as text: numbers in decimal, anything else cut at its first NUL.
std::string ValueAsText(uint32_t type, std::string_view data);

}  // namespace services
