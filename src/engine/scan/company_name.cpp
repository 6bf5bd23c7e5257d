#include "engine/scan/company_name.h"

#include <algorithm>
#include <optional>

#include "machine/machine.h"
#include "model/app.h"

namespace engine {

namespace {

constexpr size_t kNone = std::string_view::npos;
// How far past the value's start the fallback looks for a control character.
constexpr size_t kFallbackScan = 255;

// bytes.find("\0\0\0", from), the end of a wide value, without restarting a search at every
// other byte of it.
size_t FindThreeNuls(std::string_view bytes, size_t from) {
  size_t run = 0;
  for (size_t i = from; i < bytes.size(); ++i) {
    run = bytes[i] == '\0' ? run + 1 : 0;
    if (run == 3)
      return i - 2;
  }
  return kNone;
}

// The key where no letter follows it: inside a longer name, such as a symbol that holds the
// key's text, it is no key of a version block.
size_t FindWholePlainKey(std::string_view bytes, std::string_view key, size_t from) {
  for (size_t at = bytes.find(key, from); at != kNone; at = bytes.find(key, at + 1)) {
    const size_t after = at + key.size();
    const char next = after < bytes.size() ? static_cast<char>(bytes[after] | 0x20) : '\0';
    if (next < 'a' || next > 'z')
      return at;
  }
  return kNone;
}

}  // namespace

std::string ToWideText(std::string_view key) {
  std::string wide(1, '\x01');
  for (const char c : key) {
    wide.push_back('\0');
    wide.push_back(c);
  }
  return wide;
}

std::string CompanyNameFromBytes(std::string_view bytes) {
  static const std::string wide_section_key = ToWideText("StringFileInfo");
  // Some resource compilers give the block holding the strings the type word 0 (binary).
  static const std::string wide_section_key_type0 = '\0' + wide_section_key.substr(1);
  static const std::string wide_company_key = ToWideText("CompanyName");
  static const std::string wide_next_key = ToWideText("FileDescription");
  size_t search_start = 0;
  size_t value_start = kNone;
  std::string_view next_key;

  size_t wide_section = bytes.find(wide_section_key);
  if (wide_section == kNone)
    wide_section = bytes.find(wide_section_key_type0);
  if (wide_section == kNone) {
    // An old 8-bit resource: the key and its NUL, then the value.
    const size_t plain_section = bytes.find("StringFileInfo");
    search_start = plain_section == kNone ? 0 : plain_section;
    const size_t key = FindWholePlainKey(bytes, "CompanyName", search_start);
    if (key != kNone) {
      value_start = key + 12;
      next_key = "FileDescription";
    }
  } else {
    search_start = wide_section;
  }
  if (value_start == kNone) {
    // Type word, key and its NUL terminator, then the value.
    const size_t key = bytes.find(wide_company_key, search_start);
    if (key != kNone) {
      value_start = key + 26;
      next_key = wide_next_key;
    }
  }
  if (value_start == kNone || value_start >= bytes.size())
    return "";

  size_t end = FindThreeNuls(bytes, value_start);
  const bool runs_into_next_key =
      end != kNone && bytes.substr(value_start, end - value_start).find(next_key) != kNone;
  if (end == kNone || runs_into_next_key) {
    const size_t limit = std::min(bytes.size(), value_start + 1 + kFallbackScan);
    for (size_t i = value_start + 1; i < limit; ++i) {
      if (static_cast<unsigned char>(bytes[i]) < 32) {
        end = i;
        break;
      }
    }
  }
  if (end == kNone)
    return "";

  std::string value;
  for (const char c : bytes.substr(value_start, end - value_start)) {
    if (c != '\0')
      value.push_back(c);
  }
  return value;
}

std::string GetFileCompanyName(model::App& app, std::string_view path) {
  // One buffer per thread: a scan reads thousands of small files, and a fresh block for each
  // costs more than the read. The room a big file took is given back after it.
  constexpr size_t kKeptRoom = 1 << 20;
  thread_local std::string buffer;
  const std::optional<std::string_view> bytes =
      app.machine.files().ReadFile(path, machine::ReadCap::kExecutable, buffer);
  std::string name = bytes ? CompanyNameFromBytes(*bytes) : std::string();
  if (buffer.size() > kKeptRoom)
    std::string().swap(buffer);
  return name;
}

}  // namespace engine
