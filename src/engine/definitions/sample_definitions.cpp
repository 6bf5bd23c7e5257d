#include "engine/definitions/sample_definitions.h"

#include <string>

#include "engine/definitions/definition_reader.h"
#include "services/text_codec.h"

namespace engine {

namespace {

// The readable sources, kept as plain text beside the other data files: each holds one raw
// string literal with the decoded lines, one per line.
constexpr std::string_view kFileLines =
#include "../../../data/definitions/FileDefinition.txt"
    ;
constexpr std::string_view kDirectoryLines =
#include "../../../data/definitions/DirectoryDefinition.txt"
    ;
constexpr std::string_view kExeLines =
#include "../../../data/definitions/ExeDefinition.txt"
    ;
constexpr std::string_view kRegistryLines =
#include "../../../data/definitions/RegistryDefinition.txt"
    ;
constexpr std::string_view kCookieLines =
#include "../../../data/definitions/BlockedCookies.txt"
    ;

// The literal opens and closes on a line of its own.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  if (!text.empty() && text.front() == '\n')
    text.remove_prefix(1);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos)
      break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

const std::vector<SampleDefinitionFile>& SampleDefinitionFiles() {
  static const std::vector<SampleDefinitionFile> files = {
      {kFileDefinitionFile, Lines(kFileLines)},
      {kDirectoryDefinitionFile, Lines(kDirectoryLines)},
      {kExeDefinitionFile, Lines(kExeLines)},
      {kRegistryDefinitionFile, Lines(kRegistryLines)},
      {kBlockedCookiesFile, Lines(kCookieLines)},
  };
  return files;
}

bool LacksAllDefinitionFiles(const machine::FileSystem& files, std::string_view program_folder) {
  if (!files.FolderExists(program_folder))
    return false;
  for (const SampleDefinitionFile& sample : SampleDefinitionFiles()) {
    if (files.Attributes(std::string(program_folder) + "\\" + std::string(sample.file_name)))
      return false;
  }
  return true;
}

bool WriteSampleDefinitions(machine::FileSystem& files, std::string_view program_folder) {
  if (!files.FolderExists(program_folder) && !files.CreateFolder(program_folder))
    return false;
  bool all_there = true;
  for (const SampleDefinitionFile& sample : SampleDefinitionFiles()) {
    const std::string path = std::string(program_folder) + "\\" + std::string(sample.file_name);
    if (const auto attributes = files.Attributes(path)) {
      if (!attributes->IsNormalFile())
        all_there = false;
      continue;
    }
    std::string content;
    for (std::string_view line : sample.lines) {
      content += services::EncodeText(line);
      content += "\r\n";
    }
    if (!files.WriteFile(path, content))
      all_there = false;
  }
  return all_there;
}

}  // namespace engine
