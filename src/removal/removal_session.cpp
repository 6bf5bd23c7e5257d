#include "removal/removal_session.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/definitions/status_labels.h"
#include "machine/date_time.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "model/timer_group.h"
#include "removal/quarantine_store.h"
#include "removal/removal.h"
#include "removal/result_list_actions.h"
#include "services/prompts.h"
#include "services/restore_bracket.h"
#include "services/settings_store.h"

namespace removal {

namespace {

constexpr std::string_view kSettingsSection = "Settings";

// Holds the "removal running" signal for the run, whichever way it leaves, and keeps the user
// off the rows the passes work through: the result lists (their checks), "Select All",
// "Exclude" and "Delete" are disabled for the run, so that what survives stays listed and
// unchecked. They are given back as they were.
class RunningSignal {
 public:
  explicit RunningSignal(model::App& app) : app_(app) {
    app_.scan.bRemovalRunning = true;
    for (forms::Control* control : LockedControls()) {
      was_enabled_.push_back(control->Enabled());
      control->SetEnabled(false);
    }
  }
  ~RunningSignal() {
    size_t i = 0;
    for (forms::Control* control : LockedControls())
      control->SetEnabled(was_enabled_[i++]);
    app_.scan.bRemovalRunning = false;
  }
  RunningSignal(const RunningSignal&) = delete;
  RunningSignal& operator=(const RunningSignal&) = delete;

 private:
  std::array<forms::Control*, 8> LockedControls() const {
    model::FrmMain& w = app_.frmMain;
    return {&w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
            &w.lvwSpywareFound,
            &w.lvwFilesToBeDeleted,
            &w.lvwRegistryToBeDeleted,
            &w.lvwCookiesToDelete,
            &w.cmdSelectAll,
            &w.cmdExclude,
            &w.Command4};
  }

  model::App& app_;
  std::vector<bool> was_enabled_;
};

void ShowProgressControls(model::FrmMain& window, bool visible) {
  window.pgbDeleteSpywaresFound.SetVisible(visible);
  window.lblDeletingPercentageCompleted.SetVisible(visible);
  window.lblDeletingCaption.SetVisible(visible);
}

// The link-label row while a removal runs: everything but "Remove" can be clicked.
void SetLinkLabelsForRun(model::FrmMain& window) {
  window.lblSweepNow.SetEnabled(true);
  window.lblOptions.SetEnabled(true);
  window.lblResult.SetEnabled(true);
  window.lblExit.SetEnabled(true);
  window.lblRemove.SetEnabled(false);
}

bool AnyThreatChecked(const model::FrmMain& window) {
  for (const forms::ListItem& item : window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Items()) {
    if (item.checked)
      return true;
  }
  return false;
}

// The folder is made before anything is touched; without it nothing could be kept.
bool PrepareQuarantineFolder(model::App& app) {
  machine::FileSystem& files = app.machine.files();
  const std::string folder = QuarantineFolderPath(app.system);
  if (!files.FolderExists(folder))
    files.CreateFolder(folder);
  if (files.FolderExists(folder))
    return true;
  app.runtime.MsgBox(std::string(kQuarantineFolderFailedMessage) + "\r\n\r\n" + folder +
                         "\r\n\r\n" + std::string(kNothingRemovedMessage),
                     services::vbExclamation, app.ProductName());
  return false;
}

// The two passes: the first logs what it quarantines, the second repeats the work silently and
// lists what survived. Gives the number of items removed in both.
int RunBothPasses(model::App& app) {
  app.removal.bQuarantinePass = true;
  const RemovalPassResult first = RemoveCheckedItems(app);
  app.removal.bQuarantinePass = false;
  const RemovalPassResult second = RemoveCheckedItems(app);
  return first.removed + second.removed;
}

int RunPassesInRestorePoint(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.lblDeletingPercentageCompleted.SetCaption("Creating Restore Point...");
  app.system.Yield();
  const std::string description =
      app.ProductName() + " Restore Point " + machine::FormatGeneralDate(app.machine.clock().Now());
  bool ours = true;
  try {
    services::BeginRestorePoint(app.system, description, kRemovalRestorePointType);
  } catch (const services::RestorePointError&) {
    // One is open already: the removal goes on inside it and leaves it to its owner.
    ours = false;
  }
  const int removed = RunBothPasses(app);
  if (ours)
    services::EndRestorePoint(app.system);
  return removed;
}

void DeleteRemovedRows(model::App& app) {
  RemoveCheckedFileRows(app);
  RemoveCheckedRegistryRows(app);
  RemoveCheckedSpywareRows(app);
  RemoveCheckedCookieRows(app);
  app.frmMain.lblDeletingCaption.SetCaption("");
  RemoveCheckedSummaryRows(app);
}

// A stored total that is not a whole number is left as it is.
void AddToRemovedTotal(model::App& app, int removed) {
  const std::string stored = services::ReadSetting(app.system, app.SettingsApplication(),
                                                   kSettingsSection, kRemovedTotalKey, "0");
  double number = 0;
  int32_t total = 0;
  if (!machine::ParseNumber(stored, number) || !machine::RoundHalfEvenToInt32(number, total))
    return;
  const int64_t sum = static_cast<int64_t>(total) + removed;
  services::WriteSetting(app.system, app.SettingsApplication(), kSettingsSection, kRemovedTotalKey,
                         std::to_string(sum));
}

}  // namespace

std::string DeleteQuestion(model::App& app) {
  std::string question =
      "Are you sure you want to delete the selected files?\r\n\r\n"
      "Deleted files will be backed up in the following folder in case you need to recover "
      "them:\r\n\r\n";
  question += QuarantineFolderPath(app.system);
  if (services::IsSystemRestoreAvailable(app.system)) {
    question +=
        "\r\n\r\nIn addition, a System Restore Point will be created using Windows System "
        "Restore, accessible through:\r\n\r\n"
        "Start > Programs > Accessories > System Tools > System Restore";
  }
  return question;
}

void Command4_Click(model::App& app) {
  model::FrmMain& window = app.frmMain;
  const bool unattended = app.scan.bAutoDeleteAfterScan;
  if (app.scan.bRemovalRunning)
    return;  // the button is disabled meanwhile; only code can get here
  if (!AnyThreatChecked(window)) {
    if (!unattended)
      app.runtime.MsgBox(kNothingSelectedMessage, services::vbInformation, app.ProductName());
    return;
  }
  const std::string question = DeleteQuestion(app);
  if (!unattended &&
      app.runtime.MsgBox(question, services::vbYesNo, kDeleteTitle) != services::vbYes) {
    return;
  }
  ShowProgressControls(window, true);
  app.frmDelete->lstProblem.Clear();
  lblRemove_Click(app);
}

void lblRemove_Click(model::App& app) {
  if (app.scan.bRemovalRunning)
    return;
  const RunningSignal running(app);
  model::FrmMain& window = app.frmMain;
  if (!PrepareQuarantineFolder(app)) {
    ShowProgressControls(window, false);
    return;
  }

  model::ShowPanels(app, false, false, true, false);
  SetLinkLabelsForRun(window);
  model::ApplyTimerSettings(app, false);
  model::ShowPanels(app, false, false, true, false);
  ShowProgressControls(window, true);
  SetLinkLabelsForRun(window);

  SettleWait(app);
  const int removed = services::IsSystemRestoreAvailable(app.system) ? RunPassesInRestorePoint(app)
                                                                     : RunBothPasses(app);

  if (window.EverUnloaded()) {
    // Closed meanwhile: what was removed is counted, nothing more is shown or sent.
    AddToRemovedTotal(app, removed);
    return;
  }
  DeleteRemovedRows(app);
  window.pgbDeleteSpywaresFound.SetValue(window.pgbDeleteSpywaresFound.Max());
  window.lblDeletingPercentageCompleted.SetCaption("100% complete");

  model::ApplyTimerSettings(app, true);
  window.lblRemove.SetEnabled(true);
  AddToRemovedTotal(app, removed);
  if (window.chkSendData.Value() == forms::kChecked && app.hooks.SendRunningProcessList)
    app.hooks.SendRunningProcessList();
  engine::RefreshStatusLabels(app);
  ShowProgressControls(window, false);
}

void SettleWait(model::App& app) {
  forms::Label& label = app.frmMain.lblDeletingPercentageCompleted;
  label.SetCaption("Gathering information...");
  for (int i = 0; i < kSettleYields && !app.frmMain.EverUnloaded(); ++i)
    app.system.Yield();
  label.SetCaption("");
}

void InstallRemovalSession(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.Command4.on_click = [&app] { Command4_Click(app); };
  window.lblRemove.on_click = [&app] { lblRemove_Click(app); };
}

}  // namespace removal
