#include "engine/scan/running_programs.h"

#include <memory>

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
constexpr std::string_view kExcludedPrefix = "EXCLUDED: ";

int16_t Percent(double done, int64_t total) {
  if (total == 0)
    return 0;
  int16_t percent = 0;
  if (!machine::RoundHalfEvenToInt16(done / total * 100, percent))
    return -1;
  return percent;
}

void AddLogRow(model::App& app, std::string message, model::ThreatIconKind icon) {
  model::RowView<model::ScanLogRow>(app.frmMain.lvwSpywareFound).Add({std::move(message), icon});
}

}  // namespace

bool ScanIsRunning(const model::App& app) {
  return !app.frmMain.cmdScan.Enabled();
}

std::string ComparablePath(const model::App& app, std::string_view module_path) {
  const std::string upper = machine::ToUpper(machine::TrimBlanks(module_path));
  return machine::ToUpper(ExpandSystem32Path(app, upper));
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsExemptCompany(std::string_view company_name) {
  return machine::EqualsIgnoreCase(machine::TrimBlanks(company_name), "MICROSOFT CORPORATION");
}

bool EndDetectedProgram(model::App& app, const DetectedProgram& program) {
  machine::ProcessTable& table = app.machine.processes();
  const std::unique_ptr<machine::OpenedProcess> process = table.OpenProcess(program.process_id);
  if (!process || ComparablePath(app, process->ModuleFileName()) != program.path)
    return false;
  const bool nt = app.machine.profile().os_family == machine::OsFamily::kNt;
  if (nt && !table.EnablePrivilege(kDebugPrivilege))
    return false;
  const bool ended = process->Terminate(0);
  if (nt)
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
  std::string message(kExcludedPrefix);
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
