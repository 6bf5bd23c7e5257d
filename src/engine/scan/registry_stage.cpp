#include "engine/scan/registry_stage.h"

#include <optional>
#include <string>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/registry_definition_line.h"
#include "engine/scan/scan_log_index.h"
#include "engine/scan/scan_percent.h"
#include "engine/scan/scan_progress.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "services/registry_related.h"
#include "services/registry_roots.h"

namespace engine {

namespace {

using model::ThreatIconKind;

constexpr std::string_view kRegKeyPrefix = "RegKey ";

// `text` is the item's text, built in memory kept from line to line.
void ShowProgress(model::App& app, const RegistryDefinitionLine& line, std::string& text) {
  const model::DefinitionsState& counts = app.definitions;
  const double done = app.scan.lngRegistryItemsInspected;
  // A share that cannot be worked out leaves its bar as it is.
  const int16_t stage_percent = PercentOf(done, counts.lngRegistryDefinitionCount).value_or(-1);
  const int16_t overall_percent =
      PercentOf(done + counts.lngCookieDefinitionCount + counts.lngExeDefinitionCount,
                counts.lngTotalDefinitions)
          .value_or(-1);
  text.assign(app.scan.strScanPhaseCaption);
  text += "\r\n";
  for (const char c : line.key_path)
    text += machine::ToLowerChar(c);
  text += '\\';
  text += line.value_name;
  UpdateScanProgress(app, text, stage_percent, overall_percent);
}

bool EntryExists(services::System& system, machine::RegHandle root,
                 const RegistryDefinitionLine& line) {
  if (line.IsValueLine())
    return services::RegistryValueExists(system, root, line.key_path, line.value_name);
  return services::RegistryKeyExists(system, root, machine::TrimBlanksView(line.key_path));
}

void AddOneToCaption(forms::Label& label) {
  double value = 0;
  if (!machine::ParseNumber(label.Caption(), value))
    return;
  label.SetCaption(std::to_string(static_cast<long long>(value) + 1));
}

// The rows of one found entry. Returns true when it listed a new threat.
bool AddFinding(model::App& app, ScanLogIndex& listed, machine::RegHandle root,
                const std::string& root_name, const RegistryDefinitionLine& line) {
  model::FrmMain& window = app.frmMain;
  model::RowView<model::ScanLogRow> log(window.lvwSpywareFound);
  const std::string key = root_name + "\\" + line.key_path;
  const std::string entry = key + line.value_name;
  if (IsIgnored(app, entry) || IsIgnored(app, key)) {
    log.Add({std::string(model::kExcludedPrefix) + entry, ThreatIconKind::kExcluded});
    return false;
  }

  const std::string root_text = std::to_string(root);
  model::RowView<model::RegistryTargetRow>(window.lvwRegistryToBeDeleted)
      .Add({root_text, line.key_path, line.value_name, line.threat_name});
  AddOneToCaption(window.lbltracesFound);
  if (listed.IsThreatListed(line.threat_name))
    return false;

  model::RowView<model::ThreatRow> threats(window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  if (!machine::TrimBlanksView(line.threat_name).empty()) {
    log.Add({model::FoundMessage(line.threat_name), ThreatIconKind::kRegistry});
    threats.Add({line.threat_name, line.IsValueLine() ? entry : key, line.type_text,
                 ThreatIconKind::kRegistry});
  } else {
    std::string message(kRegKeyPrefix);
    message += line.IsValueLine() ? root_text : line.key_path;
    log.Add({model::FoundMessage(message), ThreatIconKind::kNone});
    threats.Add({line.key_path, key, "", ThreatIconKind::kRegistry});
  }
  ++app.scan.lngThreatsFound;
  return true;
}

}  // namespace

void ScanRegistryDefinitions(model::App& app) {
  std::optional<DefinitionReader> reader =
      DefinitionReader::Open(app.system, kRegistryDefinitionFile);
  if (!reader)
    return;
  ScanLogIndex listed(app.frmMain.lvwSpywareFound);
  // The lines' look-ups share one read transaction; the message loop ends it before it runs
  // a handler in a yield, as does any change to the registry.
  const machine::Registry::ReadSnapshot snapshot(app.system.machine.registry());
  std::string text;
  std::string progress_text;
  RegistryDefinitionLine line;
  while (!reader->AtEnd()) {
    app.system.Yield();
    if (app.scan.bStopScan || !reader->ReadLine(text))
      break;
    ParseRegistryDefinitionLine(text, line);
    if (!line.NamesRegistryItem())
      continue;
    const machine::RegHandle root = services::RootKeyFromCode(app.system, line.root_code);
    if (root == services::kNoRootKey)
      continue;
    const std::string& root_name = app.system.strRootKeyName;

    ++app.scan.lngRegistryItemsInspected;
    ShowProgress(app, line, progress_text);
    if (!EntryExists(app.system, root, line))
      continue;
    if (AddFinding(app, listed, root, root_name, line))
      app.system.Yield();
  }
}

}  // namespace engine
