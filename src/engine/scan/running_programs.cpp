#include "engine/scan/running_programs.h"

#include <memory>

#include "engine/definitions/definition_reader.h"
#include "engine/scan/scan_percent.h"
#include "engine/scan/scan_progress.h"
#include "engine/scan/system32_path.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"

namespace engine {

namespace {

constexpr std::string_view kDebugPrivilege = "SeDebugPrivilege";
constexpr std::string_view kDetectedPrefix = "Detected in the memory : ";
constexpr std::string_view kNotStoppedSuffix = " could not be stopped.";

// A share of nothing is 0; one too large for the bar leaves it as it is.
int16_t Percent(double done, int64_t total) {
  return total == 0 ? 0 : PercentOf(done, static_cast<double>(total)).value_or(-1);
}

void AddLogRow(model::App& app, std::string message, model::ThreatIconKind icon) {
  model::RowView<model::ScanLogRow>(app.frmMain.lvwSpywareFound).Add({std::move(message), icon});
}

}  // namespace

std::optional<machine::FileStamp> ExeDefinitionStamp(const model::App& app) {
  return app.machine.files().Stamp(ProgramFolderFile(app.system, kExeDefinitionFile));
}

bool ExeDefinitionsAsRead(const model::App& app, const std::optional<machine::FileStamp>& stamp) {
  // A recent stamp proves nothing yet: a write in the same clock tick could follow unseen.
  return stamp && !stamp->recent && app.scan.exe_definition_stamp == stamp;
}

std::string ComparablePath(const model::App& app, std::string_view module_path) {
  const std::string upper = machine::ToUpper(machine::TrimBlanks(module_path));
  return machine::ToUpper(ExpandSystem32Path(app, upper));
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool TerminateProcessById(model::App& app, uint32_t process_id, std::string_view matched_path) {
  const std::unique_ptr<machine::OpenedProcess> process =
      app.machine.processes().OpenProcess(process_id);
  if (!process || ComparablePath(app, process->ModuleFileName()) != matched_path)
    return false;
  // A running process reports "still active" as its exit code, which it is then ended with.
  constexpr uint32_t kStillActive = 259;
  return process->Terminate(kStillActive);
}

bool EndDetectedProgram(model::App& app, const DetectedProgram& program) {
  if (app.machine.profile().os_family != machine::OsFamily::kNt)
    return TerminateProcessById(app, program.process_id, program.path);
  machine::ProcessTable& table = app.machine.processes();
  if (!table.EnablePrivilege(kDebugPrivilege))
    return false;
  const bool ended = TerminateProcessById(app, program.process_id, program.path);
  table.DisablePrivilege(kDebugPrivilege);
  return ended;
}

void LogEndedProgram(model::App& app, std::string_view file_name, bool ended,
                     std::string_view stopped_suffix) {
  std::string message(kDetectedPrefix);
  message += file_name;
  message += ended ? stopped_suffix : kNotStoppedSuffix;
  AddLogRow(app, std::move(message), model::ThreatIconKind::kFile);
}

void LogExcludedProgram(model::App& app, std::string_view file_name) {
  std::string message(model::kExcludedPrefix);
  message += file_name;
  AddLogRow(app, std::move(message), model::ThreatIconKind::kExcluded);
}

void ShowMemoryProgress(model::App& app, std::string_view item, int64_t overall_offset) {
  const int32_t done = app.scan.lngMemoryItemsInspected;
  std::string text = app.scan.strScanPhaseCaption;
  text += "\r\n";
  text += item;
  UpdateScanProgress(
      app, text, Percent(done, app.definitions.lngExeDefinitionCount),
      Percent(static_cast<double>(done) + overall_offset, app.definitions.lngTotalDefinitions));
}

}  // namespace engine
