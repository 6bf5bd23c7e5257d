#include "engine/scan/definition_line.h"

#include <cctype>

#include "machine/text.h"
#include "services/folder_tokens.h"

namespace engine {

DefinitionLine ParseDefinitionLine(std::string_view decoded_line) {
  DefinitionLine line;
  std::string_view first = decoded_line;
  const size_t bar = decoded_line.find('|');
  if (bar != std::string_view::npos) {
    line.has_folder = true;
    first = decoded_line.substr(0, bar);
    std::string_view rest = decoded_line.substr(bar + 1);
    const size_t second_bar = rest.find('|');
    line.folder = std::string(rest.substr(0, second_bar));
    if (second_bar != std::string_view::npos) {
      rest = rest.substr(second_bar + 1);
      line.extra_text = std::string(rest.substr(0, rest.find('|')));
    }
  }
  const size_t equals = first.find('=');
  line.name = std::string(first.substr(0, equals));
  if (equals != std::string_view::npos) {
    line.has_threat_name = true;
    const std::string_view after = first.substr(equals + 1);
    line.threat_name = std::string(after.substr(0, after.find('=')));
  }
  return line;
}

void PrepareFileLine(const DefinitionLine& line, bool folder_ok, const std::string& folder,
                     LineTarget& target) {
  target.counted = true;
  const std::string& name = line.name;
  if (!name.empty() && (name.front() == ' ' || name.back() == ' '))
    target.shown_name = machine::TrimBlanks(name);
  else
    target.shown_name.assign(name);
  target.path.assign(folder);
  if (!folder.empty())
    target.path += '\\';
  target.path += target.shown_name;
  if (target.path.find("\\\\") != std::string::npos)
    target.path = CollapseDoubleBackslashes(target.path);
  target.testable = folder_ok && IsAbsoluteWindowsPath(target.path) && line.has_threat_name;
}

void PrepareFolderLine(const DefinitionLine& line, bool folder_ok, const std::string& folder,
                       LineTarget& target) {
  target.counted = false;
  target.testable = false;
  if (!folder_ok || folder.empty() || !IsAbsoluteWindowsPath(folder))
    return;
  target.counted = true;
  target.path.assign(folder);
  target.shown_name.assign(line.name);
  for (const std::string_view end : {"\r\n", "\r", "\n", "\t"}) {
    if (target.shown_name.find(end) != std::string::npos)
      target.shown_name = machine::ReplaceAll(target.shown_name, end, "");
  }
  target.testable = line.has_threat_name;
}

std::string CollapseDoubleBackslashes(std::string_view path) {
  return machine::ReplaceAll(path, "\\\\", "\\");
}

bool IsAbsoluteWindowsPath(std::string_view path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) != 0 &&
         path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

bool ExpandDefinitionFolder(const services::System& system, std::string_view folder,
                            std::string_view drive_root, std::string& expanded) {
  const std::string with_drive = machine::ReplaceAll(folder, "[drive]", drive_root);
  if (!services::TryExpandFolderTokens(system, with_drive, expanded))
    return false;
  expanded = CollapseDoubleBackslashes(expanded);
  return true;
}

}  // namespace engine
