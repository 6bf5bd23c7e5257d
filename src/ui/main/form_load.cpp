#include "ui/main/form_load.h"

#include <exception>
#include <filesystem>

#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/status_labels.h"
#include "engine/scan/drive_list.h"
#include "forms/go_on.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/taskbar_button.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/machine_settings.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "ui/main/live_update_run.h"
#include "ui/main/options_page.h"
#include "ui/main/pages.h"
#include "ui/main/scheduler.h"
#include "ui/main/send_to_tray.h"
#include "ui/windows/skin.h"

namespace ui {

namespace {

constexpr std::string_view kSettingsSection = "Settings";

// A test that fails while it is evaluated counts as passed: its action runs.
template <typename Test>
bool Passes(Test&& test) {
  try {
    return test();
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    return true;
  }
}

void WriteStartRecord(model::App& app) {
  forms::GoOnPastFailure([&] {
    services::WriteSetting(app.system, kStartRecordApplication, kSettingsSection, "Product",
                           app.branding.strProductName);
  });
  forms::GoOnPastFailure([&] {
    const std::string name =
        std::filesystem::path(app.machine.version().executable_name).stem().string();
    services::WriteSetting(app.system, kStartRecordApplication, kSettingsSection, "File",
                           name + ".exe");
  });
}

// Definitions, status page and ignore list: what the first look at the window shows.
void ShowStatus(model::App& app) {
  model::FrmMain& main = app.frmMain;
  forms::GoOnPastFailure([&] { engine::RemoveLeftoverTemporaryFiles(app); });
  forms::GoOnPastFailure([&] { engine::InstallDownloadedDefinitions(app); });
  forms::GoOnPastFailure(
      [&] { app.definitions.lngTotalDefinitions = engine::CountDefinitions(app); });
  forms::GoOnPastFailure([&] { engine::RefreshStatusLabels(app); });
  forms::GoOnPastFailure([&] { engine::LoadIgnoreList(app); });
  forms::GoOnPastFailure([&] { HideAllPages(app); });
  forms::GoOnPastFailure(
      [&] { main.frmStatus.SetCaption(app.branding.strProductName + " Status"); });
  forms::GoOnPastFailure([&] { main.frmStatus.SetVisible(true); });
}

void SetCaptions(model::App& app) {
  model::FrmMain& main = app.frmMain;
  const model::Branding& branding = app.branding;
  forms::GoOnPastFailure(
      [&] { main.SetCaption(branding.strProductName + " by " + branding.strCompanyName); });
  forms::GoOnPastFailure([&] { main.cmdWebsite.SetCaption("Visit " + branding.strWebsite); });
  forms::GoOnPastFailure([&] { main.shpCircle.SetVisible(false); });
  // No tray icon is in yet: the button stays until one is.
  forms::GoOnPastFailure([&] { model::UpdateTaskbarButton(app); });
}

// The options into the controls with the timer group stopped meanwhile.
void RestoreOptions(model::App& app) {
  forms::GoOnPastFailure([&] { model::ApplyTimerSettings(app, false); });
  forms::GoOnPastFailure([&] { LoadSchedule(app); });
  forms::GoOnPastFailure([&] { engine::ListDrives(app); });
  forms::GoOnPastFailure([&] { LoadOptionSettings(app); });
  forms::GoOnPastFailure([&] { model::ShowPanels(app, true, false, false, false); });
  forms::GoOnPastFailure([&] { model::ApplyTimerSettings(app, true); });
  forms::GoOnPastFailure([&] { app.frmMain.tmrScroll.SetEnabled(false); });
  forms::GoOnPastFailure([&] { app.frmDelete.Get(); });
}

void Skin(model::App& app) {
  model::FrmMain& main = app.frmMain;
  const bool skinned = app.branding.bUseSkin;
  if (skinned)
    forms::GoOnPastFailure([&] { ApplySkin(app, main); });
  forms::GoOnPastFailure(
      [&] { main.Label22.SetCaption("Welcome to " + app.branding.strProductName); });
  if (skinned) {
    forms::GoOnPastFailure([&] {
      CloneLabelsAsSkinLabels(main, {&main.SkinLabel1, &main.SkinLabel2, &main.SkinLabel3,
                                     &main.SkinLabel4, &main.SkinLabel5, &main.SkinLabel6});
    });
    forms::GoOnPastFailure([&] { ApplySkin(app, main); });
  }
}

// "showHelp" is per user: every user gets the help file on their own first start.
void OpenHelpOnFirstStart(model::App& app) {
  if (!Passes(
          [&] { return model::ReadUserSetting(app, kSettingsSection, "showHelp", "1") == "1"; }))
    return;
  forms::GoOnPastFailure([&] { app.Form8->Show(); });
  forms::GoOnPastFailure([&] { app.runtime.Yield(); });
  forms::GoOnPastFailure([&] { app.Form8.Unload(); });
  forms::GoOnPastFailure([&] { model::WriteUserSetting(app, kSettingsSection, "showHelp", "0"); });
}

void ArmAutomaticUpdate(model::App& app) {
  const bool armed = Passes([&] {
    double value = 0;
    const std::string text =
        model::ReadUserSetting(app, model::kOptionsSection, "chkAutomaticUpdate", "0");
    // A value that is no number cannot be compared: the test counts as passed.
    return !machine::ParseNumber(machine::TrimBlanks(text), value) || value == 1;
  });
  if (armed)
    forms::GoOnPastFailure([&] { app.frmMain.timUpdate.SetEnabled(true); });
}

// "FirstTime" is machine-wide and written before the question, so the offer comes once per
// machine whatever the answer.
void OfferLiveUpdateOnFirstStart(model::App& app) {
  const std::string& product = app.SettingsApplication();
  if (!Passes([&] {
        return services::GetSettingHKLM(app.system, product, kSettingsSection, "FirstTime", "")
            .empty();
      }))
    return;
  forms::GoOnPastFailure([&] {
    services::SaveSettingHKLM(app.system, product, kSettingsSection, "FirstTime", "Yes");
  });
  forms::GoOnPastFailure([&] {
    if (app.runtime.MsgBox(FirstRunQuestion(app.branding.strProductName), services::vbYesNo,
                           kFirstRunTitle) == services::vbYes)
      cmdUpdate_Click(app);
  });
}

}  // namespace

std::string FirstRunQuestion(std::string_view product) {
  const std::string name(product);
  return "Thank you for using " + name + "!\r\n\r\nBecause this is the first time you have used " +
         name +
         " we recommend running Live Update now to download the most recent adware and spyware "
         "definitions.\r\n\r\nWould you like to run Live Update now?";
}

void Form_Load(model::App& app) {
  model::FrmMain& main = app.frmMain;
  WriteStartRecord(app);
  if (app.branding.bUseSplashIcon)
    forms::GoOnPastFailure([&] { main.SetIcon(app.frmSplash->Icon()); });
  main.lngUpdateIdleTicks = 0;
  // A second copy leaves nothing but the start record behind.
  if (app.machine.PrevInstance())
    app.runtime.EndProgram();

  ShowStatus(app);
  forms::GoOnPastFailure(
      [&] { model::WriteUserSetting(app, model::kOptionsSection, "STATUS", "RUNNING"); });
  forms::GoOnPastFailure(
      [&] { model::WriteUserSetting(app, model::kOptionsSection, "RESTART", "False"); });
  forms::GoOnPastFailure([&] { app.frmHidden.Get(); });
  SetCaptions(app);
  RestoreOptions(app);
  Skin(app);
  OpenHelpOnFirstStart(app);
  ArmAutomaticUpdate(app);
  if (Passes([&] {
        return model::ReadUserSetting(app, kSettingsSection, model::kMinimizedKey, "No") == "Yes";
      }))
    forms::GoOnPastFailure([&] { Command5_Click(app); });
  OfferLiveUpdateOnFirstStart(app);
}

void InstallFormLoad(model::App& app) {
  model::FrmMain& main = app.frmMain;
  main.on_load = [&app] { Form_Load(app); };
  if (!main.on_unload)
    main.on_unload = [&app](int&) { app.runtime.EndProgram(); };
}

}  // namespace ui
