#include "ui/main/check_propagation.h"

#include <functional>

#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "model/user_settings.h"

namespace ui {

namespace {

using model::ThreatIconKind;

// Sets the check of every row of `list` that `matches` accepts; the count is taken once.
template <class Row>
void SetMatchingRows(forms::ListView& list, bool checked,
                     const std::function<bool(const Row&)>& matches) {
  model::RowView<Row> rows(list);
  const int count = rows.Count();
  for (int position = 0; position < count; ++position) {
    if (matches(rows[position]))
      rows.SetChecked(position, checked);
  }
}

// The kind's own targets.
void PropagateByKind(model::FrmMain& window, const model::ThreatRow& threat) {
  const bool checked = threat.checked;
  switch (threat.icon) {
    case ThreatIconKind::kCookie:
      SetMatchingRows<model::CookieTargetRow>(
          window.lvwCookiesToDelete, checked,
          [&](const model::CookieTargetRow& row) { return row.cookie_path == threat.location; });
      break;
    case ThreatIconKind::kRegistry:
      SetMatchingRows<model::RegistryTargetRow>(
          window.lvwRegistryToBeDeleted, checked, [&](const model::RegistryTargetRow& row) {
            return row.key_path == threat.name || row.threat_name == threat.name;
          });
      break;
    case ThreatIconKind::kFile:
      SetMatchingRows<model::FileTargetRow>(
          window.lvwFilesToBeDeleted, checked,
          [&](const model::FileTargetRow& row) { return row.threat_name == threat.name; });
      break;
    case ThreatIconKind::kFolder:
      SetMatchingRows<model::FileTargetRow>(
          window.lvwFilesToBeDeleted, checked,
          [&](const model::FileTargetRow& row) { return row.path == threat.location; });
      break;
    default:
      break;
  }
}

// A threat is listed once, by the first stage that found it, but later stages add their own
// target rows under its name: those follow the threat row too.
void PropagateByThreatName(model::FrmMain& window, const model::ThreatRow& threat) {
  if (machine::TrimBlanks(threat.name).empty())
    return;
  const bool checked = threat.checked;
  SetMatchingRows<model::FileTargetRow>(
      window.lvwFilesToBeDeleted, checked,
      [&](const model::FileTargetRow& row) { return row.threat_name == threat.name; });
  SetMatchingRows<model::RegistryTargetRow>(
      window.lvwRegistryToBeDeleted, checked,
      [&](const model::RegistryTargetRow& row) { return row.threat_name == threat.name; });
}

bool IsTargetKind(ThreatIconKind kind) {
  return kind == ThreatIconKind::kCookie || kind == ThreatIconKind::kRegistry ||
         kind == ThreatIconKind::kFile || kind == ThreatIconKind::kFolder;
}

}  // namespace

void lvwPicRemoveListOfSpywareFoundAndToBeRemoved_ItemCheck(model::App& app, int position) {
  model::FrmMain& window = app.frmMain;
  forms::ListView& threats = window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  if (position < 0 || position >= threats.Count())
    return;
  const model::ThreatRow threat = model::ThreatRow::From(threats.Item(position));
  if (!IsTargetKind(threat.icon))
    return;
  PropagateByKind(window, threat);
  PropagateByThreatName(window, threat);
}

void lvwHardDrives_ItemCheck(model::App& app, int /*position*/) {
  model::RowView<model::DriveRow> drives(app.frmMain.lvwHardDrives);
  const int count = drives.Count();
  for (int position = 0; position < count; ++position) {
    const model::DriveRow drive = drives[position];
    model::WriteUserSetting(app, kDrivesSection, drive.drive, drive.checked ? "True" : "False");
  }
}

void InstallCheckPropagation(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.on_item_check = [&app](int position) {
    lvwPicRemoveListOfSpywareFoundAndToBeRemoved_ItemCheck(app, position);
  };
  window.lvwHardDrives.on_item_check = [&app](int position) {
    lvwHardDrives_ItemCheck(app, position);
  };
}

}  // namespace ui
