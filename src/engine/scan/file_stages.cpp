#include "engine/scan/file_stages.h"

#include <optional>
#include <string>
#include <unordered_map>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/company_name.h"
#include "engine/scan/definition_line.h"
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

void ShowProgress(model::App& app, std::string_view name) {
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
  std::string text = app.scan.strScanPhaseCaption;
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

// The rows of one stage run. Remembers where each threat's scan-log row was seen, so that the
// many lines of one threat do not search the whole log again; a remembered row is checked
// before it is trusted, since the log can change while the stage yields.
class Findings {
 public:
  Findings(model::App& app, ThreatIconKind icon) : app_(app), main_(app.frmMain), icon_(icon) {}

  void AddExcluded(const std::string& path) {
    std::string message(kExcludedPrefix);
    message += path;
    model::RowView<model::ScanLogRow>(main_.lvwSpywareFound)
        .Add({std::move(message), ThreatIconKind::kExcluded});
  }

  void Add(const std::string& path, const std::string& threat_name, const std::string& type) {
    model::RowView<model::FileTargetRow>(main_.lvwFilesToBeDeleted).Add({path, threat_name});
    AddOneToCaption(main_.lbltracesFound);
    if (IsListed(threat_name))
      return;
    const int position = model::RowView<model::ScanLogRow>(main_.lvwSpywareFound)
                             .Add({model::FoundMessage(threat_name), icon_});
    listed_[threat_name] = position;
    model::RowView<model::ThreatRow>(main_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
        .Add({threat_name, path, type, icon_});
    ++app_.scan.lngThreatsFound;
  }

 private:
  bool IsListed(const std::string& threat_name) {
    const forms::ListView& log = main_.lvwSpywareFound;
    const auto it = listed_.find(threat_name);
    if (it != listed_.end() && it->second < log.Count() &&
        machine::StartsWithIgnoreCase(log.Item(it->second).text,
                                      model::FoundMessage(threat_name))) {
      return true;
    }
    const int position = log.FindItem(model::FoundMessage(threat_name));
    if (position < 0)
      return false;
    listed_[threat_name] = position;
    return true;
  }

  model::App& app_;
  model::FrmMain& main_;
  ThreatIconKind icon_;
  std::unordered_map<std::string, int> listed_;
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

void RunStage(model::App& app, Stage stage) {
  FolderExpander folders(app.system, services::GetSystemDriveRoot(app.system));
  const std::string_view file_name =
      stage == Stage::kFiles ? kFileDefinitionFile : kDirectoryDefinitionFile;
  std::optional<DefinitionReader> reader = DefinitionReader::Open(app.system, file_name);
  if (!reader)
    return;
  Findings findings(app, stage == Stage::kFiles ? ThreatIconKind::kFile : ThreatIconKind::kFolder);

  const std::optional<std::string> no_folder = std::string();
  std::string text;
  while (!app.scan.bStopScan && reader->ReadLine(text)) {
    const DefinitionLine line = ParseDefinitionLine(text);
    const std::optional<std::string>& expanded =
        line.has_folder ? folders.Expand(line.folder) : no_folder;
    const bool folder_ok = expanded.has_value();
    const std::string& folder = folder_ok ? *expanded : *no_folder;
    const Target target = stage == Stage::kFiles ? PrepareFileLine(line, folder_ok, folder)
                                                 : PrepareFolderLine(line, folder_ok, folder);
    if (target.counted) {
      ++app.scan.lngFilesFoldersInspected;
      ShowProgress(app, target.shown_name);
      if (app.scan.bStopScan)
        break;
    }
    if (target.testable) {
      if (stage == Stage::kFiles) {
        if (services::FileExists(app.system, target.path)) {
          if (IsIgnored(app, target.path)) {
            findings.AddExcluded(target.path);
          } else if (!machine::EqualsIgnoreCase(
                         machine::TrimBlanks(GetFileCompanyName(app, target.path)),
                         kExemptCompany)) {
            findings.Add(target.path, line.threat_name, line.extra_text);
          }
        }
      } else if (services::FolderExists(app.system, target.path)) {
        if (IsIgnoredPartial(app, target.path)) {
          findings.AddExcluded(target.path);
        } else {
          findings.Add(target.path, line.threat_name, line.extra_text);
        }
      }
    }
    app.system.Yield();
  }
}

}  // namespace

void ScanFileDefinitions(model::App& app) {
  RunStage(app, Stage::kFiles);
}

void ScanDirectoryDefinitions(model::App& app) {
  RunStage(app, Stage::kFolders);
}

}  // namespace engine
