#include "engine/definitions/definition_set.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "machine/machine.h"
#include "machine/whole_file_read.h"
#include "model/app.h"

namespace engine {

namespace {

// Lines of a present definition file, counted without decoding; 0 when absent or unreadable.
int64_t CountLines(const services::System& system, std::string_view file_name) {
  auto reader = DefinitionReader::Open(system, file_name, DefinitionReader::Coding::kEncoded);
  return reader ? reader->CountRemaining() : 0;
}

constexpr std::array<std::string_view, 5> kCheckOrder = {
    kFileDefinitionFile, kRegistryDefinitionFile, kExeDefinitionFile, kBlockedCookiesFile,
    kDirectoryDefinitionFile};

}  // namespace

bool CheckDefinitionFiles(model::App& app) {
  for (std::string_view name : kCheckOrder) {
    if (!ProgramFileExists(app.system, name)) {
      app.frmMain.lblDefVersion.SetCaption("Files Missing, Run Live Update");
      DeleteDefinitionFiles(app);
      return false;
    }
  }
  return true;
}

bool DefinitionFilesReadable(const model::App& app) {
  const machine::FileSystem& files = app.system.machine.files();
  for (std::string_view name : kCheckOrder) {
    if (!files.CanRead(ProgramFolderFile(app.system, name), machine::ReadCap::kDefinitionFile))
      return false;
  }
  return true;
}

void DeleteDefinitionFiles(model::App& app) {
  static constexpr std::array<std::string_view, 6> kDeleteOrder = {
      kDirectoryDefinitionFile, kBlockedCookiesFile, kExeDefinitionFile,
      kRegistryDefinitionFile,  kFileDefinitionFile, kDefinitionsDateFile};
  machine::FileSystem& files = app.system.machine.files();
  for (std::string_view name : kDeleteOrder)
    files.DeleteFile(ProgramFolderFile(app.system, name));
}

int64_t CountDefinitions(model::App& app) {
  DefinitionFileLines lines;
  lines.cookies = CountLines(app.system, kBlockedCookiesFile);
  lines.exe = CountLines(app.system, kExeDefinitionFile);
  lines.registry = CountLines(app.system, kRegistryDefinitionFile);
  lines.files = CountLines(app.system, kFileDefinitionFile);
  lines.folders = CountLines(app.system, kDirectoryDefinitionFile);
  return StoreDefinitionCounts(app.definitions, lines);
}

int64_t StoreDefinitionCounts(model::DefinitionsState& counts, const DefinitionFileLines& lines) {
  counts.lngCookieDefinitionCount = lines.cookies;
  counts.lngExeDefinitionCount = lines.exe;
  counts.lngRegistryDefinitionCount = lines.registry;
  counts.lngFileDefinitionCount = lines.files + lines.folders;
  return counts.lngCookieDefinitionCount + counts.lngExeDefinitionCount +
         counts.lngRegistryDefinitionCount + counts.lngFileDefinitionCount;
}

void RemoveLeftoverTemporaryFiles(model::App& app) {
  app.system.machine.files().RemoveTemporaryFiles(app.system.machine.profile().program_folder);
}

void InstallDownloadedDefinitions(model::App& app) {
  // There is no downloaded replacement of the folder definitions.
  static constexpr std::array<std::string_view, 4> kReplaceable = {
      kBlockedCookiesFile, kRegistryDefinitionFile, kFileDefinitionFile, kExeDefinitionFile};
  machine::FileSystem& files = app.system.machine.files();
  for (std::string_view name : kReplaceable) {
    const std::string downloaded_name = std::string(kDownloadedPrefix) + std::string(name);
    if (!ProgramFileExists(app.system, downloaded_name))
      continue;
    // The rename replaces the live file in one step: it is never gone while the new one is not
    // yet in place.
    files.Rename(ProgramFolderFile(app.system, downloaded_name),
                 ProgramFolderFile(app.system, name));
  }
  LoadIgnoreList(app);
}

}  // namespace engine
