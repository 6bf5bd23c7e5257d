#include "engine/scan/memory_stage_9x.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/company_name.h"
#include "engine/scan/exe_definition_line.h"
#include "engine/scan/exempt_company.h"
#include "engine/scan/running_programs.h"
#include "machine/file_stamp.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "services/processes.h"
#include "services/prompts.h"

namespace engine {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kStoppedSuffix = " and was stopped being from ruuning.";

int32_t CountLines(std::string_view lines) {
  int32_t count = 0;
  for (size_t at = lines.find(kLineEnd); at != std::string_view::npos;
       at = lines.find(kLineEnd, at + kLineEnd.size())) {
    ++count;
  }
  return count;
}

// Keeps strExeDefinitionLines while ExeDefinition.dat still has the settled stamp it was read
// with, and only counts it then; otherwise reads the file again. False when there is nothing to
// compare with because the file is missing.
bool LoadDefinitionLines(model::App& app) {
  model::ScanState& scan = app.scan;
  std::string& lines = scan.strExeDefinitionLines;
  const std::optional<machine::FileStamp> stamp = ExeDefinitionStamp(app);
  if (!machine::TrimBlanks(lines).empty() && ExeDefinitionsAsRead(app, stamp)) {
    scan.lngMemoryItemsInspected += CountLines(lines);
    return true;
  }
  lines.clear();
  scan.exe_definition_stamp.reset();
  std::optional<DefinitionReader> reader = DefinitionReader::Open(app.system, kExeDefinitionFile);
  if (!reader)
    return false;
  std::string text;
  while (reader->ReadLine(text)) {
    if (model::IsScanRunning(app) && scan.bStopScan) {
      lines.clear();
      return true;
    }
    lines += text;
    lines += kLineEnd;
    ++scan.lngMemoryItemsInspected;
    if (model::IsScanRunning(app))
      ShowMemoryProgress(app, text, app.definitions.lngCookieDefinitionCount);
    app.system.Yield();
  }
  scan.exe_definition_stamp = stamp;
  return true;
}

// Some line's name field (the text before its first "=", or the whole line, trimmed) is the file
// name.
bool IsListed(std::string_view lines, std::string_view file_name) {
  while (!lines.empty()) {
    const size_t end = lines.find(kLineEnd);
    const std::string_view line = lines.substr(0, end);
    if (machine::EqualsIgnoreCase(machine::TrimBlanks(ExeNameField(line)), file_name))
      return true;
    if (end == std::string_view::npos)
      break;
    lines.remove_prefix(end + kLineEnd.size());
  }
  return false;
}

// Outside a scan: Yes ends the program, No puts it on the ignore list. True when counted.
bool AskUser(model::App& app, const DetectedProgram& program) {
  const std::string& product = app.SettingsApplication();
  std::string title = product + "  - Alert";
  std::string prompt = product + " has found  [" + program.file_name +
                       "] using you system memory.Click YES to stop [" + program.file_name +
                       "] from using your system memory. Otherwise click No.";
  if (app.runtime.MsgBox(prompt, services::vbYesNo | services::vbQuestion, title) ==
      services::vbYes) {
    TerminateProcessById(app, program.process_id, program.path);
    return true;
  }
  AddToIgnoreList(app, program.file_name);
  return false;
}

void CheckProgram(model::App& app, uint32_t process_id, const std::string& full_path) {
  DetectedProgram program;
  program.process_id = process_id;
  program.path = ComparablePath(app, full_path);
  program.file_name = machine::ToUpper(machine::TrimBlanks(FileNameOf(full_path)));
  if (!IsListed(app.scan.strExeDefinitionLines, program.file_name))
    return;

  program.company_name = GetFileCompanyName(app, full_path);
  if (IsExemptCompany(program.company_name))
    return;
  if (IsIgnored(app, program.file_name)) {
    if (model::IsScanRunning(app))
      LogExcludedProgram(app, program.file_name);
    return;
  }
  if (!model::IsScanRunning(app)) {
    if (AskUser(app, program))
      ++app.scan.lngThreatsFound;
    return;
  }
  const bool ended = TerminateProcessById(app, program.process_id, program.path);
  LogEndedProgram(app, program.file_name, ended, kStoppedSuffix);
  ++app.scan.lngThreatsFound;
}

}  // namespace

void InspectProcesses9x(model::App& app) {
  if (!LoadDefinitionLines(app))
    return;

  std::vector<std::string> paths;
  std::vector<uint32_t> ids;
  const int32_t count = services::GetProcessList(app.system, paths, ids, "", false);
  if (count < 0)
    return;
  // The count shown is this walk's alone.
  forms::Label& shown = app.frmMain.lblTotalNoOfRunningItems;
  shown.SetCaption("0");
  for (int32_t i = 0; i < count; ++i) {
    shown.SetCaption(std::to_string(i + 1));
    CheckProgram(app, ids[static_cast<size_t>(i)], paths[static_cast<size_t>(i)]);
    app.system.Yield();
  }
}

}  // namespace engine
