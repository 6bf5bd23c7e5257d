#include "ui/main/form_load.h"

#include <exception>
#include <filesystem>

#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/status_labels.h"
#include "engine/scan/drive_list.h"
#include "machine/text.h"
#include "model/app.h"
#include "model/timer_group.h"
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

// Runs one statement of the start-up; one that fails is passed over. Ending the program is no
// failure.
template <typename Statement>
void Run(Statement&& statement) {
  try {
    statement();
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    // The start-up goes on with its next statement.
  }
}

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

std::string ReadUserSetting(model::App& app, std::string_view section, std::string_view key,
                            std::string_view default_value) {
  return services::ReadSetting(app.system, app.SettingsApplication(), section, key, default_value);
}

void WriteUserSetting(model::App& app, std::string_view section, std::string_view key,
                      std::string_view value) {
  services::WriteSetting(app.system, app.SettingsApplication(), section, key, value);
}

void WriteStartRecord(model::App& app) {
  Run([&] {
    services::WriteSetting(app.system, kStartRecordApplication, kSettingsSection, "Product",
                           app.branding.strProductName);
  });
  Run([&] {
    const std::string name =
        std::filesystem::path(app.machine.version().executable_name).stem().string();
    services::WriteSetting(app.system, kStartRecordApplication, kSettingsSection, "File",
                           name + ".exe");
  });
}

// Definitions, status page and ignore list: what the first look at the window shows.
void ShowStatus(model::App& app) {
  model::FrmMain& main = app.frmMain;
  Run([&] { engine::InstallDownloadedDefinitions(app); });
  Run([&] { app.definitions.lngTotalDefinitions = engine::CountDefinitions(app); });
  Run([&] { engine::RefreshStatusLabels(app); });
  Run([&] { engine::LoadIgnoreList(app); });
  Run([&] { HideAllPages(app); });
  Run([&] { main.frmStatus.SetCaption(app.branding.strProductName + " Status"); });
  Run([&] { main.frmStatus.SetVisible(true); });
}

void SetCaptions(model::App& app) {
  model::FrmMain& main = app.frmMain;
  const model::Branding& branding = app.branding;
  Run([&] { main.SetCaption(branding.strProductName + " by " + branding.strCompanyName); });
  Run([&] { main.cmdWebsite.SetCaption("Visit " + branding.strWebsite); });
  Run([&] { main.shpCircle.SetVisible(false); });
  Run([&] { app.runtime.SetTaskVisible(false); });
}

// The options into the controls with the timer group stopped meanwhile.
void RestoreOptions(model::App& app) {
  Run([&] { model::ApplyTimerSettings(app, false); });
  Run([&] { LoadSchedule(app); });
  Run([&] { engine::ListDrives(app); });
  Run([&] { LoadOptionSettings(app); });
  Run([&] { model::ShowPanels(app, true, false, false, false); });
  Run([&] { model::ApplyTimerSettings(app, true); });
  Run([&] { app.frmMain.tmrScroll.SetEnabled(false); });
  Run([&] { app.frmDelete.Get(); });
}

void Skin(model::App& app) {
  model::FrmMain& main = app.frmMain;
  const bool skinned = app.branding.bUseSkin;
  if (skinned)
    Run([&] { ApplySkin(app, main); });
  Run([&] { main.Label22.SetCaption("Welcome to " + app.branding.strProductName); });
  if (skinned) {
    Run([&] {
      CloneLabelsAsSkinLabels(main, {&main.SkinLabel1, &main.SkinLabel2, &main.SkinLabel3,
                                     &main.SkinLabel4, &main.SkinLabel5, &main.SkinLabel6});
    });
    Run([&] { ApplySkin(app, main); });
  }
}

// "showHelp" is per user: every user gets the help file on their own first start.
void OpenHelpOnFirstStart(model::App& app) {
  if (!Passes([&] { return ReadUserSetting(app, kSettingsSection, "showHelp", "1") == "1"; }))
    return;
  Run([&] { app.Form8->Show(); });
  Run([&] { app.runtime.Yield(); });
  Run([&] { app.Form8.Unload(); });
  Run([&] { WriteUserSetting(app, kSettingsSection, "showHelp", "0"); });
}

void ArmAutomaticUpdate(model::App& app) {
  const bool armed = Passes([&] {
    double value = 0;
    const std::string text =
        ReadUserSetting(app, model::kOptionsSection, "chkAutomaticUpdate", "0");
    // A value that is no number cannot be compared: the test counts as passed.
    return !machine::ParseNumber(machine::TrimBlanks(text), value) || value == 1;
  });
  if (armed)
    Run([&] { app.frmMain.timUpdate.SetEnabled(true); });
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
  Run([&] {
    services::SaveSettingHKLM(app.system, product, kSettingsSection, "FirstTime", "Yes");
  });
  Run([&] {
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
    Run([&] { main.SetIcon(app.frmSplash->Icon()); });
  main.lngUpdateIdleTicks = 0;
  // A second copy leaves nothing but the start record behind.
  if (app.machine.PrevInstance())
    app.runtime.EndProgram();

  ShowStatus(app);
  Run([&] { WriteUserSetting(app, model::kOptionsSection, "STATUS", "RUNNING"); });
  Run([&] { WriteUserSetting(app, model::kOptionsSection, "RESTART", "False"); });
  Run([&] { app.frmHidden.Get(); });
  SetCaptions(app);
  RestoreOptions(app);
  Skin(app);
  OpenHelpOnFirstStart(app);
  ArmAutomaticUpdate(app);
  if (Passes([&] { return ReadUserSetting(app, kSettingsSection, "Minimized", "No") == "Yes"; }))
    Run([&] { Command5_Click(app); });
  OfferLiveUpdateOnFirstStart(app);
}

void InstallFormLoad(model::App& app) {
  model::FrmMain& main = app.frmMain;
  main.on_load = [&app] { Form_Load(app); };
  if (!main.on_unload)
    main.on_unload = [&app](int&) { app.runtime.EndProgram(); };
}

}  // namespace ui
