#include <gtest/gtest.h>

#include "test_window.h"

namespace forms_test {
namespace {

using namespace forms;

class MenuWindow : public Form {
 public:
  explicit MenuWindow(Runtime& runtime) : Form(runtime, "FrmMain", FormRole::kMain) {
    mnuFile.SetCaption("File");
    const char* captions[] = {"Scan Now", "-", "Exit"};
    for (int i = 0; i < 3; ++i) {
      mnuFileItem(i).SetContainer(&mnuFile);
      mnuFileItem(i).SetCaption(captions[i]);
    }
    mnuFileItem.SetWiring([this](MenuItem& item) {
      item.on_click = [this, &item] { chosen.push_back(item.index()); };
    });
  }

  MenuItem mnuFile{*this, "mnuFile"};
  ControlArray<MenuItem> mnuFileItem{*this, "mnuFileItem", {0, 1, 2}};
  Browser wbrMain{*this, "wbrMain"};
  std::vector<int> chosen;
};

TEST(MenuTest, ItemsAreReachableOnlyThroughAVisibleEnabledMenu) {
  Headless h;
  MenuWindow w(h.runtime);
  w.Show();

  ASSERT_EQ(w.mnuFile.SubItems().size(), 3u);
  EXPECT_EQ(w.mnuFileItem(2).Parent(), &w.mnuFile);
  EXPECT_TRUE(w.mnuFileItem(1).IsSeparator());

  EXPECT_TRUE(w.mnuFileItem(0).UserClick());
  EXPECT_TRUE(w.mnuFileItem(1).UserClick());  // a separator does nothing
  w.mnuFile.SetVisible(false);
  EXPECT_FALSE(w.mnuFileItem(2).UserClick());
  w.mnuFile.SetVisible(true);
  w.mnuFileItem(2).SetEnabled(false);
  EXPECT_FALSE(w.mnuFileItem(2).UserClick());
  EXPECT_EQ(w.chosen, (std::vector<int>{0}));
}

TEST(BrowserTest, CommandsGoToTheViewAndPageEventsComeBack) {
  Headless h;
  MenuWindow w(h.runtime);
  w.Load();
  std::vector<Browser::Command> commands;
  w.wbrMain.command_sink = [&](Browser&, Browser::Command c) { commands.push_back(c); };
  std::string status;
  w.wbrMain.on_status_text_change = [&](const std::string& text) { status = text; };
  w.wbrMain.on_new_window = [](bool& cancel) { cancel = true; };
  int completed = 0;
  w.wbrMain.on_download_complete = [&] { ++completed; };

  w.wbrMain.Navigate("http://www.hearthguard.example/");
  w.wbrMain.GoBack();
  EXPECT_EQ(commands, (std::vector<Browser::Command>{Browser::Command::kNavigate,
                                                     Browser::Command::kGoBack}));
  EXPECT_EQ(w.wbrMain.LocationUrl(), "http://www.hearthguard.example/");

  w.wbrMain.ViewStatusTextChanged("Done");
  w.wbrMain.ViewDownloadComplete("http://www.hearthguard.example/index.html", "Home");
  EXPECT_EQ(status, "Done");
  EXPECT_EQ(completed, 1);
  EXPECT_EQ(w.wbrMain.LocationName(), "Home");
  EXPECT_TRUE(w.wbrMain.ViewNewWindowRequested());
}

}  // namespace
}  // namespace forms_test
