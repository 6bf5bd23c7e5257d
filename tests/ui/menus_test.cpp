// The main window's menus, browser button and close label: what each item does, the two
// Quarantine items with and without their files, the Settings items' tabs and the help launcher.

#include "ui/main/menus.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "menus_fixture.h"
#include "services/machine_settings.h"
#include "services/prompts.h"

namespace {

using Fixture = hg_test::MenusFixture;

const std::string kProgramFolder = "C:\\Program Files\\Hearthguard";

void PlantExclusions(hg_test::TempMachine& temp) {
  temp.WriteFile(kProgramFolder + "\\ENoSignature.txt", "C:\\kept.exe\r\n");
}
void PlantHelp(hg_test::TempMachine& temp) {
  temp.WriteFile(kProgramFolder + "\\Help.chm", "help");
}

// Every effect a menu item can have, in one line.
std::string Effects(Fixture& f) {
  std::vector<std::string> seen;
  model::App& app = f.app();
  const forms::Form* windows[] = {&app.frmAbout.Peek(),
                                  &app.frmHomePageChangedAlert.Peek(),
                                  &app.frmSignatureUpdated.Peek(),
                                  &app.frmSpywareFoundAlert.Peek(),
                                  &app.frmMenuPopUp.Peek(),
                                  &app.frmWebsite.Peek(),
                                  &app.Form8.Peek()};
  for (const forms::Form* window : windows) {
    if (window->Loaded())
      seen.push_back(window->name() + (window->Visible() ? "" : " hidden"));
  }
  if (app.runtime.Ended())
    seen.push_back("ended");
  else if (!f.main().Visible())
    seen.push_back("main hidden");
  for (const auto& [window, tip] : f.tray.tips)
    seen.push_back("icon " + tip);
  for (const std::string& path : f.Opened())
    seen.push_back("open " + path);
  for (const forms::ShownMessageBox& box : f.h.backend.MessageBoxes())
    seen.push_back("box " + box.prompt + " | " + box.title);
  std::string line;
  for (const std::string& effect : seen)
    line += (line.empty() ? "" : "; ") + effect;
  return line;
}

struct Case {
  const char* item;
  std::function<void(hg_test::TempMachine&)> prepare;
  std::function<void(model::FrmMain&)> choose;
  std::string effects;
};

std::function<void(model::FrmMain&)> Click(
    forms::ControlArray<forms::MenuItem> model::FrmMain::*menu, int index) {
  return [menu, index](model::FrmMain& main) { EXPECT_TRUE((main.*menu)(index).UserClick()); };
}
// Items the user cannot reach (hidden ones) run their handler as code would.
std::function<void(model::FrmMain&)> RunHandler(
    forms::ControlArray<forms::MenuItem> model::FrmMain::*menu, int index) {
  return [menu, index](model::FrmMain& main) { (main.*menu)(index).on_click(); };
}

TEST(Menus, EachItemDoesWhatItSays) {
  using M = model::FrmMain;
  const std::string quarantine = kProgramFolder + "\\quarantine";
  const Case cases[] = {
      {"Scan Now", {}, Click(&M::mnuFileItem, 0), ""},
      {"Scan Results (hidden)", {}, RunHandler(&M::mnuFileItem, 1), ""},
      {"Run Live Update", {}, Click(&M::mnuFileItem, 4), "frmSignatureUpdated"},
      {"Minimize to Tray",
       {},
       Click(&M::mnuFileItem, 6),
       "frmMenuPopUp; main hidden; icon Hearthguard"},
      {"Exit", {}, Click(&M::mnuFileItem, 8), "ended"},
      {"View Quarantine", {}, Click(&M::mnuQuarItem, 0), "open " + quarantine},
      {"View Exclusions, none yet",
       {},
       Click(&M::mnuQuarItem, 1),
       "box No exclusion file exists yet. | No Exclusion File"},
      {"View Exclusions", PlantExclusions, Click(&M::mnuQuarItem, 1),
       "open " + kProgramFolder + "\\ENoSignature.txt"},
      {"View Help, no help file", {}, Click(&M::mnuHelpItem, 0), ""},
      {"View Help", PlantHelp, Click(&M::mnuHelpItem, 0), "open " + kProgramFolder + "\\Help.chm"},
      {"About", {}, Click(&M::mnuAboutItem, 0), "frmAbout"},
      {"Show Homepage Changed", {}, RunHandler(&M::mnuDebugItem, 0), "frmHomePageChangedAlert"},
      {"Show SignatureUpdated", {}, RunHandler(&M::mnuDebugItem, 1), "frmSignatureUpdated"},
      {"Show SpywareFound", {}, RunHandler(&M::mnuDebugItem, 2), "frmSpywareFoundAlert"},
      {"Visit", {}, [](M& main) { EXPECT_TRUE(main.cmdWebsite.UserClick()); }, "frmWebsite"},
      {"X", {}, [](M& main) { EXPECT_TRUE(main.lblHide.UserClick()); }, "ended"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    Fixture f(c.prepare);
    if (c.effects.find("box ") != std::string::npos)
      f.h.backend.ExpectMsgBox(services::vbOK);
    c.choose(f.main());
    EXPECT_EQ(Effects(f), c.effects);
  }
}

TEST(Menus, ViewQuarantineMakesTheFolderAndTheHelpFileIsOpenedEachTime) {
  Fixture f(PlantHelp);
  ASSERT_TRUE(f.main().mnuQuarItem(0).UserClick());
  EXPECT_TRUE(f.h.machine().files().FolderExists(kProgramFolder + "\\quarantine"));
  ASSERT_TRUE(f.main().mnuHelpItem(0).UserClick());
  ASSERT_TRUE(f.main().mnuHelpItem(0).UserClick());
  EXPECT_EQ(f.Opened().size(), 3u);
  EXPECT_FALSE(f.app().Form8.Loaded());
  EXPECT_EQ(services::GetSettingHKLM(f.app().system, "Hearthguard", "Settings", "showHelp", "none"),
            "0");
}

TEST(Menus, WithoutAHelpFileNothingIsSaved) {
  Fixture f;
  ASSERT_TRUE(f.main().mnuHelpItem(0).UserClick());
  EXPECT_EQ(services::GetSettingHKLM(f.app().system, "Hearthguard", "Settings", "showHelp", "none"),
            "none");
}

// Item i selects tab i + 1, counted from 1, whatever was selected before.
TEST(Menus, SettingsItemsSelectTheirTab) {
  Fixture f;
  for (int index : {3, 0, 2, 1}) {
    ASSERT_TRUE(f.main().mnuSettingsItem(index).UserClick());
    EXPECT_EQ(f.main().TabStrip1.SelectedIndex(), index);
  }
}

TEST(Menus, TheCloseLabelIsItalicUnderTheMouseUntilTheMouseLeavesIt) {
  Fixture f;
  ASSERT_TRUE(f.main().lblHide.UserMouseMove({}));
  EXPECT_TRUE(f.main().lblHide.GetFont().italic);
  ASSERT_TRUE(f.main().UserMouseMove({.x = 7695}));
  EXPECT_FALSE(f.main().lblHide.GetFont().italic);
  EXPECT_EQ(f.app().windows.strWebsiteMode, "");
}

}  // namespace
