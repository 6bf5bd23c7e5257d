#include "engine/scan/memory_stage_nt.h"

#include <cstdint>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/company_name.h"
#include "engine/scan/definition_line.h"
#include "engine/scan/exe_definition_line.h"
#include "engine/scan/exempt_company.h"
#include "machine/file_stamp.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "services/folder_tokens.h"
#include "services/processes.h"
#include "services/window_helpers.h"

namespace engine {

namespace {

// The program's own companion program is never reported.
constexpr std::string_view kCompanionProgram = "VEREVEDEDODURAVODIZ.EXE";
constexpr std::string_view kStoppedSuffix = " was stopped from running.";

// Rebuilds strExeDefinitionPaths from ExeDefinition.dat and returns the name field of the last
// line read, which the process walk keeps showing. Outside a scan a file whose settled stamp is
// the one the paths were read from is not read again: the shield runs every ten seconds.
std::string BuildPathList(model::App& app) {
  model::ScanState& scan = app.scan;
  const std::optional<machine::FileStamp> stamp = ExeDefinitionStamp(app);
  if (!model::IsScanRunning(app) && ExeDefinitionsAsRead(app, stamp))
    return {};
  std::string& list = scan.strExeDefinitionPaths;
  list.clear();
  scan.exe_definition_path_set.clear();
  scan.exe_definition_stamp.reset();
  std::string last_name;
  std::optional<DefinitionReader> reader = DefinitionReader::Open(app.system, kExeDefinitionFile);
  if (!reader)
    return last_name;
  services::LockWindow(app.system, app.frmMain.hWnd(), false);
  std::string text;
  while (reader->ReadLine(text)) {
    if (model::IsScanRunning(app) && scan.bStopScan) {
      list.clear();
      scan.exe_definition_path_set.clear();
      return last_name;
    }
    last_name = ExeNameField(text);
    if (std::optional<std::string> path = ExeDefinitionPath(app, text)) {
      if (list.empty())
        list += '|';
      list += *path;
      list += '|';
      scan.exe_definition_path_set.insert(machine::ToUpper(*path));
    }
    if (model::IsScanRunning(app)) {
      ++scan.lngMemoryItemsInspected;
      ShowMemoryProgress(app, last_name, app.definitions.lngCookieDefinitionCount);
    }
    services::LockWindow(app.system, app.frmMain.hWnd(), false);
    app.system.Yield();
  }
  list = machine::ToUpper(list);
  scan.exe_definition_stamp = stamp;
  return last_name;
}

// Looks at one listed process by the path the listing read; ending it checks that path again.
void CheckProcess(model::App& app, uint32_t process_id, std::string_view module_path,
                  const DetectionAlert& alert) {
  DetectedProgram program;
  program.process_id = process_id;
  program.path = ComparablePath(app, module_path);
  program.file_name = FileNameOf(program.path);
  if (!app.scan.exe_definition_path_set.contains(program.path))
    return;

  program.company_name = GetFileCompanyName(app, program.path);
  if (IsExemptCompany(program.company_name))
    return;
  if (IsIgnored(app, program.file_name)) {
    if (model::IsScanRunning(app))
      LogExcludedProgram(app, program.file_name);
    return;
  }
  if (machine::TrimBlanks(program.file_name) == kCompanionProgram)
    return;
  if (model::IsScanRunning(app)) {
    const bool ended = EndDetectedProgram(app, program);
    LogEndedProgram(app, program.file_name, ended, kStoppedSuffix);
  } else if (alert) {
    alert(app, program);
  }
  ++app.scan.lngThreatsFound;
}

}  // namespace

std::optional<std::string> ExeDefinitionPath(const model::App& app, std::string_view decoded_line) {
  const std::optional<std::string_view> folder_text = ExeFolderField(decoded_line);
  if (!folder_text)
    return std::nullopt;
  std::string folder;
  if (!services::TryExpandFolderTokens(app.system, *folder_text, folder))
    return std::nullopt;
  std::string path =
      CollapseDoubleBackslashes(folder + "\\" + std::string(ExeNameField(decoded_line)));
  if (!IsAbsoluteWindowsPath(path))
    return std::nullopt;
  return path;
}

void InspectProcessesNT(model::App& app, const DetectionAlert& alert) {
  // The listing reads each program's path once: the walk below needs nothing more.
  std::vector<std::string> paths;
  std::vector<uint32_t> ids;
  const int32_t count = services::GetProcessList(app.system, paths, ids, "", false);

  const std::string last_name = BuildPathList(app);

  app.frmMain.lblTotalNoOfRunningItems.SetCaption(std::to_string(count));
  for (int32_t i = 0; i < count; ++i) {
    ++app.scan.lngMemoryItemsInspected;
    if (model::IsScanRunning(app)) {
      ShowMemoryProgress(app, last_name, app.definitions.lngExeDefinitionCount);
      if (app.scan.bStopScan)
        return;
    }
    CheckProcess(app, ids[static_cast<size_t>(i)], paths[static_cast<size_t>(i)], alert);
    app.system.Yield();
  }
}

}  // namespace engine
