#include "removal/result_list_actions.h"

#include <string>

#include "engine/definitions/ignore_list.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "services/prompts.h"

namespace removal {

namespace {

constexpr std::string_view kCookiePrefix = "Cookie: ";

// Deletes the checked rows of a list; a deleted row's followers move up, so the same position
// is looked at again.
void RemoveCheckedRows(forms::ListView& list) {
  int position = 0;
  while (position < list.Count()) {
    if (list.Item(position).checked)
      list.RemoveItem(position);
    else
      ++position;
  }
}

// An entry that is only blanks would be a line the list skips anyway.
void AddEntry(model::App& app, const std::string& item) {
  if (!machine::TrimBlanks(item).empty())
    engine::AddToIgnoreList(app, item);
}

}  // namespace

void cmdSelectAll_Click(model::App& app) {
  forms::ListView& threats = app.frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  const int count = threats.Count();
  for (int position = 0; position < count && position < threats.Count(); ++position) {
    if (threats.Item(position).checked)
      continue;
    threats.SetChecked(position, true);
    if (threats.on_item_check)
      threats.on_item_check(position);
  }
}

void cmdExclude_Click(model::App& app) {
  model::FrmMain& window = app.frmMain;
  if (app.scan.bRemovalRunning)
    return;  // the button is disabled meanwhile; the removal reads the rows by position
  model::RowView<model::ThreatRow> threats(window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  if (threats.Count() == 0 && window.lvwRegistryToBeDeleted.Count() == 0 &&
      window.lvwSpywareFound.Count() == 0) {
    app.runtime.MsgBox(kNothingToExcludeMessage, services::vbInformation, app.ProductName());
    return;
  }
  if (app.runtime.MsgBox(kExcludeQuestion, services::vbYesNo, kExcludeTitle) != services::vbYes)
    return;

  // The ignore list reloads after each entry and yields meanwhile: the rows are read as the
  // list stands, and a row that went away is not visited.
  const int count = threats.Count();
  for (int position = 0; position < count && position < threats.Count(); ++position) {
    const model::ThreatRow threat = threats[position];
    if (!threat.checked)
      continue;
    AddEntry(app, threat.location);
    AddEntry(app, machine::ReplaceAll(threat.name, kCookiePrefix, ""));
  }

  RemoveCheckedFileRows(app);
  RemoveCheckedRegistryRows(app);
  RemoveCheckedSpywareRows(app);
  RemoveCheckedCookieRows(app);
  window.lblDeletingCaption.SetCaption("");
  RemoveCheckedSummaryRows(app);
}

void RemoveCheckedFileRows(model::App& app) {
  RemoveCheckedRows(app.frmMain.lvwFilesToBeDeleted);
}

void RemoveCheckedCookieRows(model::App& app) {
  RemoveCheckedRows(app.frmMain.lvwCookiesToDelete);
}

void RemoveCheckedRegistryRows(model::App& app) {
  RemoveCheckedRows(app.frmMain.lvwRegistryToBeDeleted);
}

void RemoveCheckedSpywareRows(model::App& app) {
  RemoveCheckedRows(app.frmMain.lvwSpywareFound);
}

void RemoveCheckedSummaryRows(model::App& app) {
  RemoveCheckedRows(app.frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
}

void InstallResultListActions(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdSelectAll.on_click = [&app] { cmdSelectAll_Click(app); };
  window.cmdExclude.on_click = [&app] { cmdExclude_Click(app); };
}

}  // namespace removal
