#include "services/file_paths.h"

#include "machine/file_system.h"
#include "machine/machine.h"
#include "machine/text.h"

namespace services {

std::string GetFileExtension(std::string_view path) {
  for (size_t i = path.size(); i-- > 0;) {
    const char c = path[i];
    if (c == '.')
      return machine::ToLower(machine::TrimBlanks(path.substr(i + 1)));
    if (c == ':' || c == '\\')
      break;
  }
  return {};
}

std::string GetFileNamePart(std::string_view path) {
  const size_t last = path.rfind('\\');
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string GetFileNameFromBuffer(std::string_view buffer) {
  return GetFileNamePart(machine::CutAtNul(buffer));
}

std::string GetSystemDirectoryPath(const System& system) {
  std::string folder = system.machine.profile().system_folder;
  // "C:\" keeps its backslash: without it the text would name the current folder of drive C:.
  while (folder.size() > 3 && folder.back() == '\\')
    folder.pop_back();
  return folder;
}

bool FolderExists(const System& system, std::string_view path) {
  return system.machine.files().FolderExists(path);
}

bool FileExists(const System& system, std::string_view path) {
  const size_t last = path.rfind('\\');
  const std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
  if (name.empty())
    return false;
  const std::optional<machine::EntryInfo> entry = system.machine.files().Query(path);
  // The name the folder lists must be the one asked for (no trailing dots or blanks dropped).
  return entry && entry->IsNormalFile() &&
         (entry->name == name || machine::EqualsIgnoreCase(entry->name, name));
}

}  // namespace services
