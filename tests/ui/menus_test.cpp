// The main window's menus, browser button and close label: each item's effects as one line.

#include "ui/main/menus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "menus_fixture.h"
#include "services/machine_settings.h"

namespace {

using Fixture = hg_test::MenusFixture;
using M = model::FrmMain;

const std::string kFolder = "C:\\Program Files\\Hearthguard\\";

// Every effect a menu item can have.
std::string Effects(Fixture& f) {
  model::App& app = f.app();
  std::string line;
  const auto add = [&line](const std::string& effect) {
    line += line.empty() ? effect : "; " + effect;
  };
  const forms::Form* windows[] = {&app.frmAbout.Peek(),
                                  &app.frmHomePageChangedAlert.Peek(),
                                  &app.frmSignatureUpdated.Peek(),
                                  &app.frmSpywareFoundAlert.Peek(),
                                  &app.frmMenuPopUp.Peek(),
                                  &app.frmWebsite.Peek(),
                                  &app.Form8.Peek()};
  for (const forms::Form* window : windows) {
    if (window->Loaded())
      add(window->name());
  }
  if (app.runtime.Ended())
    add("ended");
  else if (!f.main().Visible())
    add("main hidden");
  for (const auto& [window, tip] : f.tray.tips)
    add("icon " + tip);
  for (const auto& path : f.opener ? f.opener->opened() : std::vector<std::filesystem::path>())
    add("open " + f.h.machine().files().ToWindowsPath(path).value_or("?"));
  if (services::GetSettingHKLM(app.system, "Hearthguard", "Settings", "showHelp", "") == "0")
    add("showHelp 0");
  for (const forms::ShownMessageBox& box : f.h.backend.MessageBoxes()) {
    std::string prompt = box.prompt;
    if (const size_t at = prompt.find(f.h.temp.root().string()); at != std::string::npos)
      prompt.replace(at, f.h.temp.root().string().size(), "<temp>");
    add("box " + prompt + " | " + box.title + " | " + std::to_string(box.style));
  }
  return line;
}

std::function<void(M&)> Click(forms::ControlArray<forms::MenuItem> M::*menu, int index) {
  return [=](M& main) { EXPECT_TRUE((main.*menu)(index).UserClick()); };
}
// Hidden items, which the user cannot reach, run their handler as code would.
std::function<void(M&)> Call(forms::ControlArray<forms::MenuItem> M::*menu, int index) {
  return [=](M& main) { (main.*menu)(index).on_click(); };
}
void Plant(hg_test::TempMachine& temp, const std::string& name) {
  temp.WriteFile(kFolder + name, "text");
}

TEST(Menus, EachItemDoesWhatItSays) {
  struct Case {
    const char* item;
    const char* planted;
    std::function<void(M&)> choose;
    std::string effects;
    const char* opener = nullptr;  // the real opener's command; none records
  };
  const Case cases[] = {
      {"Scan Now", nullptr, Click(&M::mnuFileItem, 0), ""},
      {"Scan Results", nullptr, Call(&M::mnuFileItem, 1), ""},
      {"Run Live Update", nullptr, Click(&M::mnuFileItem, 4), "frmSignatureUpdated"},
      {"Minimize to Tray", nullptr, Click(&M::mnuFileItem, 6),
       "frmMenuPopUp; main hidden; icon Hearthguard"},
      {"Exit", nullptr, Click(&M::mnuFileItem, 8), "ended"},
      {"View Quarantine (made)", nullptr, Click(&M::mnuQuarItem, 0),
       "open " + kFolder + "quarantine"},
      {"View Quarantine, the opener fails", nullptr, Click(&M::mnuQuarItem, 0),
       "box The quarantine folder could not be opened on this desktop. You will find it here:\n\n"
       "<temp>/drive_c/Program Files/Hearthguard/quarantine | Hearthguard | 48",
       "false"},
      {"View Exclusions", "ENoSignature.txt", Click(&M::mnuQuarItem, 1),
       "open " + kFolder + "ENoSignature.txt"},
      {"View Exclusions, none yet", nullptr, Click(&M::mnuQuarItem, 1),
       "box No exclusion file exists yet. | No Exclusion File | 0"},
      {"View Help", "Help.chm", Click(&M::mnuHelpItem, 0),
       "open " + kFolder + "Help.chm; showHelp 0"},
      {"View Help, no help file", nullptr, Click(&M::mnuHelpItem, 0), ""},
      {"About", nullptr, Click(&M::mnuAboutItem, 0), "frmAbout"},
      {"Show Homepage Changed", nullptr, Call(&M::mnuDebugItem, 0), "frmHomePageChangedAlert"},
      {"Show SignatureUpdated", nullptr, Call(&M::mnuDebugItem, 1), "frmSignatureUpdated"},
      {"Show SpywareFound", nullptr, Call(&M::mnuDebugItem, 2), "frmSpywareFoundAlert"},
      {"Visit", nullptr, [](M& main) { EXPECT_TRUE(main.cmdWebsite.UserClick()); }, "frmWebsite"},
      {"X", nullptr, [](M& main) { EXPECT_TRUE(main.lblHide.UserClick()); }, "ended"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    Fixture f(
        [&c](hg_test::TempMachine& temp) {
          temp.profile().update_server_url = "http://127.0.0.1:1";  // fails at once
          if (c.planted)
            Plant(temp, c.planted);
        },
        c.opener);
    if (c.effects.starts_with("box"))
      f.h.backend.ExpectMsgBox(services::vbOK);
    c.choose(f.main());
    EXPECT_EQ(Effects(f), c.effects);
  }
}

// Item i selects tab i + 1, counted from 1.
TEST(Menus, SettingsItemsSelectTheirTab) {
  Fixture f;
  for (int index : {3, 0, 2, 1}) {
    ASSERT_TRUE(f.main().mnuSettingsItem(index).UserClick());
    EXPECT_EQ(f.main().TabStrip1.SelectedIndex(), index);
  }
}

}  // namespace
