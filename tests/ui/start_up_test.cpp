// The program's start: the splash window's count, then the main window's load.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "services/machine_settings.h"
#include "services/prompts.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "ui/main/form_load.h"
#include "ui/main/main_window_wiring.h"
#include "ui/windows/splash_about.h"

namespace {

using services::ReadSetting;

// A file that tells a size of a tebibyte and costs no disk.
void PlantHugeFile(hg_test::AppFixture& h, const std::string& name) {
  h.WriteProgramFile(name, "");
  const std::filesystem::path path =
      h.temp.host(h.machine().profile().program_folder + "\\" + name);
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(uint64_t{1} << 40)), 0);
}

void WriteProgramFile(hg_test::TempMachine& temp, std::string_view name, std::string_view content) {
  temp.WriteFile(temp.profile().program_folder + "\\" + std::string(name), content);
}

std::string Lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += services::EncodeText("bad" + std::to_string(i) + ".exe=Threat|[windir]") + "\r\n";
  return text;
}

// One start of the program on a machine that outlives it: the machine opened on `profile`, the
// headless runtime, and the application with the splash window's and the start-up's handlers.
// The help launcher's own load belongs elsewhere: here it only counts.
class Session {
 public:
  explicit Session(const machine::Profile& profile) {
    std::string error;
    machine_ = std::make_unique<machine::Machine>(profile, hg_test::TestVersionInfo(),
                                                  machine::MachineParts{}, error);
    runtime_ = std::make_unique<forms::Runtime>(backend, "");
    app_ = model::MakeApp(*machine_, *runtime_);
    ui::InstallSplashAbout(*app_);
    ui::InstallFormLoad(*app_);
    app_->Form8.Peek().on_load = [this] { ++help_loads; };
  }
  ~Session() {
    app_.reset();
    runtime_.reset();
    machine_.reset();
  }

  model::App& app() { return *app_; }
  model::FrmMain& main() { return app_->frmMain; }
  forms::Runtime& runtime() { return *runtime_; }

  // Starts with the splash window and lets its count run out.
  void Start() {
    ui::StartWithSplash(*app_);
    backend.AdvanceMs(ui::kSplashCountEnd);
  }
  std::string User(std::string_view section, std::string_view key,
                   std::string_view application = "Hearthguard") {
    return ReadSetting(app_->system, application, section, key, "absent");
  }
  void MarkStartedBefore() {
    services::SaveSettingHKLM(app_->system, "Hearthguard", "Settings", "FirstTime", "Yes");
    services::WriteSetting(app_->system, "Hearthguard", "Settings", "showHelp", "0");
  }

  forms::HeadlessBackend backend;
  int help_loads = 0;

 private:
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

TEST(StartUp, HugeFilesInTheProgramFolderAreLeftUnreadAndTheWindowComesUp) {
  hg_test::AppFixture h;
  const std::string line = services::EncodeText("bad.exe=Threat|[windir]") + "\r\n";
  h.WriteProgramFile("FileDefinition.dat", line + line);
  h.WriteProgramFile("RegistryDefinition.dat", line);
  h.WriteProgramFile("DirectoryDefinition.dat", line);
  for (const char* name : {"BlockedCookies.dat", "ExeDefinition.dat", "ENoSignature.txt"})
    PlantHugeFile(h, name);
  h.backend.ExpectMsgBox(services::vbNo, "first time");

  ASSERT_NO_THROW(ui::StartMainWindow(h.app()));
  EXPECT_TRUE(h.main().Visible());
  EXPECT_EQ(h.app().definitions.lngCookieDefinitionCount, 0);
  EXPECT_EQ(h.app().definitions.lngExeDefinitionCount, 0);
  EXPECT_EQ(h.main().lblDefCount.Caption(), "4");
  EXPECT_EQ(h.app().definitions.strIgnoreList, "");
  EXPECT_TRUE(h.backend.Failures().empty());
}

TEST(Splash, LoadsTheMainWindowOnTheSeventyFifthTickAndStaysLoadedHidden) {
  hg_test::TempMachine temp;
  Session s(temp.profile());
  s.MarkStartedBefore();
  model::FrmSplash& splash = s.app().frmSplash.Peek();

  ui::StartWithSplash(s.app());
  EXPECT_TRUE(splash.Visible());
  EXPECT_EQ(s.app().branding.strProductName, "Hearthguard");
  EXPECT_EQ(s.app().skin.objSkin, &splash.skn);
  EXPECT_TRUE(splash.skn.IsSkinned(splash.hWnd()));
  EXPECT_EQ(s.app().skin.objSkinHelper.skin(), &splash.skn);
  EXPECT_EQ(s.app().skin.objSkinHelper.start_calls(), 1);

  s.backend.AdvanceMs(148);
  EXPECT_EQ(splash.intStartupCount, 148);
  EXPECT_FALSE(s.main().Loaded());
  s.backend.AdvanceMs(2);
  EXPECT_TRUE(s.main().Loaded());
  EXPECT_TRUE(s.main().Visible());
  EXPECT_TRUE(splash.Loaded());
  EXPECT_FALSE(splash.Visible());
  s.backend.AdvanceMs(1000);
  EXPECT_EQ(splash.intStartupCount, 150);
  EXPECT_FALSE(splash.Visible());
}

// A platform whose timer ticks far slower than asked: the count decides, not the clock.
TEST(Splash, EachTickCountsOnceHoweverLateItComes) {
  hg_test::TempMachine temp;
  Session s(temp.profile());
  s.MarkStartedBefore();
  ui::StartWithSplash(s.app());
  for (int tick = 1; tick <= 74; ++tick) {
    s.backend.PassMs(40);
    s.runtime().Yield();
  }
  EXPECT_FALSE(s.main().Loaded());
  s.backend.PassMs(40);
  s.runtime().Yield();
  EXPECT_TRUE(s.main().Visible());
}

// Also what every start writes and shows.
TEST(StartUp, HelpOncePerUserAndLiveUpdateOfferedOncePerMachine) {
  hg_test::TempMachine temp;
  {
    Session s(temp.profile());
    std::string first_time_when_asked;
    bool splash_up_when_asked = false;
    s.backend.ExpectMsgBox(services::vbNo, "", 2);
    s.backend.AtTime(ui::kSplashCountEnd + 1, "look while the question is open", [&] {
      first_time_when_asked =
          services::GetSettingHKLM(s.app().system, "Hearthguard", "Settings", "FirstTime", "");
      splash_up_when_asked = s.app().frmSplash.Peek().Visible() && !s.main().Visible();
    });
    s.Start();

    ASSERT_EQ(s.backend.MessageBoxes().size(), 1u);
    const forms::ShownMessageBox& box = s.backend.MessageBoxes()[0];
    EXPECT_EQ(box.title, "Live Update Now?");
    EXPECT_EQ(box.style, services::vbYesNo);
    EXPECT_EQ(box.prompt,
              "Thank you for using Hearthguard!\r\n\r\nBecause this is the first time you have "
              "used Hearthguard we recommend running Live Update now to download the most recent "
              "adware and spyware definitions.\r\n\r\nWould you like to run Live Update now?");
    EXPECT_EQ(first_time_when_asked, "Yes");
    EXPECT_TRUE(splash_up_when_asked);
    EXPECT_EQ(s.help_loads, 1);
    EXPECT_FALSE(s.app().Form8.Loaded());
    EXPECT_EQ(s.User("Settings", "showHelp"), "0");

    model::FrmMain& main = s.main();
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.Caption(), "Hearthguard by Hearthguard Software");
    EXPECT_EQ(main.frmStatus.Caption(), "Hearthguard Status");
    EXPECT_TRUE(main.frmStatus.Visible());
    EXPECT_EQ(main.Label22.Caption(), "Welcome to Hearthguard");
    EXPECT_EQ(main.cmdWebsite.Caption(), "Visit www.hearthguard.example");
    EXPECT_FALSE(main.shpCircle.Visible());
    EXPECT_TRUE(s.app().skin.objSkin->IsSkinned(main.hWnd()));
    EXPECT_EQ(s.User("Settings", "Product", ui::kStartRecordApplication), "Hearthguard");
    EXPECT_EQ(s.User("Settings", "File", ui::kStartRecordApplication), "hearthguard.exe");
    EXPECT_EQ(s.User("OptionAndSettings", "STATUS"), "RUNNING");
    EXPECT_EQ(s.User("OptionAndSettings", "RESTART"), "False");
    EXPECT_TRUE(s.app().frmHidden.Loaded());
    EXPECT_TRUE(s.app().frmDelete.Loaded() && !s.app().frmDelete.Peek().Visible());
  }
  {
    Session again(temp.profile());
    again.Start();
    EXPECT_TRUE(again.main().Visible());
    EXPECT_EQ(again.help_loads, 0);
    EXPECT_TRUE(again.backend.MessageBoxes().empty());
  }
  machine::Profile second_user = temp.profile();
  second_user.user_hive = temp.root() / "second-user.hive";
  Session other(second_user);
  other.Start();
  EXPECT_EQ(other.help_loads, 1);
  EXPECT_TRUE(other.backend.MessageBoxes().empty());
  EXPECT_TRUE(other.backend.Failures().empty());
}

TEST(StartUp, ASecondCopyEndsBeforeInstallingDefinitionsAndLeavesOnlyTheStartRecord) {
  hg_test::TempMachine temp;
  Session running(temp.profile());
  running.MarkStartedBefore();
  running.Start();
  ASSERT_TRUE(running.main().Visible());

  // The second copy keeps its settings apart, so that what it leaves can be seen.
  machine::Profile same_profile = temp.profile();
  same_profile.user_hive = temp.root() / "second-copy.hive";
  Session second(same_profile);
  WriteProgramFile(temp, "DLFileDefinition.dat", Lines(3));
  second.Start();

  EXPECT_TRUE(second.runtime().Ended());
  EXPECT_FALSE(second.main().Visible());
  EXPECT_TRUE(second.backend.MessageBoxes().empty());
  EXPECT_TRUE(
      std::filesystem::exists(temp.host(temp.profile().program_folder + "\\DLFileDefinition.dat")));
  EXPECT_EQ(second.User("Settings", "File", ui::kStartRecordApplication), "hearthguard.exe");
  for (const char* key : {"STATUS", "RESTART", "chkAutomaticUpdate"})
    EXPECT_EQ(second.User("OptionAndSettings", key), "absent") << key;
  EXPECT_FALSE(running.runtime().Ended());
  EXPECT_TRUE(running.main().Visible());
}

TEST(StartUp, DownloadedDefinitionsAreInstalledBeforeTheyAreCounted) {
  hg_test::TempMachine temp;
  Session s(temp.profile());
  s.MarkStartedBefore();
  WriteProgramFile(temp, "FileDefinition.dat", Lines(1));
  WriteProgramFile(temp, "DLFileDefinition.dat", Lines(3));
  s.Start();
  EXPECT_EQ(s.app().definitions.lngTotalDefinitions, 3);
  EXPECT_EQ(s.main().lblDefCount.Caption(), "3");
}

TEST(StartUp, TemporaryFilesLeftByAStoppedReplacementAreRemoved) {
  hg_test::TempMachine temp;
  Session s(temp.profile());
  s.MarkStartedBefore();
  const std::filesystem::path folder = temp.host(temp.profile().program_folder);
  std::ofstream(folder / ".~hg0123abcd00002a") << "half a file";
  std::ofstream(folder / ".~hg-not-ours") << "kept";
  std::ofstream(temp.root() / "outside") << "outside";
  std::filesystem::create_symlink(temp.root() / "outside", folder / ".~hg0123abcd00002b");
  s.Start();
  EXPECT_FALSE(std::filesystem::exists(folder / ".~hg0123abcd00002a"));
  EXPECT_FALSE(std::filesystem::is_symlink(folder / ".~hg0123abcd00002b"));
  EXPECT_TRUE(std::filesystem::exists(folder / ".~hg-not-ours"));
  EXPECT_TRUE(std::filesystem::exists(temp.root() / "outside"));
}

// A failing statement anywhere in the load, the first steps included, is passed over.
TEST(StartUp, AStepThatFailsIsPassedOverAndTheLoadGoesOn) {
  hg_test::TempMachine temp;
  Session s(temp.profile());
  s.MarkStartedBefore();
  WriteProgramFile(temp, "ENoSignature.txt", "a.exe\r\nb.exe\r\n");
  WriteProgramFile(temp, "FileDefinition.dat", Lines(2));
  model::FrmMain& main = s.main();
  main.on_load = [&s, load = main.on_load] {
    s.backend.AtYield(1, "a failure while the definitions are read",
                      [] { throw std::runtime_error("the disk went away"); });
    load();
  };
  s.Start();
  ASSERT_EQ(s.backend.DeliveredActions().size(), 1u);
  EXPECT_EQ(s.main().lblDefCount.Caption(), "2");
  EXPECT_EQ(s.main().Caption(), "Hearthguard by Hearthguard Software");
  EXPECT_EQ(s.User("OptionAndSettings", "STATUS"), "RUNNING");
  EXPECT_TRUE(s.main().Visible());
}

// Sending the window to the tray is another part's; the start-up goes on after it.
TEST(StartUp, MinimizedYesGoesToTheTrayAndTheStartGoesOn) {
  hg_test::TempMachine temp;
  Session s(temp.profile());
  services::WriteSetting(s.app().system, "Hearthguard", "Settings", "Minimized", "Yes");
  s.backend.ExpectMsgBox(services::vbNo, "first time");
  s.Start();
  EXPECT_EQ(s.User("Settings", "Minimized"), "Yes");
  EXPECT_EQ(s.backend.MessageBoxes().size(), 1u);
  EXPECT_TRUE(s.main().Visible());
}

struct StoredOptions {
  const char* scheduled_scan;
  const char* home_page_shield;
  const char* memory_shield;
  const char* automatic_update;
  bool scheduler, home_page, memory, update;
};

class StartUpOptions : public ::testing::TestWithParam<StoredOptions> {};

TEST_P(StartUpOptions, TimersRunAsTheStoredOptionsSay) {
  const StoredOptions& o = GetParam();
  hg_test::TempMachine temp;
  Session s(temp.profile());
  s.MarkStartedBefore();
  for (const auto& [key, value] : {std::pair{"chkAutomaticScanYesOrNo", o.scheduled_scan},
                                   std::pair{"optIEHomePageSheildOn", o.home_page_shield},
                                   std::pair{"optMemorySheildOn", o.memory_shield},
                                   std::pair{"chkAutomaticUpdate", o.automatic_update}})
    services::WriteSetting(s.app().system, "Hearthguard", "OptionAndSettings", key, value);
  s.Start();
  model::FrmMain& main = s.main();
  EXPECT_EQ(main.tmrScheduler.Enabled(), o.scheduler);
  EXPECT_EQ(main.tmrCheckHomePage.Enabled(), o.home_page);
  EXPECT_EQ(main.tmrMemoryInspected.Enabled(), o.memory);
  EXPECT_EQ(main.timUpdate.Enabled(), o.update);
  EXPECT_FALSE(main.tmrTimeOut.Enabled());
  EXPECT_FALSE(main.tmrScroll.Enabled());
  EXPECT_EQ(main.lngUpdateIdleTicks, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartUpOptions,
    ::testing::Values(StoredOptions{"1", "False", "True", "1", true, false, true, true},
                      StoredOptions{"0", "True", "False", "0", false, true, false, false}));

}  // namespace
