// "Select All", "Exclude" and the routines that delete the checked rows of the result lists.

#include "removal/result_list_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "model/result_rows.h"
#include "services/prompts.h"
#include "support/app_fixture.h"

namespace {

using model::ThreatIconKind;

class ResultListActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { removal::InstallResultListActions(app()); }

  model::App& app() { return fixture_.app(); }
  model::FrmMain& window() { return app().frmMain; }
  forms::HeadlessBackend& backend() { return fixture_.backend; }

  model::RowView<model::ThreatRow> threats() {
    return model::RowView<model::ThreatRow>(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  }

  static std::vector<std::string> Texts(const forms::ListView& list) {
    std::vector<std::string> texts;
    for (const forms::ListItem& item : list.Items())
      texts.push_back(item.text);
    return texts;
  }

  std::string IgnoreFile() {
    return fixture_.machine()
        .files()
        .ReadFile(fixture_.machine().profile().program_folder + "\\ENoSignature.txt")
        .value_or("(none)");
  }

  hg_test::AppFixture fixture_;
};

TEST_F(ResultListActionsTest, SelectAllChecksTheRestAndPropagatesOnlyThose) {
  for (const char* name : {"One", "Two", "Three", "Four"})
    threats().Add({name, "", "", ThreatIconKind::kFile});
  threats().SetChecked(0, true);
  threats().SetChecked(2, true);
  std::vector<int> propagated;
  window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.on_item_check = [&](int position) {
    EXPECT_TRUE(threats()[position].checked) << "the row is checked before its event runs";
    propagated.push_back(position);
  };

  removal::cmdSelectAll_Click(app());

  EXPECT_EQ(propagated, (std::vector<int>{1, 3}));
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(threats()[i].checked) << i;
}

TEST_F(ResultListActionsTest, RowDeletionKeepsTheUncheckedRowsInOrder) {
  struct Case {
    const char* what;
    std::vector<bool> checks;
    std::vector<std::string> left;
  };
  const std::vector<Case> cases = {
      {"rows 2, 3 and 5 of 6", {false, true, true, false, true, false}, {"1", "4", "6"}},
      {"all", {true, true, true}, {}},
      {"none", {false, false}, {"1", "2"}},
      {"the last only", {false, false, true}, {"1", "2"}},
      {"an empty list", {}, {}},
  };
  using Routine = void (*)(model::App&);
  struct List {
    const char* name;
    forms::ListView& list;
    Routine routine;
  };
  const std::vector<List> lists = {
      {"files", window().lvwFilesToBeDeleted, removal::RemoveCheckedFileRows},
      {"cookies", window().lvwCookiesToDelete, removal::RemoveCheckedCookieRows},
      {"registry", window().lvwRegistryToBeDeleted, removal::RemoveCheckedRegistryRows},
      {"scan log", window().lvwSpywareFound, removal::RemoveCheckedSpywareRows},
      {"threats", window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
       removal::RemoveCheckedSummaryRows},
  };
  for (const List& l : lists) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(l.name) + ": " + c.what);
      l.list.Clear();
      for (size_t i = 0; i < c.checks.size(); ++i) {
        const int position = l.list.AddItem(std::to_string(i + 1));
        l.list.SetChecked(position, c.checks[i]);
      }
      l.routine(app());
      EXPECT_EQ(Texts(l.list), c.left);
    }
  }
}

TEST_F(ResultListActionsTest, ExcludeAppendsLocationAndNameThenDeletesTheCheckedRows) {
  const std::string cookie = "C:\\Cookies\\owner@ads[1].txt";
  threats().Add({"Cookie: owner@ads[1].txt", cookie, "Tracking Cookie", ThreatIconKind::kCookie});
  threats().Add({"Acme", "C:\\Acme\\acme.dll", "", ThreatIconKind::kFile});
  threats().Add({"Kept", "C:\\Kept\\kept.dll", "", ThreatIconKind::kFile});
  threats().SetChecked(0, true);
  threats().SetChecked(1, true);
  model::RowView<model::FileTargetRow> files(window().lvwFilesToBeDeleted);
  files.Add({"C:\\Acme\\acme.dll", "Acme", true});
  files.Add({"C:\\Kept\\kept.dll", "Kept", false});
  model::RowView<model::CookieTargetRow>(window().lvwCookiesToDelete).Add({cookie, "", true});
  model::RowView<model::RegistryTargetRow>(window().lvwRegistryToBeDeleted)
      .Add({"-2147483647", "Software\\Acme", "", "Acme", true});
  window().lvwSpywareFound.AddItem("Acme - Found");
  window().lblDeletingCaption.SetCaption("c:\\acme\\acme.dll");

  backend().ExpectMsgBox(services::vbYes, std::string(removal::kExcludeQuestion));
  removal::cmdExclude_Click(app());

  ASSERT_EQ(backend().MessageBoxes().size(), 1u);
  EXPECT_EQ(backend().MessageBoxes()[0].title, removal::kExcludeTitle);
  EXPECT_EQ(backend().MessageBoxes()[0].style, services::vbYesNo);
  EXPECT_EQ(IgnoreFile(), cookie + "\r\nowner@ads[1].txt\r\nC:\\Acme\\acme.dll\r\nAcme\r\n");
  // The list in memory was reloaded: the next scan leaves these out.
  EXPECT_TRUE(engine::IsIgnored(app(), cookie));
  EXPECT_TRUE(engine::IsIgnored(app(), "C:\\Acme\\acme.dll"));
  EXPECT_FALSE(engine::IsIgnored(app(), "C:\\Kept\\kept.dll"));

  EXPECT_EQ(Texts(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved),
            (std::vector<std::string>{"Kept"}));
  EXPECT_EQ(Texts(window().lvwFilesToBeDeleted), (std::vector<std::string>{"C:\\Kept\\kept.dll"}));
  EXPECT_EQ(window().lvwCookiesToDelete.Count(), 0);
  EXPECT_EQ(window().lvwRegistryToBeDeleted.Count(), 0);
  // Scan-log rows are never checked by the propagation: they stay.
  EXPECT_EQ(window().lvwSpywareFound.Count(), 1);
  EXPECT_EQ(window().lblDeletingCaption.Caption(), "");
}

TEST_F(ResultListActionsTest, ExcludeChangesNothingUnlessConfirmedAndSomethingIsChecked) {
  threats().Add({"Acme", "C:\\Acme\\acme.dll", "", ThreatIconKind::kFile});
  model::RowView<model::FileTargetRow>(window().lvwFilesToBeDeleted)
      .Add({"C:\\Acme\\acme.dll", "Acme", false});

  // Nothing checked, answered Yes: nothing appended, no row deleted.
  backend().ExpectMsgBox(services::vbYes, "exclude the selected files");
  removal::cmdExclude_Click(app());
  // Checked, answered No.
  threats().SetChecked(0, true);
  backend().ExpectMsgBox(services::vbNo, "exclude the selected files");
  removal::cmdExclude_Click(app());

  EXPECT_EQ(IgnoreFile(), "(none)");
  EXPECT_EQ(threats().Count(), 1);
  EXPECT_EQ(window().lvwFilesToBeDeleted.Count(), 1);
  EXPECT_TRUE(backend().PromptsUsedUp());
}

TEST_F(ResultListActionsTest, ExcludeWithEmptyListsSaysSoAndAsksNothing) {
  // Target rows of files or cookies alone do not count as entries.
  model::RowView<model::FileTargetRow>(window().lvwFilesToBeDeleted)
      .Add({"C:\\Acme\\acme.dll", "Acme", true});
  backend().ExpectMsgBox(services::vbOK, std::string(removal::kNothingToExcludeMessage));
  removal::cmdExclude_Click(app());
  ASSERT_EQ(backend().MessageBoxes().size(), 1u);
  EXPECT_EQ(backend().MessageBoxes()[0].style, services::vbInformation);
  EXPECT_EQ(backend().MessageBoxes()[0].title, "Hearthguard");
  EXPECT_EQ(window().lvwFilesToBeDeleted.Count(), 1);
}

TEST_F(ResultListActionsTest, ExcludeDoesNothingWhileARemovalWorksThroughTheRows) {
  threats().Add({"Acme", "C:\\Acme\\acme.dll", "", ThreatIconKind::kFile, true});
  app().scan.bRemovalRunning = true;
  removal::cmdExclude_Click(app());
  app().scan.bRemovalRunning = false;
  EXPECT_TRUE(backend().MessageBoxes().empty());
  EXPECT_EQ(threats().Count(), 1);
  EXPECT_EQ(IgnoreFile(), "(none)");
}

}  // namespace
