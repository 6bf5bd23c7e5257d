#include "engine/scan/file_stages.h"

#include <optional>
#include <string>
#include <unordered_map>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/company_name.h"
#include "engine/scan/definition_line.h"
#include "engine/scan/scan_log_index.h"
#include "engine/scan/scan_progress.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "services/file_paths.h"
#include "services/folder_tokens.h"

namespace engine {

namespace {

using model::ThreatIconKind;

constexpr std::string_view kExcludedPrefix = "EXCLUDED: ";
constexpr std::string_view kExemptCompany = "Microsoft Corporation";

// One line made ready for its test.
struct Target {
  bool counted = false;   // adds to the inspected count and shows progress
  bool testable = false;  // its path is looked for
  std::string shown_name;
  std::string path;
};

Target PrepareFileLine(const DefinitionLine& line, bool folder_ok, const std::string& folder) {
  Target target;
  target.counted = true;
  target.shown_name = machine::TrimBlanks(line.name);
  std::string path = folder;
  if (!path.empty())
    path += '\\';
  path += target.shown_name;
  target.path = CollapseDoubleBackslashes(path);
  target.testable = folder_ok && IsAbsoluteWindowsPath(target.path) && !line.threat_name.empty();
  return target;
}

Target PrepareFolderLine(const DefinitionLine& line, bool folder_ok, const std::string& folder) {
  Target target;
  if (!folder_ok || folder.empty() || !IsAbsoluteWindowsPath(folder))
    return target;
  target.counted = true;
  target.path = folder;
  std::string name = line.name;
  for (const std::string_view end : {"\r\n", "\r", "\n", "\t"}) {
    name = machine::ReplaceAll(name, end, "");
  }
  target.shown_name = std::move(name);
  target.testable = !line.threat_name.empty();
  return target;
}

// The progress call of a counted line; `text` is a buffer kept across lines.
void ShowProgress(model::App& app, std::string_view name, std::string& text) {
  const model::DefinitionsState& counts = app.definitions;
  if (counts.lngFileDefinitionCount == 0 || counts.lngTotalDefinitions == 0)
    return;
  const double done = app.scan.lngFilesFoldersInspected;
  const double overall_done = done + counts.lngRegistryDefinitionCount +
                              counts.lngCookieDefinitionCount + counts.lngExeDefinitionCount;
  int16_t stage_percent = 0;
  int16_t overall_percent = 0;
  if (!machine::RoundHalfEvenToInt16(100.0 * done / counts.lngFileDefinitionCount, stage_percent) ||
      !machine::RoundHalfEvenToInt16(100.0 * overall_done / counts.lngTotalDefinitions,
                                     overall_percent)) {
    return;
  }
  text.assign(app.scan.strScanPhaseCaption);
  text += "\r\n";
  text += name;
  UpdateScanProgress(app, text, stage_percent, overall_percent);
}

void AddOneToCaption(forms::Label& label) {
  double value = 0;
  if (!machine::ParseNumber(label.Caption(), value))
    return;
  label.SetCaption(std::to_string(static_cast<long long>(value) + 1));
}

// The rows of one stage run.
class Findings {
 public:
  Findings(model::App& app, ThreatIconKind icon)
      : app_(app), main_(app.frmMain), icon_(icon), listed_(app.frmMain.lvwSpywareFound) {}

  void AddExcluded(const std::string& path) {
    std::string message(kExcludedPrefix);
    message += path;
    model::RowView<model::ScanLogRow>(main_.lvwSpywareFound)
        .Add({std::move(message), ThreatIconKind::kExcluded});
  }

  // A target row for every find; the scan-log and threat-list rows only for a threat that is
  // not listed yet.
  void Add(const std::string& path, const std::string& threat_name, const std::string& type) {
    model::RowView<model::FileTargetRow>(main_.lvwFilesToBeDeleted).Add({path, threat_name});
    AddOneToCaption(main_.lbltracesFound);
    if (listed_.IsThreatListed(threat_name))
      return;
    model::RowView<model::ScanLogRow>(main_.lvwSpywareFound)
        .Add({model::FoundMessage(threat_name), icon_});
    model::RowView<model::ThreatRow>(main_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
        .Add({threat_name, path, type, icon_});
    ++app_.scan.lngThreatsFound;
  }

 private:
  model::App& app_;
  model::FrmMain& main_;
  ThreatIconKind icon_;
  ScanLogIndex listed_;
};

// The folders of one stage run. Definition files name the same few folders on many lines, and
// the machine's folders cannot change while a stage runs, so each folder text is expanded once.
class FolderExpander {
 public:
  FolderExpander(const services::System& system, std::string drive_root)
      : system_(system), drive_root_(std::move(drive_root)) {}

  // Nothing when a token names a folder this machine does not have.
  const std::optional<std::string>& Expand(const std::string& folder) {
    auto it = expanded_.find(folder);
    if (it == expanded_.end()) {
      std::string expanded;
      std::optional<std::string> result;
      if (ExpandDefinitionFolder(system_, folder, drive_root_, expanded)) {
        result = std::move(expanded);
      }
      it = expanded_.emplace(folder, std::move(result)).first;
    }
    return it->second;
  }

 private:
  const services::System& system_;
  std::string drive_root_;
  std::unordered_map<std::string, std::optional<std::string>> expanded_;
};

enum class Stage { kFiles, kFolders };

// One run of either stage over its definition file.
class StageRun {
 public:
  StageRun(model::App& app, Stage stage)
      : app_(app),
        stage_(stage),
        folders_(app.system, services::GetSystemDriveRoot(app.system)),
        findings_(app, stage == Stage::kFiles ? ThreatIconKind::kFile : ThreatIconKind::kFolder) {}

  void Run() {
    std::optional<DefinitionReader> reader = DefinitionReader::Open(
        app_.system, stage_ == Stage::kFiles ? kFileDefinitionFile : kDirectoryDefinitionFile);
    if (!reader)
      return;
    std::string text;
    while (!app_.scan.bStopScan && reader->ReadLine(text)) {
      const DefinitionLine line = ParseDefinitionLine(text);
      const std::optional<std::string>& expanded =
          line.has_folder ? folders_.Expand(line.folder) : no_folder_;
      const bool folder_ok = expanded.has_value();
      const std::string& folder = folder_ok ? *expanded : *no_folder_;
      const Target target = stage_ == Stage::kFiles ? PrepareFileLine(line, folder_ok, folder)
                                                    : PrepareFolderLine(line, folder_ok, folder);
      if (target.counted) {
        ++app_.scan.lngFilesFoldersInspected;
        ShowProgress(app_, target.shown_name, progress_text_);
        if (app_.scan.bStopScan)
          break;
      }
      if (target.testable) {
        if (stage_ == Stage::kFiles) {
          TestFile(target.path, line);
        } else {
          TestFolder(target.path, line);
        }
      }
      app_.system.Yield();
    }
  }

 private:
  void TestFile(const std::string& path, const DefinitionLine& line) {
    if (!services::FileExists(app_.system, path))
      return;
    if (IsIgnored(app_, path)) {
      findings_.AddExcluded(path);
      return;
    }
    if (machine::EqualsIgnoreCase(machine::TrimBlanks(GetFileCompanyName(app_, path)),
                                  kExemptCompany)) {
      return;
    }
    findings_.Add(path, line.threat_name, line.extra_text);
  }

  void TestFolder(const std::string& path, const DefinitionLine& line) {
    if (!services::FolderExists(app_.system, path))
      return;
    if (IsIgnoredPartial(app_, path)) {
      findings_.AddExcluded(path);
      return;
    }
    findings_.Add(path, line.threat_name, line.extra_text);
  }

  model::App& app_;
  Stage stage_;
  FolderExpander folders_;
  Findings findings_;
  const std::optional<std::string> no_folder_ = std::string();
  std::string progress_text_;
};

}  // namespace

void ScanFileDefinitions(model::App& app) {
  StageRun(app, Stage::kFiles).Run();
}

void ScanDirectoryDefinitions(model::App& app) {
  StageRun(app, Stage::kFolders).Run();
}

}  // namespace engine
