#include "machine/dos_attributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>

namespace machine {

namespace {

constexpr const char* kName = "user.DOSATTRIB";

uint32_t LittleEndian32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

uint16_t LittleEndian16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Where the attribute word sits in a binary value: after the version (twice, as a union tag)
// and, from version 3 on, after a word of valid-field flags.
std::optional<size_t> BinaryAttribOffset(std::string_view value) {
  if (value.size() < 8)
    return std::nullopt;
  const uint16_t version = LittleEndian16(value, 0);
  if (LittleEndian16(value, 2) != version)
    return std::nullopt;
  if (version == 1)
    return 4;
  if (version >= 3 && version <= 5 && value.size() >= 12)
    return 8;
  return std::nullopt;
}

std::optional<std::string> ReadValue(const std::string& host_path) {
  char buffer[256];
  const ssize_t size = getxattr(host_path.c_str(), kName, buffer, sizeof buffer);
  if (size < 0)
    return std::nullopt;
  return std::string(buffer, static_cast<size_t>(size));
}

}  // namespace

std::optional<uint32_t> ParseDosAttrib(std::string_view value) {
  if (value.size() >= 3 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
    uint32_t bits = 0;
    size_t i = 2;
    for (; i < value.size() && i < 10; ++i) {
      const char c = value[i];
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        break;
      bits = bits << 4 | static_cast<uint32_t>(digit);
    }
    if (i == 2)
      return std::nullopt;
    return bits;
  }
  if (const std::optional<size_t> at = BinaryAttribOffset(value))
    return LittleEndian32(value, *at);
  return std::nullopt;
}

uint32_t ReadDosAttrib(const std::string& host_path) {
  const std::optional<std::string> value = ReadValue(host_path);
  return value ? ParseDosAttrib(*value).value_or(0) : 0;
}

bool UpdateDosAttrib(const std::string& host_path, uint32_t bits, bool on) {
  std::optional<std::string> value = ReadValue(host_path);
  if (!value && errno != ENODATA)
    return false;
  const uint32_t old_bits = value ? ParseDosAttrib(*value).value_or(0) : 0;
  const uint32_t new_bits = on ? old_bits | bits : old_bits & ~bits;
  if (new_bits == old_bits && (value || !on))
    return true;
  std::string stored;
  if (const std::optional<size_t> at = value ? BinaryAttribOffset(*value) : std::nullopt) {
    // Keep the binary form and its other fields; change only the attribute word.
    stored = *value;
    for (size_t i = 0; i < 4; ++i)
      stored[*at + i] = static_cast<char>(new_bits >> (8 * i) & 0xFF);
  } else {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", new_bits);
    stored = text;
  }
  return setxattr(host_path.c_str(), kName, stored.data(), stored.size(), 0) == 0;
}

void CopyDosAttrib(const std::string& from_host_path, const std::string& to_host_path) {
  if (const std::optional<std::string> value = ReadValue(from_host_path))
    setxattr(to_host_path.c_str(), kName, value->data(), value->size(), 0);
}

void CopyDosAttrib(int from_fd, int to_fd) {
  char buffer[256];
  const ssize_t size = fgetxattr(from_fd, kName, buffer, sizeof buffer);
  if (size >= 0)
    fsetxattr(to_fd, kName, buffer, static_cast<size_t>(size), 0);
}

}  // namespace machine
