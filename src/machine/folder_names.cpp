#include "machine/folder_names.h"

#include <dirent.h>

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "machine/encoding.h"

namespace machine {

namespace {

bool EndsWithDotOrBlank(std::string_view text) {
  return !text.empty() && (text.back() == '.' || text.back() == ' ');
}

// Every byte from 0x80 up, "%" and the trailing dots and blanks as "%XX": distinct for
// distinct names, and never ending in a dot or blank.
std::string Escaped(std::string_view host_name) {
  size_t keep_end = host_name.size();
  while (keep_end > 0 && (host_name[keep_end - 1] == '.' || host_name[keep_end - 1] == ' '))
    --keep_end;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < host_name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(host_name[i]);
    if (byte >= 0x80 || byte == '%' || i >= keep_end) {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xF]);
    } else {
      out.push_back(static_cast<char>(byte));
    }
  }
  return out;
}

}  // namespace

bool HasNaturalWindowsName(std::string_view host_name, std::string* windows_name) {
  if (EndsWithDotOrBlank(host_name))
    return false;
  std::optional<std::string> converted = Utf8ToWindows1252(host_name);
  if (!converted)
    return false;
  if (windows_name != nullptr)
    *windows_name = std::move(*converted);
  return true;
}

std::vector<std::string> FolderWindowsNames(const std::vector<std::string>& host_names) {
  std::vector<std::string> names(host_names.size());
  std::vector<size_t> others;
  for (size_t i = 0; i < host_names.size(); ++i) {
    if (!HasNaturalWindowsName(host_names[i], &names[i]))
      others.push_back(i);
  }
  if (others.empty())
    return names;  // the usual case
  std::unordered_set<std::string> taken;
  for (size_t i = 0; i < host_names.size(); ++i) {
    if (!names[i].empty())
      taken.insert(names[i]);
  }
  // Escaped names are distinct, so only a natural spelling can hold one already.
  std::vector<size_t> held;
  for (const size_t i : others) {
    names[i] = Escaped(host_names[i]);
    if (taken.count(names[i]) != 0)
      held.push_back(i);
  }
  for (const size_t i : others)
    taken.insert(names[i]);
  // In host-name order, so that the outcome does not hang on the order the host lists in.
  std::sort(held.begin(), held.end(),
            [&](size_t a, size_t b) { return host_names[a] < host_names[b]; });
  for (const size_t i : held) {
    // The number goes before the extension, which still tells what the file is.
    const std::string base = std::move(names[i]);
    const size_t dot = base.rfind('.');
    const size_t at = dot == std::string::npos || dot == 0 ? base.size() : dot;
    std::string name;
    for (int n = 2; name.empty() || !taken.insert(name).second; ++n)
      name = base.substr(0, at) + "~" + std::to_string(n) + base.substr(at);
    names[i] = std::move(name);
  }
  return names;
}

std::string WindowsNameInFolder(const std::string& host_folder, const std::string& host_name) {
  std::string natural;
  if (HasNaturalWindowsName(host_name, &natural))
    return natural;
  DIR* dir = opendir(host_folder.c_str());
  if (dir == nullptr)
    return std::string();
  std::vector<std::string> host_names;
  while (const dirent* d = readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name != "." && name != "..")
      host_names.emplace_back(name);
  }
  closedir(dir);
  const auto it = std::find(host_names.begin(), host_names.end(), host_name);
  if (it == host_names.end())
    return std::string();
  return FolderWindowsNames(host_names)[static_cast<size_t>(it - host_names.begin())];
}

}  // namespace machine
