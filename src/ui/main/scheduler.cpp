#include "ui/main/scheduler.h"

#include <optional>
#include <string>

#include "machine/date_time.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "ui/main/handler_guard.h"
#include "ui/main/scan_controls.h"
#include "ui/main/scan_run.h"
#include "ui/main/schedule_match.h"

namespace ui {

namespace {

constexpr std::string_view kAutoDelSection = "Settings";
constexpr std::string_view kNull = "Null";

bool Ticked(const forms::CheckBox& box) {
  return box.Value() == forms::kChecked;
}

// The pickers as a day choice wants them.
void SetPickersForDay(model::FrmMain& w) {
  const int code = w.cmbDays.ListIndex();
  if (code >= kDayMonday && code <= kDayDaily) {
    w.dtpScheduleDate.SetEmpty();
    w.dtpScheduleDate.SetEnabled(false);
    w.dtpScheduleTime.SetEnabled(true);
  } else if (code == kDayOnDate) {
    w.dtpScheduleDate.SetEnabled(true);
    w.dtpScheduleTime.SetEnabled(true);
  } else if (code == kDayNever) {
    w.dtpScheduleDate.SetEmpty();
    w.dtpScheduleDate.SetEnabled(false);
    w.dtpScheduleTime.SetEmpty();
    w.dtpScheduleTime.SetEnabled(false);
  }
}

// The timer, the day list and the pickers as the "Enable Scheduled Scans" box says.
void FollowScheduleBox(model::FrmMain& w) {
  if (Ticked(w.chkAutomaticScanYesOrNo)) {
    w.tmrScheduler.SetEnabled(true);
    w.cmbDays.SetEnabled(true);
    SetPickersForDay(w);
    return;
  }
  w.cmbDays.SetEnabled(false);
  w.dtpScheduleDate.SetEnabled(false);
  w.dtpScheduleTime.SetEnabled(false);
  w.tmrScheduler.SetEnabled(false);
}

std::string PickerText(const forms::DatePicker& picker) {
  return picker.IsEmpty() ? std::string(kNull) : machine::FormatGeneralDate(*picker.Value());
}

// The picker starts at `initial`; "Null" empties it, a readable text sets it.
void LoadPicker(forms::DatePicker& picker, const machine::DateTime& initial,
                std::string_view stored) {
  picker.SetValue(initial);
  if (stored == kNull) {
    picker.SetEmpty();
  } else if (const std::optional<machine::DateTime> value = machine::ParseGeneralDate(stored)) {
    picker.SetValue(*value);
  }
}

// Setting the sub-page's controls runs their handlers, which enable Apply; loading is no edit.
class KeepApplyState {
 public:
  explicit KeepApplyState(forms::CommandButton& apply) : apply_(apply), enabled_(apply.Enabled()) {}
  ~KeepApplyState() { apply_.SetEnabled(enabled_); }
  KeepApplyState(const KeepApplyState&) = delete;
  KeepApplyState& operator=(const KeepApplyState&) = delete;

 private:
  forms::CommandButton& apply_;
  bool enabled_;
};

// bAutoDeleteAfterScan holds only for the scheduler's own call, also when that call fails.
class AutoDeleteScope {
 public:
  AutoDeleteScope(model::ScanState& scan, bool auto_delete) : scan_(scan) {
    scan_.bAutoDeleteAfterScan = auto_delete;
  }
  ~AutoDeleteScope() { scan_.bAutoDeleteAfterScan = false; }
  AutoDeleteScope(const AutoDeleteScope&) = delete;
  AutoDeleteScope& operator=(const AutoDeleteScope&) = delete;

 private:
  model::ScanState& scan_;
};

}  // namespace

void chkAutoDel_Click(model::App& app) {
  model::WriteUserSetting(app, kAutoDelSection, "chkAutoDel",
                          std::to_string(app.frmMain.chkAutoDel.Value()));
}

void chkAutomaticScanYesOrNo_Click(model::App& app) {
  FollowScheduleBox(app.frmMain);
  app.frmMain.CmdProceed.SetEnabled(true);
}

void cmbDays_Click(model::App& app) {
  SetPickersForDay(app.frmMain);
  app.frmMain.CmdProceed.SetEnabled(true);
}

void dtpScheduleDate_Change(model::App& app) {
  app.frmMain.CmdProceed.SetEnabled(true);
}

void dtpScheduleTime_Click(model::App& app) {
  app.frmMain.CmdProceed.SetEnabled(true);
}

bool SaveSchedule(model::App& app) {
  model::FrmMain& w = app.frmMain;
  if (w.cmbDays.ListIndex() == kDayOnDate &&
      (w.dtpScheduleDate.IsEmpty() || w.dtpScheduleTime.IsEmpty())) {
    app.runtime.MsgBox(kScheduleNoDateMessage, services::vbInformation | services::vbOKOnly,
                       app.ProductName());
    return false;
  }
  const std::string box = std::to_string(w.chkAutomaticScanYesOrNo.Value());
  model::WriteUserSetting(app, model::kOptionsSection, "chkAutomaticScanYesOrNo", box);
  if (services::SettingNumericValue(model::ReadUserSetting(app, model::kOptionsSection,
                                                           "chkAutomaticScanYesOrNo", box)) != 1) {
    w.tmrScheduler.SetEnabled(false);
    return true;
  }
  model::WriteUserSetting(app, model::kOptionsSection, "Day",
                          std::to_string(w.cmbDays.ListIndex()));
  model::WriteUserSetting(app, model::kOptionsSection, "Time", PickerText(w.dtpScheduleTime));
  model::WriteUserSetting(app, model::kOptionsSection, "Date", PickerText(w.dtpScheduleDate));
  w.tmrScheduler.SetEnabled(true);
  return true;
}

void LoadSchedule(model::App& app) {
  model::FrmMain& w = app.frmMain;
  const KeepApplyState keep(w.CmdProceed);
  if (const std::optional<int> auto_del = services::TrySettingToInt(
          model::ReadUserSetting(app, kAutoDelSection, "chkAutoDel", "0"))) {
    w.chkAutoDel.SetValue(*auto_del);
  }
  const std::string day = model::ReadUserSetting(app, model::kOptionsSection, "Day", "None");
  if (day == "None") {
    w.cmbDays.SetListIndex(kDayDaily);
    return;
  }
  const machine::DateTime now = app.machine.clock().Now();
  LoadPicker(w.dtpScheduleDate, now.DateOnly(),
             model::ReadUserSetting(app, model::kOptionsSection, "Date", kNull));
  // The time alone (on the zero date), as the time picker holds it.
  machine::DateTime time_of_day;
  time_of_day.hour = now.hour;
  time_of_day.minute = now.minute;
  time_of_day.second = now.second;
  LoadPicker(w.dtpScheduleTime, time_of_day,
             model::ReadUserSetting(app, model::kOptionsSection, "Time", kNull));
  if (const std::optional<int> code = services::TrySettingToInt(day))
    w.cmbDays.SetListIndex(*code);
  FollowScheduleBox(w);
}

void CmdProceed_Click(model::App& app) {
  if (!SaveSchedule(app))
    return;
  app.frmMain.CmdProceed.SetEnabled(false);
  LoadSchedule(app);
}

void cmdDefaultSetting_Click(model::App& app) {
  app.frmMain.cmbDays.SetListIndex(kDayDaily);
  app.frmMain.chkAutomaticScanYesOrNo.SetValue(forms::kUnchecked);
  CmdProceed_Click(app);
}

void tmrScheduler_Timer(model::App& app) {
  // The group may have been switched on again from the options inside a long task; a tick
  // there must neither start a scan nor touch the running scan's removal flag.
  if (model::IsScanRunning(app) || IsScanBlocked(app))
    return;
  const machine::DateTime now = app.machine.clock().Now();
  const std::optional<int> day = StoredDayCode(
      model::ReadUserSetting(app, model::kOptionsSection, "Day", std::to_string(kDayDaily)));
  if (!day ||
      !ScheduleDue(*day, model::ReadUserSetting(app, model::kOptionsSection, "Time", kNull),
                   model::ReadUserSetting(app, model::kOptionsSection, "Date", kNull), now)) {
    return;
  }
  // A scan that ended within the second it started in is not started again.
  if (app.scan.scheduled_start_second == now.Serial())
    return;
  app.scan.scheduled_start_second = now.Serial();
  const AutoDeleteScope auto_delete(app.scan, Ticked(app.frmMain.chkAutoDel));
  lblStart_Click(app);
}

void InstallScheduler(model::App& app) {
  model::FrmMain& w = app.frmMain;
  w.chkAutoDel.on_click = Guarded([&app] { chkAutoDel_Click(app); });
  w.chkAutomaticScanYesOrNo.on_click = Guarded([&app] { chkAutomaticScanYesOrNo_Click(app); });
  w.cmbDays.on_click = Guarded([&app] { cmbDays_Click(app); });
  w.dtpScheduleDate.on_change = Guarded([&app] { dtpScheduleDate_Change(app); });
  w.dtpScheduleTime.on_click = Guarded([&app] { dtpScheduleTime_Click(app); });
  w.CmdProceed.on_click = Guarded([&app] { CmdProceed_Click(app); });
  w.cmdDefaultSetting.on_click = Guarded([&app] { cmdDefaultSetting_Click(app); });
  w.tmrScheduler.on_timer = Guarded([&app] { tmrScheduler_Timer(app); });
}

}  // namespace ui
