// A whole scan and the removal after it, headless, on the planted tree: the scheduled scan's
// automatic removal, and a user's removal of one threat found by several stages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/result_rows.h"
#include "removal/quarantine_store.h"
#include "removal/removal_hooks.h"
#include "removal/removal_session.h"
#include "removal/result_list_actions.h"
#include "services/prompts.h"
#include "services/registry_related.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"
#include "support/planted_scan.h"
#include "support/test_process.h"
#include "ui/main/check_propagation.h"
#include "ui/main/scan_controls.h"
#include "ui/main/scan_run.h"

namespace {

constexpr const char* kToolbarExe = "C:\\Program Files\\Acme SearchBar\\acmebar.exe";
constexpr const char* kToolbarDll = "C:\\Program Files\\Acme SearchBar\\acmebar.dll";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class ScanThenRemoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hg_test::InstallSampleDefinitions(app());
    hg_test::PlantSampleThreats(fixture_.temp, app());
    removal::InstallRemovalHooks(app());
    removal::InstallRemovalSession(app());
    removal::InstallResultListActions(app());
    ui::InstallScanControls(app());
    ui::InstallCheckPropagation(app());
    window().Show();
    window().frmResults.SetVisible(true);
    // The running-program stage would end the toolbar itself; here the removal has to.
    Save("OptionAndSettings", "chkSweepMemory", "0");
  }

  void Save(std::string_view section, std::string_view key, std::string_view value) {
    services::WriteSetting(app().system, app().SettingsApplication(), section, key, value);
  }
  std::string Setting(std::string_view key) {
    return services::ReadSetting(app().system, app().SettingsApplication(), "Settings", key,
                                 "(none)");
  }
  bool Exists(std::string_view path) { return files().Attributes(path).has_value(); }
  std::string Quarantine() { return removal::QuarantineFolderPath(app().system); }
  int ThreatRow(std::string_view name) {
    const forms::ListView& threats = window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    for (int i = 0; i < threats.Count(); ++i) {
      if (threats.Item(i).text == name)
        return i;
    }
    ADD_FAILURE() << "no threat row " << name;
    return -1;
  }

  model::App& app() { return fixture_.app(); }
  model::FrmMain& window() { return app().frmMain; }
  machine::FileSystem& files() { return fixture_.machine().files(); }
  forms::HeadlessBackend& backend() { return fixture_.backend; }

  hg_test::AppFixture fixture_;
};

TEST_F(ScanThenRemoveTest, AScheduledScanRemovesEverythingItFound) {
  hg_test::TestProcess toolbar(fixture_.temp.host(kToolbarExe));
  ASSERT_NE(toolbar.pid(), 0);
  app().scan.bAutoDeleteAfterScan = true;

  ui::cmdScanNow_Click(app());
  app().scan.bAutoDeleteAfterScan = false;

  EXPECT_TRUE(backend().MessageBoxes().empty()) << backend().MessageBoxes()[0].prompt;
  // The program was ended before its file was taken.
  EXPECT_TRUE(toolbar.WaitKilled());
  for (const char* path :
       {kToolbarExe, kToolbarDll, hg_test::kPlantedAcmeFolder, hg_test::kPlantedPopupFolder,
        hg_test::kPlantedWallTheme, hg_test::kPlantedCookie}) {
    EXPECT_FALSE(Exists(path)) << path;
  }
  EXPECT_TRUE(Exists(Quarantine() + "\\acmebar.exe"));
  EXPECT_TRUE(Exists(Quarantine() + "\\acmebar.dll"));
  EXPECT_TRUE(Exists(Quarantine() + "\\settings.ini"));
  EXPECT_TRUE(files().FolderExists(Quarantine() + "\\PopupPal"));
  EXPECT_FALSE(services::RegistryValueExists(app().system, machine::kHkeyCurrentUser, kRunKey,
                                             "FunnyCursor"));
  EXPECT_FALSE(services::RegistryKeyExists(app().system, machine::kHkeyCurrentUser,
                                           "Software\\Nameless Tracker Demo"));
  EXPECT_FALSE(
      services::RegistryKeyExists(app().system, machine::kHkeyLocalMachine, "Software\\Popup Pal"));
  // What was not found, or was excluded, is where it was.
  EXPECT_TRUE(services::RegistryKeyExists(app().system, machine::kHkeyCurrentUser, kRunKey));
  EXPECT_TRUE(Exists(std::string(hg_test::kPlantedCookieFolder) + "\\owner@news.example[2].txt"));
  EXPECT_TRUE(Exists(std::string(hg_test::kPlantedKeyPeekFolder) + "\\keypeek.txt"));

  EXPECT_EQ(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Count(), 0);
  EXPECT_EQ(window().lvwFilesToBeDeleted.Count(), 0);
  EXPECT_EQ(window().lvwRegistryToBeDeleted.Count(), 0);
  EXPECT_EQ(window().lvwCookiesToDelete.Count(), 0);
  EXPECT_EQ(app().frmDelete.Peek().lstProblem.Count(), 0);
  // Ten items: the toolbar's library, program and folder, the pop-up's file and folder, the
  // theme file, the cookie, the Run value and two whole keys.
  EXPECT_EQ(Setting("lblDefRemoved"), "10");
  EXPECT_FALSE(app().scan.bRemovalRunning);
  EXPECT_TRUE(window().cmdScanNow.Enabled());
}

TEST_F(ScanThenRemoveTest, ARegistryThreatTakesItsFilesAndFoldersWithIt) {
  ui::cmdScanNow_Click(app());
  ASSERT_TRUE(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.UserCheckItem(
      ThreatRow("Popup Pal Adware"), true));

  // The scan stages listed the threat once, from the registry; its file and folder rows follow
  // the threat row by name.
  for (const forms::ListItem& item : window().lvwFilesToBeDeleted.Items()) {
    const model::FileTargetRow row = model::FileTargetRow::From(item);
    EXPECT_EQ(row.checked, row.threat_name == "Popup Pal Adware") << row.path;
  }

  // While it runs, neither a second removal nor a scan starts.
  backend().ExpectMsgBox(services::vbYes, "Are you sure you want to delete");
  backend().ExpectMsgBox(services::vbOK, "A removal is in progress.");
  backend().AtYield(5, "start a scan", [&] {
    ui::cmdScanNow_Click(app());
    ui::lblStart_Click(app());
  });
  bool delete_refused = false;
  backend().AtYield(6, "Delete again", [&] { delete_refused = !window().Command4.UserClick(); });
  ASSERT_TRUE(window().Command4.UserClick());

  EXPECT_TRUE(backend().PromptsUsedUp());
  EXPECT_TRUE(delete_refused);
  EXPECT_FALSE(Exists(hg_test::kPlantedPopupFolder));
  EXPECT_FALSE(
      services::RegistryKeyExists(app().system, machine::kHkeyLocalMachine, "Software\\Popup Pal"));
  // Other threats stay listed and on the machine.
  EXPECT_TRUE(Exists(kToolbarDll));
  EXPECT_TRUE(Exists(hg_test::kPlantedWallTheme));
  EXPECT_TRUE(services::RegistryValueExists(app().system, machine::kHkeyCurrentUser, kRunKey,
                                            "FunnyCursor"));
  for (const forms::ListItem& item : window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Items())
    EXPECT_NE(item.text, "Popup Pal Adware");
  EXPECT_EQ(Setting("lblDefRemoved"), "3");
  EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.") << "no second scan ran";
}

}  // namespace
