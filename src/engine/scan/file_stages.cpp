#include "engine/scan/file_stages.h"

#include <optional>
#include <string>
#include <unordered_map>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/company_name.h"
#include "engine/scan/definition_line.h"
#include "engine/scan/exempt_company.h"
#include "engine/scan/scan_log_index.h"
#include "engine/scan/scan_percent.h"
#include "engine/scan/scan_progress.h"
#include "machine/file_system.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "services/file_paths.h"
#include "services/folder_tokens.h"

namespace engine {

namespace {

using model::ThreatIconKind;

// The progress call of a counted line: the phase caption, a line break and the line's name.
// `text` is kept across lines with the caption part in front.
void ShowProgress(model::App& app, std::string_view name, std::string& text) {
  const model::DefinitionsState& counts = app.definitions;
  if (counts.lngFileDefinitionCount == 0 || counts.lngTotalDefinitions == 0)
    return;
  const double done = app.scan.lngFilesFoldersInspected;
  const double overall_done = done + counts.lngRegistryDefinitionCount +
                              counts.lngCookieDefinitionCount + counts.lngExeDefinitionCount;
  const std::optional<int16_t> stage_percent =
      PercentOf(done, counts.lngFileDefinitionCount, PercentOrder::kMultiplyFirst);
  const std::optional<int16_t> overall_percent =
      PercentOf(overall_done, counts.lngTotalDefinitions, PercentOrder::kMultiplyFirst);
  if (!stage_percent || !overall_percent)
    return;
  const std::string& caption = app.scan.strScanPhaseCaption;
  const size_t prefix = caption.size() + 2;
  if (text.size() < prefix || text.compare(0, caption.size(), caption) != 0 ||
      text.compare(caption.size(), 2, "\r\n") != 0) {
    text.assign(caption);
    text += "\r\n";
  }
  text.resize(prefix);
  text += name;
  UpdateScanProgress(app, text, *stage_percent, *overall_percent);
}

// The rows of one stage run.
class Findings {
 public:
  Findings(model::App& app, ThreatIconKind icon)
      : app_(app), main_(app.frmMain), icon_(icon), listed_(app.frmMain.lvwSpywareFound) {}

  void AddExcluded(const std::string& path) {
    std::string message(model::kExcludedPrefix);
    message += path;
    model::RowView<model::ScanLogRow>(main_.lvwSpywareFound)
        .Add({std::move(message), ThreatIconKind::kExcluded});
  }

  // A target row for every find; the scan-log and threat-list rows only for a threat that is
  // not listed yet.
  void Add(const std::string& path, const std::string& threat_name, const std::string& type) {
    model::RowView<model::FileTargetRow>(main_.lvwFilesToBeDeleted).Add({path, threat_name});
    AddOneToTracesFound();
    if (listed_.IsThreatListed(threat_name))
      return;
    model::RowView<model::ScanLogRow>(main_.lvwSpywareFound)
        .Add({model::FoundMessage(threat_name), icon_});
    model::RowView<model::ThreatRow>(main_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
        .Add({threat_name, path, type, icon_});
    ++app_.scan.lngThreatsFound;
  }

 private:
  // The count shown, read back as a number, goes up by one.
  void AddOneToTracesFound() {
    forms::Label& label = main_.lbltracesFound;
    double shown = 0;
    if (machine::ParseNumber(label.Caption(), shown))
      label.SetCaption(std::to_string(static_cast<long long>(shown) + 1));
  }

  model::App& app_;
  model::FrmMain& main_;
  ThreatIconKind icon_;
  ScanLogIndex listed_;
};

// The folders of one stage run. Definition files name the same few folders on many lines, and
// the machine's folders cannot change while a stage runs, so each folder text is expanded once.
// Texts that differ only after their tokens ("[progfil]\A", "[progfil]\B") share one token
// expansion: every token ends in "]", so what follows the last "]" takes no part in it; and
// double backslashes collapse apart on each side of a split that no backslash follows.
class FolderExpander {
 public:
  FolderExpander(const services::System& system, std::string drive_root)
      : system_(system), drive_root_(std::move(drive_root)) {}

  // Nothing when a token names a folder this machine does not have.
  const std::optional<std::string>& Expand(const std::string& folder) {
    if (last_ != nullptr && last_->first == folder)
      return last_->second;  // lines of one folder mostly come together
    if (const auto it = expanded_.find(folder); it != expanded_.end()) {
      last_ = &*it;
      return it->second;
    }
    size_t split = folder.rfind(']');
    split = split == std::string::npos ? 0 : split + 1;
    while (split < folder.size() && folder[split] == '\\')
      ++split;
    std::optional<std::string> result = ExpandTokens(folder.substr(0, split));
    if (result && split < folder.size())
      *result += CollapseDoubleBackslashes(std::string_view(folder).substr(split));
    last_ = &*expanded_.emplace(folder, std::move(result)).first;
    return last_->second;
  }

 private:
  const std::optional<std::string>& ExpandTokens(const std::string& head) {
    auto it = heads_.find(head);
    if (it == heads_.end()) {
      std::string expanded;
      std::optional<std::string> result;
      if (ExpandDefinitionFolder(system_, head, drive_root_, expanded))
        result = std::move(expanded);
      it = heads_.emplace(head, std::move(result)).first;
    }
    return it->second;
  }

  const services::System& system_;
  std::string drive_root_;
  std::unordered_map<std::string, std::optional<std::string>> heads_;
  std::unordered_map<std::string, std::optional<std::string>> expanded_;
  const std::pair<const std::string, std::optional<std::string>>* last_ = nullptr;
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
      LineTarget& target = target_;
      if (stage_ == Stage::kFiles)
        PrepareFileLine(line, folder_ok, folder, target);
      else
        PrepareFolderLine(line, folder_ok, folder, target);
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
    // Whether the file is there and what it holds are asked in one go, with nothing in between
    // that could change it: one check for changes behind the scan's back does for both.
    const machine::FileSystem::Moment moment(app_.machine.files());
    if (!services::FileExists(app_.system, path))
      return;
    if (IsIgnored(app_, path)) {
      findings_.AddExcluded(path);
      return;
    }
    if (IsExemptCompany(GetFileCompanyName(app_, path)))
      return;
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
  LineTarget target_;
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
