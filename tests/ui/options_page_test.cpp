// The options page: what loading leaves in the store, what each handler saves and switches, and
// the Run value. The send-data question is tested on screen (tests/view).

#include "ui/main/options_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "machine/machine.h"
#include "machine/text.h"
#include "model/timer_group.h"
#include "services/registry_related.h"
#include "support/app_fixture.h"
#include "ui/main/run_at_startup.h"
#include "ui/main/scheduler.h"

namespace {

using Store = std::map<std::string, std::string>;
using M = model::FrmMain;

class OptionsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::InstallOptionsPage(h.app());
    ui::InstallScheduler(h.app());
    h.main().Load();
  }

  // Every value of the options section, by key.
  Store OptionsSection() {
    machine::Registry& registry = h.machine().registry();
    machine::RegHandle key = 0;
    Store values;
    if (registry.OpenKey(machine::kHkeyCurrentUser,
                         std::string(services::kSettingsStoreKey) + "\\Hearthguard\\" +
                             std::string(model::kOptionsSection),
                         key) != machine::kRegSuccess)
      return values;
    std::string name, data;
    uint32_t type = 0;
    for (uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == machine::kRegSuccess; ++i)
      values[name] = machine::CutAtNul(data);
    registry.CloseKey(key);
    return values;
  }

  std::string RunValue() {
    std::string text;
    return services::QueryValue(h.app().system, machine::kHkeyLocalMachine, ui::kRunKey,
                                "hearthguard", text)
               ? text
               : "(none)";
  }

  hg_test::AppFixture h;
};

TEST_F(OptionsPageTest, AnEmptyStoreLoadsTheDefaultsAndWritesBackExactlyTheseKeys) {
  ui::LoadOptionSettings(h.app());
  const Store expected = {
      {"SHOW", "True"},
      {"optIEHomePageSheildOn", "True"},
      {"optIEHomePageSheildOff", "False"},
      {"chkMakeLog", "1"},
      {"optAlwaysnotifybeforerestoring", "True"},
      {"optRestoredefaultwithoutnotification", "False"},
      {"optMemorySheildOn", "True"},
      {"optMemorySheildOff", "False"},
      {"chkSweepMemory", "1"},
      {"chkScanRegistry", "1"},
      {"optScanAllSelectedHardDrive", "False"},
      {"optScanOnlyKnownSoftwares", "True"},
      {"chkScanCookies", "1"},
      {"chkAutomaticUpdate", "1"},
  };
  EXPECT_EQ(OptionsSection(), expected);

  M& w = h.main();
  for (forms::CheckBox* ticked :
       {&w.chkHomePage, &w.chkAutoProtect, &w.chkMakeLog, &w.chkSweepMemory, &w.chkScanRegistry,
        &w.chkScanCookies, &w.chkSendData, &w.chkAutomaticUpdate})
    EXPECT_EQ(ticked->Value(), forms::kChecked) << ticked->name();
  EXPECT_EQ(w.chkRunAtStartup.Value(), forms::kUnchecked);
  EXPECT_EQ(w.chkAutomaticScanYesOrNo.Value(), forms::kUnchecked);
  EXPECT_TRUE(w.optScanOnlyKnownSoftwares.Value());
  EXPECT_FALSE(w.lvwHardDrives.Visible());
  EXPECT_FALSE(w.cmbDays.Enabled() || w.dtpScheduleDate.Enabled() || w.dtpScheduleTime.Enabled());
  EXPECT_FALSE(w.tmrScheduler.Enabled());
  EXPECT_EQ(w.lblLastUpdate.Caption(), "Signatures Last Updated On 3/16/2006 12:00:00 AM PST");
}

// A change by code runs the control's handler, as a change by the user does.
struct HandlerCase {
  const char* name;
  std::function<void(M&)> change;
  Store saved;
  // What the handler switches at once, read after the change.
  std::function<bool(M&)> switched;
  bool switched_to;
};

std::function<void(M&)> Untick(forms::CheckBox M::*box) {
  return [box](M& w) { (w.*box).SetValue(forms::kUnchecked); };
}
std::function<void(M&)> Select(forms::OptionButton M::*option) {
  return [option](M& w) { (w.*option).SetValue(true); };
}
bool Nothing(M&) {
  return false;
}
bool HomePageShield(M& w) {
  return w.tmrCheckHomePage.Enabled() && w.optAlwaysnotifybeforerestoring.Enabled() &&
         w.optRestoredefaultwithoutnotification.Enabled();
}

// clang-format off
const HandlerCase kHandlerCases[] = {
    {"MakeLog", Untick(&M::chkMakeLog), {{"chkMakeLog", "0"}}, Nothing, false},
    {"Cookies", Untick(&M::chkScanCookies), {{"chkScanCookies", "0"}}, Nothing, false},
    {"Registry", Untick(&M::chkScanRegistry), {{"chkScanRegistry", "0"}}, Nothing, false},
    {"Memory", Untick(&M::chkSweepMemory), {{"chkSweepMemory", "0"}}, Nothing, false},
    // Automatic update takes effect at the next start only.
    {"AutomaticUpdate", Untick(&M::chkAutomaticUpdate), {{"chkAutomaticUpdate", "0"}},
     [](M& w) { return w.timUpdate.Enabled(); }, false},
    {"AutoProtectBox", Untick(&M::chkAutoProtect),
     {{"optMemorySheildOn", "False"}, {"optMemorySheildOff", "True"}},
     [](M& w) { return w.tmrMemoryInspected.Enabled(); }, false},
    {"HomePageBox", Untick(&M::chkHomePage),
     {{"optIEHomePageSheildOn", "False"}, {"optIEHomePageSheildOff", "True"}}, HomePageShield, false},
    {"HomePageOff", Select(&M::optIEHomePageSheildOff),
     {{"optIEHomePageSheildOn", "False"}, {"optIEHomePageSheildOff", "True"}}, HomePageShield, false},
    {"MemoryOff", Select(&M::optMemorySheildOff),
     {{"optMemorySheildOn", "False"}, {"optMemorySheildOff", "True"}},
     [](M& w) { return w.tmrMemoryInspected.Enabled(); }, false},
    {"SilentRestore", Select(&M::optRestoredefaultwithoutnotification),
     {{"optAlwaysnotifybeforerestoring", "False"}, {"optRestoredefaultwithoutnotification", "True"}},
     Nothing, false},
    {"CompleteScan", Select(&M::optScanAllSelectedHardDrive),
     {{"optScanAllSelectedHardDrive", "True"}, {"optScanOnlyKnownSoftwares", "False"}},
     [](M& w) { return w.lvwHardDrives.Visible(); }, true},
    // Scheduling saves nothing before Apply, but its timer follows the box at once.
    {"Scheduling", [](M& w) { w.chkAutomaticScanYesOrNo.SetValue(forms::kChecked); },
     {{"chkAutomaticScanYesOrNo", "(none)"}},
     [](M& w) { return w.tmrScheduler.Enabled() && w.cmbDays.Enabled(); }, true},
};
// clang-format on

class OptionHandlerTest : public OptionsPageTest,
                          public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(OptionHandlerTest, SavesItsKeysAndSwitchesItsWorkAtOnce) {
  const HandlerCase& c = GetParam();
  ui::LoadOptionSettings(h.app());
  model::ApplyTimerSettings(h.app(), true);
  c.change(h.main());
  Store saved;
  for (const auto& [key, value] : c.saved)
    saved[key] = OptionsSection().contains(key) ? OptionsSection()[key] : "(none)";
  EXPECT_EQ(saved, c.saved);
  EXPECT_EQ(c.switched(h.main()), c.switched_to);
}

INSTANTIATE_TEST_SUITE_P(Options, OptionHandlerTest, ::testing::ValuesIn(kHandlerCases),
                         [](const ::testing::TestParamInfo<HandlerCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

TEST_F(OptionsPageTest, RunAtStartupWritesTheQuotedPathAndUntickingRemovesIt) {
  const std::string path = "\"C:\\Program Files\\Hearthguard\\hearthguard\"";
  h.main().chkRunAtStartup.SetValue(forms::kChecked);
  EXPECT_EQ(RunValue(), path);
  h.main().chkRunAtStartup.SetValue(forms::kUnchecked);
  EXPECT_EQ(RunValue(), "(none)");
  EXPECT_EQ(OptionsSection()["chkRunAtStartup"], "0");

  // Every start with the option on writes the value again.
  h.Save(model::kOptionsSection, "chkRunAtStartup", "1");
  ui::LoadOptionSettings(h.app());
  EXPECT_EQ(RunValue(), path);
}

}  // namespace
