#pragma once
// Builds the bytes of an executable-like file holding a UTF-16LE version resource, laid out
// as the platform's resource compiler lays it out (each node: length, value length, type, key,
// padding to 4 bytes, value, padding).

#include <cstdint>
#include <string>
#include <string_view>

namespace hg_test {

inline std::string Utf16z(std::string_view text) {
  std::string out;
  for (const char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  out.append(2, '\0');
  return out;
}

inline std::string VersionNode(std::string_view key, std::string_view value, uint16_t type,
                               std::string_view children = {}) {
  const auto pad = [](std::string& s) {
    while (s.size() % 4 != 0)
      s.push_back('\0');
  };
  const auto put = [](std::string& s, size_t at, size_t word) {
    s[at] = static_cast<char>(word & 0xFF);
    s[at + 1] = static_cast<char>((word >> 8) & 0xFF);
  };
  std::string node(6, '\0');
  node += Utf16z(key);
  pad(node);
  if (type == 1)
    node += value.empty() ? std::string(2, '\0') : Utf16z(value);
  pad(node);
  node += children;
  put(node, 0, node.size());
  put(node, 2, type == 1 ? value.size() + 1 : 0);
  put(node, 4, type);
  return node;
}

// Some code bytes, then a version block whose CompanyName is `company`, its string block of
// the type word `string_block_type`.
inline std::string FileWithCompany(std::string_view company, uint16_t string_block_type = 1) {
  const std::string strings = VersionNode("CompanyName", company, 1) +
                              VersionNode("FileDescription", "Tool", 1) +
                              VersionNode("FileVersion", "1.0", 1);
  const std::string table = VersionNode("040904B0", "", 1, strings);
  const std::string file_info = VersionNode("StringFileInfo", "", string_block_type, table);
  const std::string version = VersionNode("VS_VERSION_INFO", "", 0, file_info);
  return std::string("MZ\x90\0\x03\0\0\0", 8) + std::string(300, '\xCC') + version +
         std::string(64, '\0');
}

}  // namespace hg_test
