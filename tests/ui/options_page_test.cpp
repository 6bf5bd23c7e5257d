// The options page: what loading leaves in the store, what each handler saves and switches,
// the send-data question and the Run value.

#include "ui/main/options_page.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <string>

#include "machine/machine.h"
#include "machine/text.h"
#include "model/timer_group.h"
#include "services/prompts.h"
#include "services/registry_related.h"
#include "support/app_fixture.h"
#include "ui/main/run_at_startup.h"
#include "ui/main/scheduler.h"

namespace {

using Store = std::map<std::string, std::string>;

class OptionsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::InstallOptionsPage(h.app());
    ui::InstallScheduler(h.app());
    w().Show();
    w().frmOptions.SetVisible(true);
  }

  model::FrmMain& w() { return h.main(); }

  // Every value of the options section, by key.
  Store OptionsSection() {
    machine::Registry& registry = h.machine().registry();
    const std::string path = std::string(services::kSettingsStoreKey) + "\\" +
                             h.app().SettingsApplication() + "\\" +
                             std::string(model::kOptionsSection);
    machine::RegHandle key = 0;
    Store values;
    if (registry.OpenKey(machine::kHkeyCurrentUser, path, key) != machine::kRegSuccess)
      return values;
    std::string name, data;
    uint32_t type = 0;
    for (uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == machine::kRegSuccess; ++i)
      values[name] = machine::CutAtNul(data);
    registry.CloseKey(key);
    return values;
  }

  std::optional<std::string> RunValue() {
    std::string text;
    if (!services::QueryValue(h.app().system, machine::kHkeyLocalMachine, ui::kRunKey,
                              ui::RunValueName(h.app()), text))
      return std::nullopt;
    return text;
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

  for (forms::CheckBox* ticked :
       {&w().chkHomePage, &w().chkAutoProtect, &w().chkMakeLog, &w().chkSweepMemory,
        &w().chkScanRegistry, &w().chkScanCookies, &w().chkSendData, &w().chkAutomaticUpdate})
    EXPECT_EQ(ticked->Value(), forms::kChecked) << ticked->name();
  EXPECT_EQ(w().chkRunAtStartup.Value(), forms::kUnchecked);
  EXPECT_EQ(w().chkAutomaticScanYesOrNo.Value(), forms::kUnchecked);
  EXPECT_TRUE(w().optScanOnlyKnownSoftwares.Value());
  EXPECT_FALSE(w().lvwHardDrives.Visible());
  EXPECT_FALSE(w().cmbDays.Enabled());
  EXPECT_FALSE(w().dtpScheduleDate.Enabled());
  EXPECT_FALSE(w().dtpScheduleTime.Enabled());
  EXPECT_FALSE(w().tmrScheduler.Enabled());
  EXPECT_EQ(w().lblLastUpdate.Caption(), "Signatures Last Updated On 3/16/2006 12:00:00 AM PST");
  EXPECT_FALSE(RunValue());
}

// A change by code runs the control's handler, as a change by the user does.
struct HandlerCase {
  const char* name;
  std::function<void(model::FrmMain&)> change;
  Store saved;
  // What the handler switches at once, read after the change; nullptr for nothing.
  std::function<bool(model::FrmMain&)> switched;
  bool switched_to = false;
};

std::function<void(model::FrmMain&)> Untick(forms::CheckBox model::FrmMain::*box) {
  return [box](model::FrmMain& w) { (w.*box).SetValue(forms::kUnchecked); };
}
std::function<void(model::FrmMain&)> Select(forms::OptionButton model::FrmMain::*option) {
  return [option](model::FrmMain& w) { (w.*option).SetValue(true); };
}

using M = model::FrmMain;

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param_info) {
  std::string name = param_info.param.name;
  for (char& ch : name)
    ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name;
}

const HandlerCase kHandlerCases[] = {
    {"make log", Untick(&M::chkMakeLog), {{"chkMakeLog", "0"}}, nullptr, false},
    {"cookies", Untick(&M::chkScanCookies), {{"chkScanCookies", "0"}}, nullptr, false},
    {"registry", Untick(&M::chkScanRegistry), {{"chkScanRegistry", "0"}}, nullptr, false},
    {"memory sweep", Untick(&M::chkSweepMemory), {{"chkSweepMemory", "0"}}, nullptr, false},
    // Automatic update takes effect at the next start: its timer stays as it was.
    {"automatic update",
     Untick(&M::chkAutomaticUpdate),
     {{"chkAutomaticUpdate", "0"}},
     [](M& w) { return w.timUpdate.Enabled(); },
     false},
    {"auto-protect box",
     Untick(&M::chkAutoProtect),
     {{"optMemorySheildOn", "False"}, {"optMemorySheildOff", "True"}},
     [](M& w) { return w.tmrMemoryInspected.Enabled(); },
     false},
    {"home page box",
     Untick(&M::chkHomePage),
     {{"optIEHomePageSheildOn", "False"}, {"optIEHomePageSheildOff", "True"}},
     [](M& w) {
       return w.tmrCheckHomePage.Enabled() || w.optAlwaysnotifybeforerestoring.Enabled() ||
              w.optRestoredefaultwithoutnotification.Enabled();
     },
     false},
    {"home page off",
     Select(&M::optIEHomePageSheildOff),
     {{"optIEHomePageSheildOn", "False"}, {"optIEHomePageSheildOff", "True"}},
     [](M& w) { return w.tmrCheckHomePage.Enabled(); },
     false},
    {"memory off",
     Select(&M::optMemorySheildOff),
     {{"optMemorySheildOn", "False"}, {"optMemorySheildOff", "True"}},
     [](M& w) { return w.tmrMemoryInspected.Enabled(); },
     false},
    {"silent restore",
     Select(&M::optRestoredefaultwithoutnotification),
     {{"optAlwaysnotifybeforerestoring", "False"},
      {"optRestoredefaultwithoutnotification", "True"}},
     nullptr,
     false},
    {"complete scan",
     Select(&M::optScanAllSelectedHardDrive),
     {{"optScanAllSelectedHardDrive", "True"}, {"optScanOnlyKnownSoftwares", "False"}},
     [](M& w) { return w.lvwHardDrives.Visible(); },
     true},
    {"scheduling follows its box before Apply",
     [](M& w) { w.chkAutomaticScanYesOrNo.SetValue(forms::kChecked); },
     {{"chkAutomaticScanYesOrNo", "(none)"}},
     [](M& w) { return w.tmrScheduler.Enabled() && w.cmbDays.Enabled(); },
     true},
};

class OptionHandlerTest : public OptionsPageTest,
                          public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(OptionHandlerTest, SavesItsKeysAndSwitchesItsWorkAtOnce) {
  const HandlerCase& c = GetParam();
  ui::LoadOptionSettings(h.app());
  model::ApplyTimerSettings(h.app(), true);
  c.change(w());
  for (const auto& [key, value] : c.saved) {
    EXPECT_EQ(services::ReadSetting(h.app().system, h.app().SettingsApplication(),
                                    model::kOptionsSection, key, "(none)"),
              value)
        << key;
  }
  if (c.switched) {
    EXPECT_EQ(c.switched(w()), c.switched_to);
  }
}

INSTANTIATE_TEST_SUITE_P(Options, OptionHandlerTest, ::testing::ValuesIn(kHandlerCases),
                         CaseName<HandlerCase>);

struct SendDataCase {
  const char* name;
  // How the user toggles the box: the mouse (press, click, release) or the keyboard (the space
  // bar clicks a focused check box).
  bool by_mouse;
  int start;
  // The answer to the question; 0 when none may be asked.
  int answer;
  int box_after;
  const char* stored;
};

class SendDataTest : public OptionsPageTest, public ::testing::WithParamInterface<SendDataCase> {};

TEST_P(SendDataTest, TheChoiceIsAskedAndStoredHoweverTheBoxIsToggled) {
  const SendDataCase& c = GetParam();
  h.Save(model::kOptionsSection, "chkSendData", std::to_string(c.start));
  ui::LoadOptionSettings(h.app());
  // Loading sets the box without asking and without writing it back.
  EXPECT_TRUE(h.backend.MessageBoxes().empty());
  ASSERT_EQ(w().chkSendData.Value(), c.start);

  if (c.answer)
    h.backend.ExpectMsgBox(c.answer, "Do you really want to turn off anonymous data collection?");
  forms::CheckBox& box = w().chkSendData;
  if (c.by_mouse) {
    const forms::MouseEvent left{forms::kLeftButton, 0, 60, 60};
    EXPECT_TRUE(box.UserMouseDown(left));
    EXPECT_TRUE(box.UserClick());
    EXPECT_TRUE(box.UserMouseUp(left));
  } else {
    EXPECT_TRUE(box.UserClick());
  }

  EXPECT_TRUE(h.backend.PromptsUsedUp());
  EXPECT_EQ(h.backend.MessageBoxes().size(), c.answer ? 1u : 0u);
  if (c.answer) {
    const forms::ShownMessageBox& shown = h.backend.MessageBoxes().front();
    EXPECT_EQ(shown.title, ui::kSendDataQuestionTitle);
    EXPECT_EQ(shown.prompt, ui::kSendDataQuestion);
    EXPECT_EQ(shown.style, services::vbYesNo | services::vbQuestion);
  }
  EXPECT_EQ(box.Value(), c.box_after);
  EXPECT_EQ(OptionsSection()["chkSendData"], c.stored);
}

const SendDataCase kSendDataCases[] = {
    {"MouseUntickYes", true, 1, services::vbYes, 0, "0"},
    {"MouseUntickNo", true, 1, services::vbNo, 1, "1"},
    {"MouseTick", true, 0, 0, 1, "1"},
    {"KeyboardUntickYes", false, 1, services::vbYes, 0, "0"},
    {"KeyboardUntickNo", false, 1, services::vbNo, 1, "1"},
    {"KeyboardTick", false, 0, 0, 1, "1"},
};

INSTANTIATE_TEST_SUITE_P(Options, SendDataTest, ::testing::ValuesIn(kSendDataCases),
                         CaseName<SendDataCase>);

TEST_F(OptionsPageTest, RunAtStartupWritesTheQuotedPathAndUntickingRemovesIt) {
  const std::string expected = "\"C:\\Program Files\\Hearthguard\\hearthguard\"";
  EXPECT_EQ(ui::RunValueName(h.app()), "hearthguard");

  w().chkRunAtStartup.SetValue(forms::kChecked);
  EXPECT_EQ(RunValue(), expected);
  EXPECT_EQ(OptionsSection()["chkRunAtStartup"], "1");

  w().chkRunAtStartup.SetValue(forms::kUnchecked);
  EXPECT_FALSE(RunValue());
  EXPECT_EQ(OptionsSection()["chkRunAtStartup"], "0");

  // Every start with the option on writes the value again.
  h.Save(model::kOptionsSection, "chkRunAtStartup", "1");
  ui::LoadOptionSettings(h.app());
  EXPECT_EQ(RunValue(), expected);
}

}  // namespace
