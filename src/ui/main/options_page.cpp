#include "ui/main/options_page.h"

#include <optional>
#include <string>
#include <utility>

#include "engine/definitions/definitions_date.h"
#include "model/app.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "ui/main/handler_guard.h"
#include "ui/main/run_at_startup.h"
#include "ui/main/shutdown.h"

namespace ui {

namespace {

constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kDrivesSection = "Drives";

std::string ReadOption(model::App& app, std::string_view key, std::string_view default_value) {
  return model::ReadUserSetting(app, model::kOptionsSection, key, default_value);
}

void WriteOption(model::App& app, std::string_view key, std::string_view value) {
  model::WriteUserSetting(app, model::kOptionsSection, key, value);
}

std::string TruthText(bool value) {
  return value ? "True" : "False";
}

// A control saves under its own name.
void SaveBox(model::App& app, const forms::CheckBox& box) {
  WriteOption(app, box.name(), std::to_string(box.Value()));
}

void SaveOptions(model::App& app, const forms::OptionButton& first,
                 const forms::OptionButton& second) {
  WriteOption(app, first.name(), TruthText(first.Value()));
  WriteOption(app, second.name(), TruthText(second.Value()));
}

// Shield boxes save the hidden pair: "on" from the box, "off" its opposite.
void SaveShieldBox(model::App& app, const forms::CheckBox& box, const forms::OptionButton& on,
                   const forms::OptionButton& off) {
  const bool ticked = box.Value() == forms::kChecked;
  WriteOption(app, on.name(), TruthText(ticked));
  WriteOption(app, off.name(), TruthText(!ticked));
}

// A stored value that does not convert leaves the control as it was.
void LoadBox(model::App& app, forms::CheckBox& box, std::string_view default_value) {
  if (const std::optional<int> value =
          services::TrySettingToInt(ReadOption(app, box.name(), default_value))) {
    box.SetValue(*value);
  }
}

void LoadOption(model::App& app, forms::OptionButton& option, std::string_view default_value) {
  if (const std::optional<bool> value =
          services::TrySettingToBool(ReadOption(app, option.name(), default_value))) {
    option.SetValue(*value);
  }
}

void TickIf(forms::CheckBox& box, bool ticked) {
  box.SetValue(ticked ? forms::kChecked : forms::kUnchecked);
}

// The send-data box's handler is for the user's toggle only; code sets the box without it.
void SetWithoutHandler(forms::CheckBox& box, int value) {
  std::function<void()> handler = std::exchange(box.on_click, nullptr);
  struct Restore {
    forms::CheckBox& box;
    std::function<void()>& handler;
    ~Restore() { box.on_click = std::move(handler); }
  } restore{box, handler};
  box.SetValue(value);
}

void SwitchHomePageShield(model::FrmMain& w, bool on) {
  w.tmrCheckHomePage.SetEnabled(on);
  w.optAlwaysnotifybeforerestoring.SetEnabled(on);
  w.optRestoredefaultwithoutnotification.SetEnabled(on);
}

void LoadScheduleSwitch(model::App& app) {
  model::FrmMain& w = app.frmMain;
  // Loading is no edit of the schedule: Apply keeps its state.
  const bool apply_enabled = w.CmdProceed.Enabled();
  LoadBox(app, w.chkAutomaticScanYesOrNo, "0");
  w.CmdProceed.SetEnabled(apply_enabled);
  const bool on =
      services::SettingNumericValue(ReadOption(app, "chkAutomaticScanYesOrNo", "0")) != 0;
  w.dtpScheduleDate.SetEnabled(on);
  w.dtpScheduleTime.SetEnabled(on);
  w.tmrScheduler.SetEnabled(on);
  w.cmbDays.SetEnabled(on);
}

void LoadDriveChecks(model::App& app) {
  forms::ListView& drives = app.frmMain.lvwHardDrives;
  for (int row = 0; row < drives.Count(); ++row) {
    if (const std::optional<bool> checked = services::TrySettingToBool(
            model::ReadUserSetting(app, kDrivesSection, drives.Item(row).text, "True"))) {
      drives.SetChecked(row, *checked);
    }
  }
}

void LoadColumnWidths(model::App& app) {
  forms::ListView& threats = app.frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  for (int column = 0; column < threats.ColumnCount(); ++column) {
    const std::string key = std::string(kColumnWidthKey) + std::to_string(column + 1);
    if (const std::optional<int> width =
            services::TrySettingToInt(model::ReadUserSetting(app, kSettingsSection, key, "1400"))) {
      threats.SetColumnWidth(column, *width);
    }
  }
}

}  // namespace

void LoadOptionSettings(model::App& app) {
  model::FrmMain& w = app.frmMain;
  WriteOption(app, "SHOW", "True");
  LoadOption(app, w.optIEHomePageSheildOn, "True");
  TickIf(w.chkHomePage, w.optIEHomePageSheildOn.Value());
  LoadBox(app, w.chkMakeLog, "1");
  LoadOption(app, w.optIEHomePageSheildOff, "False");
  LoadOption(app, w.optAlwaysnotifybeforerestoring, "True");
  LoadOption(app, w.optRestoredefaultwithoutnotification, "False");
  LoadOption(app, w.optMemorySheildOn, "True");
  TickIf(w.chkAutoProtect, w.optMemorySheildOn.Value());
  LoadOption(app, w.optMemorySheildOff, "False");
  LoadBox(app, w.chkSweepMemory, "1");
  LoadBox(app, w.chkScanRegistry, "1");
  // Every load ends on "Quick Scan", whatever was stored.
  LoadOption(app, w.optScanAllSelectedHardDrive, "True");
  w.optScanOnlyKnownSoftwares.SetValue(true);
  LoadBox(app, w.chkRunAtStartup, "0");
  LoadBox(app, w.chkScanCookies, "1");
  if (const std::optional<int> send =
          services::TrySettingToInt(ReadOption(app, w.chkSendData.name(), "1"))) {
    SetWithoutHandler(w.chkSendData, *send);
  }
  w.lblLastUpdate.SetCaption(std::string(kLastUpdatePrefix) + engine::ReadDefinitionsDate(app) +
                             " PST");
  LoadScheduleSwitch(app);
  LoadBox(app, w.chkAutomaticUpdate, "1");
  LoadDriveChecks(app);
  LoadColumnWidths(app);
  if (model::ReadUserSetting(app, kSettingsSection, kMaximizedKey, "0") == "1")
    w.SetWindowState(forms::WindowState::kMaximized);
  app.runtime.SetMousePointer(forms::MousePointer::kDefault);
}

void chkAutomaticUpdate_Click(model::App& app) {
  SaveBox(app, app.frmMain.chkAutomaticUpdate);
}

void chkMakeLog_Click(model::App& app) {
  SaveBox(app, app.frmMain.chkMakeLog);
}

void chkScanCookies_Click(model::App& app) {
  SaveBox(app, app.frmMain.chkScanCookies);
}

void chkScanRegistry_Click(model::App& app) {
  SaveBox(app, app.frmMain.chkScanRegistry);
}

void chkSweepMemory_Click(model::App& app) {
  SaveBox(app, app.frmMain.chkSweepMemory);
}

void chkAutoProtect_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveShieldBox(app, w.chkAutoProtect, w.optMemorySheildOn, w.optMemorySheildOff);
  w.tmrMemoryInspected.SetEnabled(w.chkAutoProtect.Value() == forms::kChecked);
}

void chkHomePage_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveShieldBox(app, w.chkHomePage, w.optIEHomePageSheildOn, w.optIEHomePageSheildOff);
  SwitchHomePageShield(w, w.chkHomePage.Value() == forms::kChecked);
}

void optIEHomePageSheildOn_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optIEHomePageSheildOn, w.optIEHomePageSheildOff);
  SwitchHomePageShield(w, true);
}

void optIEHomePageSheildOff_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optIEHomePageSheildOn, w.optIEHomePageSheildOff);
  SwitchHomePageShield(w, false);
}

void optMemorySheildOn_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optMemorySheildOn, w.optMemorySheildOff);
  w.tmrMemoryInspected.SetEnabled(true);
}

void optMemorySheildOff_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optMemorySheildOn, w.optMemorySheildOff);
  w.tmrMemoryInspected.SetEnabled(false);
}

void optAlwaysnotifybeforerestoring_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optAlwaysnotifybeforerestoring, w.optRestoredefaultwithoutnotification);
}

void optRestoredefaultwithoutnotification_Click(model::App& app) {
  optAlwaysnotifybeforerestoring_Click(app);
}

void optScanAllSelectedHardDrive_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optScanOnlyKnownSoftwares, w.optScanAllSelectedHardDrive);
  w.lvwHardDrives.SetVisible(true);
}

void optScanOnlyKnownSoftwares_Click(model::App& app) {
  model::FrmMain& w = app.frmMain;
  SaveOptions(app, w.optScanOnlyKnownSoftwares, w.optScanAllSelectedHardDrive);
  w.lvwHardDrives.SetVisible(false);
}

void chkRunAtStartup_Click(model::App& app) {
  SaveBox(app, app.frmMain.chkRunAtStartup);
  if (services::SettingNumericValue(ReadOption(app, "chkRunAtStartup", "1")) == 1)
    WriteRunValue(app);
  else
    DeleteRunValue(app);
}

void chkSendData_MouseUp(model::App& app) {
  forms::CheckBox& box = app.frmMain.chkSendData;
  if (box.Value() == forms::kUnchecked &&
      app.runtime.MsgBox(kSendDataQuestion, services::vbYesNo | services::vbQuestion,
                         kSendDataQuestionTitle) == services::vbNo) {
    // Runs this handler again for the ticked box, which saves "1" without asking.
    box.SetValue(forms::kChecked);
  }
  SaveBox(app, box);
}

void InstallOptionsPage(model::App& app) {
  model::FrmMain& w = app.frmMain;
  const std::pair<forms::Control*, void (*)(model::App&)> handlers[] = {
      {&w.chkAutomaticUpdate, chkAutomaticUpdate_Click},
      {&w.chkMakeLog, chkMakeLog_Click},
      {&w.chkScanCookies, chkScanCookies_Click},
      {&w.chkScanRegistry, chkScanRegistry_Click},
      {&w.chkSweepMemory, chkSweepMemory_Click},
      {&w.chkAutoProtect, chkAutoProtect_Click},
      {&w.chkHomePage, chkHomePage_Click},
      {&w.optIEHomePageSheildOn, optIEHomePageSheildOn_Click},
      {&w.optIEHomePageSheildOff, optIEHomePageSheildOff_Click},
      {&w.optMemorySheildOn, optMemorySheildOn_Click},
      {&w.optMemorySheildOff, optMemorySheildOff_Click},
      {&w.optAlwaysnotifybeforerestoring, optAlwaysnotifybeforerestoring_Click},
      {&w.optRestoredefaultwithoutnotification, optRestoredefaultwithoutnotification_Click},
      {&w.optScanAllSelectedHardDrive, optScanAllSelectedHardDrive_Click},
      {&w.optScanOnlyKnownSoftwares, optScanOnlyKnownSoftwares_Click},
      {&w.chkRunAtStartup, chkRunAtStartup_Click},
      // Every user toggle of the box reaches it, by mouse or keyboard (see SetWithoutHandler).
      {&w.chkSendData, chkSendData_MouseUp},
  };
  for (const auto& entry : handlers) {
    const auto handler = entry.second;
    entry.first->on_click = Guarded([&app, handler] { handler(app); });
  }
}

}  // namespace ui
