// The delete-failed window: the clipboard text of "Copy List", hiding instead of unloading, and
// rows that stay for the next removal.

#include "ui/windows/delete_failed.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/result_rows.h"
#include "services/clipboard.h"
#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

class DeleteFailedTest : public ::testing::Test {
 protected:
  DeleteFailedTest() {
    h.app().skin.objSkin = &h.app().frmSplash.Peek().skn;
    ui::InstallDeleteFailed(h.app(), clipboard);
    // Loaded hidden at start-up.
    h.app().frmDelete->Hide();
  }

  model::FrmDelete& Window() { return h.app().frmDelete.Peek(); }
  // What the removal does with a file it could not delete.
  void Leftover(const std::string& path) {
    model::RowView<model::UndeletedFileRow>(Window().lstProblem).Add({.path = path});
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (const forms::ListItem& item : Window().lstProblem.Items())
      rows.push_back(item.text);
    return rows;
  }

  AppFixture h;
  services::RecordingClipboard clipboard;
};

TEST_F(DeleteFailedTest, CopyListPutsEveryPathWithItsLineEnd) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    std::optional<std::string> clipboard;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"two leftovers",
       {"C:\\WINDOWS\\system32\\acmebar.dll", "C:\\Program Files\\FunnyCursor\\funnycursor.exe"},
       "C:\\WINDOWS\\system32\\acmebar.dll\r\nC:\\Program Files\\FunnyCursor\\funnycursor.exe\r\n",
       {"Clear", "SetText"}},
      {"the same path twice",
       {"C:\\a.dll", "C:\\a.dll"},
       "C:\\a.dll\r\nC:\\a.dll\r\n",
       {"Clear", "SetText"}},
      {"an empty list", {}, std::nullopt, {"Clear"}},
  };
  for (const Case& c : cases) {
    services::RecordingClipboard fresh;
    fresh.SetText("older text");
    ui::InstallDeleteFailed(h.app(), fresh);
    Window().lstProblem.Clear();
    for (const std::string& row : c.rows)
      Leftover(row);
    Window().Show();
    ASSERT_TRUE(Window().Command2.UserClick()) << c.what;
    EXPECT_EQ(fresh.text(), c.clipboard) << c.what;
    std::vector<std::string> calls = fresh.calls();
    calls.erase(calls.begin());  // our own "older text"
    EXPECT_EQ(calls, c.calls) << c.what;
    EXPECT_EQ(Rows(), c.rows) << c.what;
  }
}

// Another program holds the clipboard: it keeps what it had, and the list is untouched.
TEST_F(DeleteFailedTest, AClipboardThatCannotBeTakenIsLeftAsItWas) {
  clipboard.SetText("older text");
  clipboard.Refuse(true);
  Leftover("C:\\a.dll");
  Window().Show();
  ASSERT_TRUE(Window().Command2.UserClick());
  EXPECT_EQ(clipboard.text(), "older text");
  EXPECT_EQ(clipboard.calls(), (std::vector<std::string>{"SetText", "Clear"}));
  EXPECT_EQ(Rows(), std::vector<std::string>{"C:\\a.dll"});
}

// "Ok" hides the window; a removal without "Delete" adds its leftovers below the old rows.
TEST_F(DeleteFailedTest, OkHidesAndTheRowsStayForTheNextRemoval) {
  Leftover("C:\\old.dll");
  Window().Show();
  ASSERT_TRUE(Window().Command1.UserClick());
  EXPECT_FALSE(Window().Visible());
  EXPECT_TRUE(h.app().frmDelete.Loaded());

  Leftover("C:\\new.dll");
  Window().Show();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C:\\old.dll", "C:\\new.dll"}));
}

// The close box only hides it; the main window's unload of the other windows goes through.
TEST_F(DeleteFailedTest, TheCloseBoxHidesButCodeUnloads) {
  Leftover("C:\\a.dll");
  Window().Show();
  Window().UserClose();
  EXPECT_TRUE(h.app().frmDelete.Loaded());
  EXPECT_FALSE(Window().Visible());
  EXPECT_EQ(Rows(), std::vector<std::string>{"C:\\a.dll"});

  EXPECT_TRUE(h.app().frmDelete.Unload());
  EXPECT_FALSE(h.app().frmDelete.Loaded());
}

TEST(DeleteFailedWindow, SkinnedAtLoadOnlyWhenSkinningIsOn) {
  for (bool use_skin : {false, true}) {
    AppFixture h;
    services::RecordingClipboard clipboard;
    h.app().skin.objSkin = &h.app().frmSplash.Peek().skn;
    ui::InstallDeleteFailed(h.app(), clipboard);
    h.app().branding.bUseSkin = use_skin;
    model::FrmDelete& window = h.app().frmDelete.Get();
    EXPECT_EQ(h.app().skin.objSkin->IsSkinned(window.hWnd()), use_skin) << use_skin;
    EXPECT_EQ(window.Caption(), "Delete Failed");
    EXPECT_FALSE(window.Visible());
  }
}

}  // namespace
