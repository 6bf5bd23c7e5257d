#include "removal/scan_report.h"

#include <optional>

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "removal/quarantine_store.h"
#include "services/file_paths.h"

namespace removal {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kRule = "-----------------------";

// The lines of a normal file; nothing when it is absent or unreadable.
std::optional<engine::LineReader> ReadLines(const model::App& app, const std::string& path,
                                            uint64_t cap) {
  if (!services::FileExists(app.system, path))
    return std::nullopt;
  std::optional<std::string> text = app.machine.files().ReadFile(path, cap);
  if (!text)
    return std::nullopt;
  return engine::LineReader(std::move(*text));
}

// Every entry of the ignore list, each followed by CR LF. Lines that are empty or one blank
// are no entries.
std::string ExclusionText(const model::App& app) {
  std::string text;
  std::optional<engine::LineReader> lines =
      ReadLines(app, engine::ProgramFolderFile(app.system, engine::kIgnoreListFile),
                machine::ReadCap::kDefinitionFile);
  if (!lines)
    return text;
  std::string line;
  while (lines->ReadLine(line)) {
    if (line.empty() || line == " ")
      continue;
    text += line;
    text += kCrLf;
  }
  return text;
}

// Every line of the quarantine log, empty ones included, each followed by an empty line.
std::string QuarantineText(const model::App& app) {
  std::string text;
  std::optional<engine::LineReader> lines =
      ReadLines(app, QuarantineFolderPath(app.system) + "\\" + std::string(kQuarantineLogName),
                machine::ReadCap::kLog);
  if (!lines)
    return text;
  std::string line;
  while (lines->ReadLine(line)) {
    text += line;
    text += kCrLf;
    text += kCrLf;
  }
  return text;
}

// Builds the report as a sequence of writes. Each write is its text followed by CR LF, so a
// write whose text is itself CR LF gives two line ends.
class ReportWriter {
 public:
  ReportWriter& Write(std::string_view text) {
    text_ += text;
    text_ += kCrLf;
    return *this;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string WithLineEnd(std::string text) {
  return text += kCrLf;
}

std::string ReportText(model::App& app) {
  const model::FrmMain& window = app.frmMain;
  const machine::VersionInfo& version = app.machine.version();
  ReportWriter report;
  report.Write(kCrLf);
  report.Write(WithLineEnd(std::string(19, ' ') + app.branding.strProductName + "v" +
                           std::to_string(version.major) + "." + std::to_string(version.minor) +
                           "   Scan Report."));
  report.Write(kCrLf);
  report.Write(WithLineEnd(std::string(kRule)));
  report.Write(WithLineEnd(" Scan Started at  : " + window.strScanStarted));
  report.Write(WithLineEnd(" Scan Finished at : " + window.strScanFinished));
  report.Write(WithLineEnd(std::string(kRule)));
  report.Write(kCrLf).Write(kCrLf).Write(kCrLf);
  report.Write(WithLineEnd(" 1)Total Number of Cookies and Processes inspected: " +
                           window.lblMemoryInspected.Caption()));
  report.Write(WithLineEnd(" 2)Total Number of Registry entries inspected: " +
                           window.lblRegistryInspected.Caption()));
  report.Write(WithLineEnd(" 3)Total Number of Files/Folders inspected: " +
                           window.lblFilesFolderInspected.Caption()));
  report.Write(kCrLf);
  report.Write("[Threats Detected]\r\n\r\n");

  model::RowView<model::ThreatRow> threats(
      app.frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  const int count = threats.Count();
  for (int position = 0; position < count; ++position) {
    const model::ThreatRow row = threats[position];
    report.Write(WithLineEnd(row.name));
    report.Write(row.location + "\r\n\r\n");
  }
  report.Write(WithLineEnd("Total = " + std::to_string(count)));

  const std::string exclusions = ExclusionText(app);
  if (!exclusions.empty())
    report.Write("\r\n[Files Currently Excluded]\r\n\r\n" + exclusions + "\r\n");
  const std::string quarantine = QuarantineText(app);
  if (!quarantine.empty())
    report.Write("\r\n[Current Quarantine Log]\r\n\r\n" + quarantine + "\r\n\r\n");
  report.Write(kCrLf);
  report.Write("=====================End Of Report.");
  return report.Take();
}

}  // namespace

std::string ScanReportPath(const model::App& app) {
  return engine::ProgramFolderFile(app.system, kScanReportFile);
}

bool MakeReport(model::App& app) {
  // WriteFile puts a complete new file in place of the old one, never appending to it.
  return app.machine.files().WriteFile(ScanReportPath(app), ReportText(app));
}

void InstallScanReport(model::App& app) {
  app.hooks.MakeReport = [&app] { MakeReport(app); };
}

}  // namespace removal
