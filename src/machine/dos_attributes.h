#pragma once
// The DOS attribute bits that Samba keeps in the user.DOSATTRIB extended attribute.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace machine {

inline constexpr uint32_t kDosReadOnly = 0x1;
inline constexpr uint32_t kDosHidden = 0x2;
inline constexpr uint32_t kDosSystem = 0x4;

// The attribute bits of a user.DOSATTRIB value: the text form "0x<hex>" or the binary forms
// (versions 1 and 3 to 5). Nothing for anything else.
std::optional<uint32_t> ParseDosAttrib(std::string_view value);

// The bits stored for a host file; 0 when it has none or they cannot be read.
uint32_t ReadDosAttrib(const std::string& host_path);

// Sets or clears `bits` in the stored attributes, keeping the rest of the value. False when the
// host cannot store extended attributes there.
bool UpdateDosAttrib(const std::string& host_path, uint32_t bits, bool on);

// Copies the stored attributes of one host file to another, when there are any.
void CopyDosAttrib(const std::string& from_host_path, const std::string& to_host_path);
// The same between two open files.
void CopyDosAttrib(int from_fd, int to_fd);

}  // namespace machine
