// The removal run as "Delete" and "Remove" start it: the question, the quarantine folder, the
// timer group, the settle wait, the restore-point bracket, the rows of what was removed, the
// running total, and one run at a time.

#include "removal/removal_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "machine/clock.h"
#include "machine/registry_import.h"
#include "model/result_rows.h"
#include "model/timer_group.h"
#include "removal/quarantine_store.h"
#include "removal/removal_hooks.h"
#include "removal/result_list_actions.h"
#include "services/prompts.h"
#include "services/registry_related.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"
#include "support/planted_scan.h"

namespace {

using model::ThreatIconKind;

constexpr machine::DateTime kNow{2006, 6, 28, 14, 5, 9};
constexpr const char* kStamp = "6/28/2006 2:05:09 PM";

constexpr const char* kToolbarDll = "C:\\Program Files\\Acme SearchBar\\acmebar.dll";
constexpr const char* kToolbarFolder = "C:\\Program Files\\Acme SearchBar";
constexpr const char* kDialerFile = "C:\\dialer.dat";
constexpr const char* kCookie =
    "C:\\Documents and Settings\\Owner\\Cookies\\owner@acme-searchbar[1].txt";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A main window with a few findings checked, on a machine with a fixed clock; the quarantine
// folder is not made yet (the run makes it).
class RemovalSessionTest : public ::testing::Test {
 protected:
  void SetUp() override { Open({}); }

  // (Re)opens the machine; `prepare` may change the profile first.
  void Open(const std::function<void(hg_test::TempMachine&)>& prepare, bool system_restore = true) {
    app_.reset();
    runtime_.reset();
    machine_.reset();
    if (prepare)
      prepare(temp_);
    std::string error;
    machine::MachineParts parts = hg_test::FixedClockParts(kNow);
    // A Windows machine's System Restore, recorded; this host's own has none.
    if (system_restore)
      parts.restore_points = std::make_unique<machine::RecordingRestorePoints>();
    machine_ = std::make_unique<machine::Machine>(temp_.profile(), hg_test::TestVersionInfo(),
                                                  std::move(parts), error);
    ASSERT_TRUE(machine_->ok()) << error;
    runtime_ = std::make_unique<forms::Runtime>(backend_, machine_->version().product_name);
    app_ = model::MakeApp(*machine_, *runtime_);
    removal::InstallRemovalHooks(app());
    removal::InstallRemovalSession(app());
    removal::InstallResultListActions(app());
    window().Show();
    window().frmResults.SetVisible(true);
  }

  void TearDown() override {
    app_.reset();
    runtime_.reset();
    machine_.reset();
  }

  // Two threats with their targets, all checked: a toolbar (a library, its folder and a Run
  // value) and a tracking cookie. Also an unchecked threat that must stay.
  void PlantFindings() {
    temp_.WriteFile(kToolbarDll, "bho");
    temp_.WriteFile(std::string(kToolbarFolder) + "\\readme.txt", "toolbar");
    temp_.WriteFile(kCookie, "id\n4411\nacme-searchbar.example/\n1536\n");
    temp_.WriteFile(kDialerFile, "dialer");
    std::string error;
    ASSERT_TRUE(machine::ImportRegedit4(machine_->registry(),
                                        "REGEDIT4\n"
                                        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                        "CurrentVersion\\Run]\n"
                                        "\"AcmeBar\"=\"C:\\\\acmebar.exe\"\n",
                                        error))
        << error;

    model::RowView<model::ThreatRow> threats(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    threats.Add({"Acme SearchBar", kToolbarDll, "", ThreatIconKind::kFile, true});
    threats.Add({"Cookie: owner@acme-searchbar[1].txt", kCookie, "Tracking Cookie",
                 ThreatIconKind::kCookie, true});
    threats.Add({"Evil Dialer Demo", kDialerFile, "", ThreatIconKind::kFile, false});
    model::RowView<model::FileTargetRow> files(window().lvwFilesToBeDeleted);
    files.Add({kToolbarDll, "Acme SearchBar", true});
    files.Add({kDialerFile, "Evil Dialer Demo", false});
    files.Add({kToolbarFolder, "Acme SearchBar", true});
    model::RowView<model::RegistryTargetRow>(window().lvwRegistryToBeDeleted)
        .Add({std::to_string(machine::kHkeyCurrentUser), kRunKey, "AcmeBar", "Acme SearchBar",
              true});
    model::RowView<model::CookieTargetRow>(window().lvwCookiesToDelete).Add({kCookie, "", true});
    window().lvwSpywareFound.AddItem("Acme SearchBar - Found");
  }

  bool Exists(std::string_view path) { return machine_->files().Attributes(path).has_value(); }
  bool RunValueExists() {
    return services::RegistryValueExists(app().system, machine::kHkeyCurrentUser, kRunKey,
                                         "AcmeBar");
  }
  std::string Setting(std::string_view key) {
    return services::ReadSetting(app().system, app().SettingsApplication(), "Settings", key,
                                 "(none)");
  }
  void SaveSetting(std::string_view key, std::string_view value) {
    services::WriteSetting(app().system, app().SettingsApplication(), "Settings", key, value);
  }
  const std::vector<machine::RestorePointCall>& RestoreCalls() {
    return dynamic_cast<machine::RecordingRestorePoints&>(machine_->restore_points()).calls();
  }
  std::string Quarantine() { return removal::QuarantineFolderPath(app().system); }
  void ExpectDeleteQuestion(int answer) {
    backend_.ExpectMsgBox(answer, "Are you sure you want to delete the selected files?");
  }

  model::App& app() { return *app_; }
  model::FrmMain& window() { return app_->frmMain; }

  hg_test::TempMachine temp_;
  forms::HeadlessBackend backend_;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

TEST_F(RemovalSessionTest, DeleteRemovesWhatIsCheckedInsideARestorePoint) {
  PlantFindings();
  SaveSetting("lblDefRemoved", "5");
  window().chkSendData.SetValue(forms::kChecked);
  int reports_sent = 0;
  app().hooks.SendRunningProcessList = [&] { ++reports_sent; };
  app().frmDelete->lstProblem.AddItem("C:\\from an earlier run.dll");

  // What the run looks like from the message loop.
  std::vector<std::string> captions;
  bool running_throughout = true;
  bool group_off_throughout = true;
  hg_test::YieldProbe probe(backend_, [&](int) {
    captions.push_back(window().lblDeletingPercentageCompleted.Caption());
    running_throughout = running_throughout && app().scan.bRemovalRunning;
    group_off_throughout = group_off_throughout && !window().tmrCheckHomePage.Enabled() &&
                           !window().tmrMemoryInspected.Enabled();
  });
  ExpectDeleteQuestion(services::vbYes);
  ASSERT_TRUE(window().Command4.UserClick());
  probe.Stop();

  // The question, word for word, with the restore-point paragraph (XP has System Restore).
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  const forms::ShownMessageBox& box = backend_.MessageBoxes()[0];
  EXPECT_EQ(box.title, "Really Delete?");
  EXPECT_EQ(box.style, services::vbYesNo);
  EXPECT_EQ(box.prompt,
            "Are you sure you want to delete the selected files?\r\n\r\n"
            "Deleted files will be backed up in the following folder in case you need to "
            "recover them:\r\n\r\n"
            "C:\\Program Files\\Hearthguard\\quarantine\r\n\r\n"
            "In addition, a System Restore Point will be created using Windows System Restore, "
            "accessible through:\r\n\r\n"
            "Start > Programs > Accessories > System Tools > System Restore");

  // The machine: everything checked is in the quarantine, the unchecked file is not touched.
  EXPECT_TRUE(machine_->files().FolderExists(Quarantine()));
  EXPECT_FALSE(Exists(kToolbarDll));
  EXPECT_FALSE(Exists(kToolbarFolder));
  EXPECT_FALSE(Exists(kCookie));
  EXPECT_FALSE(RunValueExists());
  EXPECT_TRUE(Exists(kDialerFile));
  EXPECT_TRUE(Exists(Quarantine() + "\\acmebar.dll"));
  EXPECT_TRUE(Exists(Quarantine() + "\\Acme SearchBar\\readme.txt"));
  EXPECT_TRUE(Exists(Quarantine() + "\\owner@acme-searchbar[1].txt"));

  // One restore point around the passes, named after the product and the moment.
  ASSERT_EQ(RestoreCalls().size(), 2u);
  EXPECT_EQ(RestoreCalls()[0].event_type, machine::kBeginSystemChange);
  EXPECT_EQ(RestoreCalls()[0].type, removal::kRemovalRestorePointType);
  EXPECT_EQ(RestoreCalls()[0].description, std::string("Hearthguard Restore Point ") + kStamp);
  EXPECT_EQ(RestoreCalls()[1].event_type, machine::kEndSystemChange);
  EXPECT_EQ(RestoreCalls()[1].sequence, 1) << "the one this run began";
  EXPECT_EQ(app().system.lngRestoreSequence, 0);

  // The lists keep only what was not removed; the scan log keeps its rows.
  EXPECT_EQ(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Count(), 1);
  EXPECT_EQ(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Item(0).text, "Evil Dialer Demo");
  ASSERT_EQ(window().lvwFilesToBeDeleted.Count(), 1);
  EXPECT_EQ(window().lvwFilesToBeDeleted.Item(0).text, kDialerFile);
  EXPECT_EQ(window().lvwRegistryToBeDeleted.Count(), 0);
  EXPECT_EQ(window().lvwCookiesToDelete.Count(), 0);
  EXPECT_EQ(window().lvwSpywareFound.Count(), 1);
  EXPECT_EQ(app().frmDelete.Peek().lstProblem.Count(), 0) << "emptied by Delete";
  EXPECT_FALSE(app().frmDelete.Peek().Visible());

  // The total grows by the items removed: the library, the folder, the value and the cookie.
  EXPECT_EQ(Setting("lblDefRemoved"), "9");
  EXPECT_EQ(window().lblDefRemoved.Caption(), "9");
  EXPECT_EQ(reports_sent, 1);

  // The settle wait ran under its caption, the signal and the "off" held for the whole run.
  const auto first = std::find(captions.begin(), captions.end(), "Gathering information...");
  const auto after = std::find_if(first, captions.end(), [](const std::string& caption) {
    return caption != "Gathering information...";
  });
  EXPECT_EQ(after - first, removal::kSettleYields);
  ASSERT_NE(after, captions.end());
  EXPECT_EQ(*after, "Creating Restore Point...");
  EXPECT_TRUE(running_throughout);
  EXPECT_TRUE(group_off_throughout);

  // Afterwards: the group as the options say, "Remove" back, the progress hidden.
  EXPECT_FALSE(app().scan.bRemovalRunning);
  EXPECT_TRUE(window().tmrCheckHomePage.Enabled());
  EXPECT_TRUE(window().tmrMemoryInspected.Enabled());
  EXPECT_FALSE(window().tmrScheduler.Enabled());
  EXPECT_TRUE(window().lblRemove.Enabled());
  EXPECT_EQ(window().lblDeletingPercentageCompleted.Caption(), "100% complete");
  EXPECT_FALSE(window().pgbDeleteSpywaresFound.Visible());
  EXPECT_FALSE(window().lblDeletingPercentageCompleted.Visible());
  EXPECT_FALSE(window().lblDeletingCaption.Visible());
}

TEST_F(RemovalSessionTest, NothingHappensWithoutACheckedThreatOrAYes) {
  struct Case {
    const char* what;
    bool check_a_threat;
    bool unattended;
    std::vector<int> answers;  // the boxes shown, answered in turn
  };
  const std::vector<Case> cases = {
      {"nothing checked", false, false, {services::vbOK}},
      {"nothing checked after a scheduled scan", false, true, {}},
      {"answered No", true, false, {services::vbNo}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open({});
    PlantFindings();
    if (!c.check_a_threat) {
      for (int i = 0; i < window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Count(); ++i)
        window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.SetChecked(i, false);
    }
    app().scan.bAutoDeleteAfterScan = c.unattended;
    for (int answer : c.answers)
      backend_.ExpectMsgBox(answer);
    const size_t boxes_before = backend_.MessageBoxes().size();

    removal::Command4_Click(app());

    EXPECT_TRUE(backend_.PromptsUsedUp());
    ASSERT_EQ(backend_.MessageBoxes().size() - boxes_before, c.answers.size());
    if (!c.check_a_threat && !c.unattended) {
      EXPECT_EQ(backend_.MessageBoxes().back().prompt, removal::kNothingSelectedMessage);
      EXPECT_EQ(backend_.MessageBoxes().back().style, services::vbInformation);
    }
    EXPECT_FALSE(machine_->files().FolderExists(Quarantine()));
    EXPECT_TRUE(Exists(kToolbarDll));
    EXPECT_TRUE(RunValueExists());
    EXPECT_EQ(window().lvwFilesToBeDeleted.Count(), 3);
    EXPECT_TRUE(RestoreCalls().empty());
    EXPECT_EQ(Setting("lblDefRemoved"), "(none)");
  }
}

TEST_F(RemovalSessionTest, WithoutSystemRestoreThereIsNoParagraphAndNoRestorePoint) {
  // Windows 2000 has none; nor has this host, whatever the Windows version.
  for (const bool xp_on_this_host : {false, true}) {
    SCOPED_TRACE(xp_on_this_host ? "XP on this host" : "Windows 2000");
    Open([xp_on_this_host](
             hg_test::TempMachine& temp) { temp.profile().os_minor = xp_on_this_host ? 1 : 0; },
         !xp_on_this_host);
    PlantFindings();
    ExpectDeleteQuestion(services::vbYes);
    removal::Command4_Click(app());
    EXPECT_EQ(backend_.MessageBoxes().back().prompt.find("System Restore"), std::string::npos);
    if (!xp_on_this_host) {
      EXPECT_TRUE(RestoreCalls().empty());
    }
    EXPECT_FALSE(Exists(kToolbarDll));
    EXPECT_EQ(Setting("lblDefRemoved"), xp_on_this_host ? "8" : "4") << "four more each run";
  }
}

TEST_F(RemovalSessionTest, ASecondStartIsRefusedWhileOneRuns) {
  PlantFindings();
  ExpectDeleteQuestion(services::vbYes);
  // During the settle wait the user presses "Delete" again, and code calls the run directly.
  bool delete_refused = false;
  bool label_refused = false;
  backend_.AtYield(10, "Delete again", [&] { delete_refused = !window().Command4.UserClick(); });
  backend_.AtYield(20, "Remove again", [&] {
    label_refused = !window().lblRemove.UserClick();
    removal::lblRemove_Click(app());
    removal::Command4_Click(app());
  });

  removal::Command4_Click(app());

  EXPECT_TRUE(backend_.PromptsUsedUp());
  EXPECT_EQ(backend_.MessageBoxes().size(), 1u) << "only the question";
  EXPECT_TRUE(delete_refused) << "the Delete button is disabled during a run";
  EXPECT_TRUE(label_refused) << "the Remove label is disabled during a run";
  EXPECT_EQ(RestoreCalls().size(), 2u) << "one bracket: only one run";
  EXPECT_EQ(Setting("lblDefRemoved"), "4");
  EXPECT_FALSE(app().scan.bRemovalRunning);

  // Once it has ended, a run starts again (with nothing left to remove).
  removal::lblRemove_Click(app());
  EXPECT_EQ(RestoreCalls().size(), 4u);
  EXPECT_EQ(Setting("lblDefRemoved"), "4");
}

TEST_F(RemovalSessionTest, DuringARunTheUserCannotTouchTheRowsItWorksThrough) {
  PlantFindings();
  // A whole key the removal refuses: it survives, and the second pass unchecks it.
  model::RowView<model::ThreatRow>(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
      .Add({"Greedy Key", "HKEY_CURRENT_USER\\Software", "", ThreatIconKind::kRegistry, true});
  model::RowView<model::RegistryTargetRow> registry(window().lvwRegistryToBeDeleted);
  registry.Add({std::to_string(machine::kHkeyCurrentUser), "Software", "", "Greedy Key", true});
  const int survivor = registry.Count() - 1;
  ExpectDeleteQuestion(services::vbYes);

  // Once the survivor is unchecked, the user ticks it again and presses every button there is.
  std::vector<bool> accepted;
  hg_test::YieldProbe probe(backend_, [&](int) {
    if (!accepted.empty() || registry[survivor].checked)
      return;
    forms::ListView& threats = window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    accepted = {threats.UserCheckItem(threats.Count() - 1, true),
                window().lvwRegistryToBeDeleted.UserCheckItem(survivor, true),
                window().cmdSelectAll.UserClick(), window().cmdExclude.UserClick(),
                window().Command4.UserClick()};
  });
  removal::Command4_Click(app());
  probe.Stop();

  EXPECT_EQ(accepted, std::vector<bool>(5, false));
  EXPECT_EQ(backend_.MessageBoxes().size(), 1u) << "only the question";
  ASSERT_EQ(registry.Count(), 1);
  EXPECT_EQ(registry[0].key_path, "Software");
  EXPECT_FALSE(registry[0].checked);
  model::RowView<model::ThreatRow> threats(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  ASSERT_EQ(threats.Count(), 2);
  EXPECT_EQ(threats[1].name, "Greedy Key");
  EXPECT_FALSE(threats[1].checked);
  EXPECT_TRUE(window().lvwRegistryToBeDeleted.Enabled() && window().Command4.Enabled())
      << "given back after the run";
}

TEST_F(RemovalSessionTest, WhenTheQuarantineFolderCannotBeMadeNothingIsRemoved) {
  PlantFindings();
  // A file stands where the folder would go.
  temp_.WriteFile(Quarantine(), "in the way");
  SaveSetting("lblDefRemoved", "5");
  ExpectDeleteQuestion(services::vbYes);
  backend_.ExpectMsgBox(services::vbOK, std::string(removal::kQuarantineFolderFailedMessage));

  removal::Command4_Click(app());

  ASSERT_EQ(backend_.MessageBoxes().size(), 2u);
  EXPECT_EQ(backend_.MessageBoxes()[1].prompt,
            "The quarantine folder could not be created:\r\n\r\n"
            "C:\\Program Files\\Hearthguard\\quarantine\r\n\r\nNothing was removed.");
  EXPECT_EQ(backend_.MessageBoxes()[1].style, services::vbExclamation);
  EXPECT_TRUE(Exists(kToolbarDll));
  EXPECT_TRUE(Exists(kToolbarFolder));
  EXPECT_TRUE(Exists(kCookie));
  EXPECT_TRUE(RunValueExists());
  EXPECT_EQ(window().lvwFilesToBeDeleted.Count(), 3);
  EXPECT_TRUE(window().lvwFilesToBeDeleted.Item(0).checked);
  EXPECT_EQ(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Count(), 3);
  EXPECT_TRUE(RestoreCalls().empty());
  EXPECT_EQ(Setting("lblDefRemoved"), "5");
  EXPECT_FALSE(app().scan.bRemovalRunning);
  EXPECT_FALSE(window().pgbDeleteSpywaresFound.Visible());
}

TEST_F(RemovalSessionTest, TheTotalCountsOnlyWhatWasActuallyRemoved) {
  PlantFindings();
  // Checked, but refused (inside the program folder) or already gone: neither counts.
  const std::string own_file = machine_->profile().program_folder + "\\ENoSignature.txt";
  temp_.WriteFile(own_file, "");
  model::RowView<model::FileTargetRow> files(window().lvwFilesToBeDeleted);
  files.Add({own_file, "Acme SearchBar", true});
  files.Add({"C:\\never there.dat", "Acme SearchBar", true});
  SaveSetting("lblDefRemoved", "1,000");  // not a whole number: left as it is

  removal::lblRemove_Click(app());
  EXPECT_EQ(Setting("lblDefRemoved"), "1,000");
  EXPECT_TRUE(Exists(own_file));
  EXPECT_FALSE(Exists(kToolbarDll));

  // A second run over what is left removes nothing and adds nothing.
  SaveSetting("lblDefRemoved", "12");
  removal::lblRemove_Click(app());
  EXPECT_EQ(Setting("lblDefRemoved"), "12");
}

TEST_F(RemovalSessionTest, ARestorePointLeftOpenDoesNotStopTheRemoval) {
  PlantFindings();
  app().system.lngRestoreSequence = 77;
  removal::lblRemove_Click(app());
  EXPECT_FALSE(Exists(kToolbarDll));
  EXPECT_TRUE(RestoreCalls().empty()) << "neither begun nor ended: it is not this run's";
  EXPECT_EQ(app().system.lngRestoreSequence, 77);
}

}  // namespace
