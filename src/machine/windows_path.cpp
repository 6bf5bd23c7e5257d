// Parsing of Windows paths ("C:\a\b") into a drive letter and clean components.
#include <array>
#include <string>
#include <string_view>

#include "machine/file_system.h"
#include "machine/text.h"

namespace machine {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// Characters no Windows name may hold; "*" and "?" among them, so wildcards never match. A
// table, as every look-up checks its name.
constexpr std::array<bool, 256> kForbiddenInName = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 0x20; ++c)
    table[c] = true;
  for (const char c : std::string_view("\\/*?<>\"|:"))
    table[static_cast<unsigned char>(c)] = true;
  return table;
}();

bool IsForbiddenInName(char c) {
  return kForbiddenInName[static_cast<unsigned char>(c)];
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 name devices, with any extension.
bool IsDeviceName(std::string_view name) {
  switch (name.front() | 0x20) {  // ASCII letters in lower case
    case 'a':
    case 'c':
    case 'l':
    case 'n':
    case 'p':
      break;
    default:
      return false;  // most names are settled by their first letter
  }
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ')
    base.remove_suffix(1);
  if (base.size() != 3 && base.size() != 4)
    return false;
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (EqualsIgnoreCase(base, device))
      return true;
  }
  return base.size() == 4 &&
         (StartsWithIgnoreCase(base, "COM") || StartsWithIgnoreCase(base, "LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool IsValidWindowsName(std::string_view name) {
  if (name.empty() || IsDeviceName(name))
    return false;
  for (char c : name) {
    if (IsForbiddenInName(c))
      return false;
  }
  return true;
}

std::string WindowsPath::ToString() const {
  std::string out{drive, ':'};
  if (components.empty())
    return out + "\\";
  for (const std::string& c : components)
    out.append("\\").append(c);
  return out;
}

std::optional<WindowsPath> ParseWindowsPath(std::string_view text) {
  // Only "X:" or "X:\..." is absolute; "\\?\", "\\.\" and "\\server\share" never get here.
  if (text.size() < 2 || text[1] != ':')
    return std::nullopt;
  const char letter = ToUpperChar(text[0]);
  if (letter < 'A' || letter > 'Z')
    return std::nullopt;
  if (text.size() > 2 && !IsSeparator(text[2]))
    return std::nullopt;  // "C:name" is relative to a current folder we do not keep

  WindowsPath out;
  out.drive = letter;
  const bool ends_with_separator = IsSeparator(text.back());
  size_t pos = 2;
  while (pos < text.size()) {
    while (pos < text.size() && IsSeparator(text[pos]))
      ++pos;
    size_t end = pos;
    while (end < text.size() && !IsSeparator(text[end]))
      ++end;
    if (end == pos)
      break;
    std::string_view name = text.substr(pos, end - pos);
    const bool last = end == text.size();
    pos = end;
    if (name == ".")
      continue;
    if (name == "..") {
      if (!out.components.empty())
        out.components.pop_back();
      continue;
    }
    if (last && !ends_with_separator) {
      // The platform drops trailing dots and blanks from the last name.
      while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.remove_suffix(1);
      if (name.empty())
        continue;
    }
    if (!IsValidWindowsName(name))
      return std::nullopt;
    out.components.emplace_back(name);
  }
  return out;
}

}  // namespace machine
