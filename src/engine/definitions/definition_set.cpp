#include "engine/definitions/definition_set.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/work_pacer.h"
#include "machine/machine.h"
#include "machine/whole_file_read.h"
#include "model/app.h"
#include "services/file_paths.h"

namespace engine {

namespace {

// Lines of a present definition file, counted without decoding as an encoded file ends them (at
// CR LF only, a last line without one counting too); 0 when absent, unreadable or larger than a
// definition file may be. Read piece by piece and paced, however large the file.
int64_t CountLines(const services::System& system, std::string_view file_name, WorkPacer& pacer) {
  const std::string path = ProgramFolderFile(system, file_name);
  if (!services::FileExists(system, path))
    return 0;
  int64_t lines = 0;
  uint64_t total = 0;
  char before_last = '\0';
  char last = '\0';
  const bool readable = system.machine.files().ReadFileInPieces(
      path, machine::ReadCap::kDefinitionFile, WorkPacer::kPiece * 16, [&](std::string_view bytes) {
        for (size_t lf = bytes.find('\n'); lf != std::string_view::npos;
             lf = bytes.find('\n', lf + 1)) {
          if ((lf == 0 ? last : bytes[lf - 1]) == '\r')
            ++lines;
        }
        before_last = bytes.size() > 1 ? bytes[bytes.size() - 2] : last;
        last = bytes.back();
        total += bytes.size();
        pacer.Done(bytes.size());
      });
  if (!readable)
    return 0;
  const bool last_line_ended = before_last == '\r' && last == '\n';
  return lines + (total > 0 && !last_line_ended ? 1 : 0);
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
  // The status page tells what is installed, not what was.
  app.definitions.lngTotalDefinitions = CountDefinitions(app);
}

int64_t CountDefinitions(model::App& app) {
  WorkPacer pacer(app.system);
  DefinitionFileLines lines;
  lines.cookies = CountLines(app.system, kBlockedCookiesFile, pacer);
  lines.exe = CountLines(app.system, kExeDefinitionFile, pacer);
  lines.registry = CountLines(app.system, kRegistryDefinitionFile, pacer);
  lines.files = CountLines(app.system, kFileDefinitionFile, pacer);
  lines.folders = CountLines(app.system, kDirectoryDefinitionFile, pacer);
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
