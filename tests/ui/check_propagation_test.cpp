// A threat row's check reaching its target rows, and the drive checks saved as settings.

#include "ui/main/check_propagation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/result_rows.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"

namespace {

using model::ThreatIconKind;

// The target lists of a scan that found one threat in several places, and neighbours that
// must not follow it.
class CheckPropagationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::InstallCheckPropagation(h.app());
    h.main().Show();
    h.main().frmResults.SetVisible(true);
    files().Add({"C:\\Acme\\acme.dll", "Acme"});
    files().Add({"C:\\Acme", "Acme Folder"});
    files().Add({"C:\\Acme", "Other"});
    files().Add({"C:\\Other\\acme.dll", "ACME"});  // differs in letter case only
    files().Add({"C:\\Acme\\toolbar.exe", "Acme"});
    keys().Add({"-2147483647", "Software\\Acme", "", "Acme"});
    keys().Add({"-2147483646", "Acme", "Run", "Unrelated"});  // its key path is the name
    keys().Add({"-2147483646", "Software\\Other", "", "Other"});
    cookies().Add({"C:\\Cookies\\me@acme[1].txt", ""});
    cookies().Add({"C:\\Cookies\\me@other[1].txt", ""});
  }

  model::RowView<model::ThreatRow> threats() {
    return model::RowView<model::ThreatRow>(h.main().lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  }
  model::RowView<model::FileTargetRow> files() {
    return model::RowView<model::FileTargetRow>(h.main().lvwFilesToBeDeleted);
  }
  model::RowView<model::RegistryTargetRow> keys() {
    return model::RowView<model::RegistryTargetRow>(h.main().lvwRegistryToBeDeleted);
  }
  model::RowView<model::CookieTargetRow> cookies() {
    return model::RowView<model::CookieTargetRow>(h.main().lvwCookiesToDelete);
  }

  // The checks of one list, row by row.
  static std::vector<bool> Checks(const forms::ListView& list) {
    std::vector<bool> checks;
    for (const forms::ListItem& item : list.Items())
      checks.push_back(item.checked);
    return checks;
  }

  // The user ticks or unticks a threat row.
  void UserCheck(int position, bool checked) {
    ASSERT_TRUE(
        h.main().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.UserCheckItem(position, checked));
  }

  hg_test::AppFixture h;
};

TEST_F(CheckPropagationTest, EachKindReachesItsOwnTargetsAndThoseOfItsThreatName) {
  struct Case {
    const char* what;
    model::ThreatRow threat;
    std::vector<bool> files;
    std::vector<bool> keys;
    std::vector<bool> cookies;
  };
  const std::vector<Case> cases = {
      {"a file threat: its file rows by name, and its registry rows by name",
       {"Acme", "C:\\Acme\\acme.dll", "", ThreatIconKind::kFile},
       {true, false, false, false, true},
       {true, false, false},
       {false, false}},
      {"a folder threat: the rows of its path, and the rows of its name",
       {"Acme Folder", "C:\\Acme", "", ThreatIconKind::kFolder},
       {false, true, true, false, false},
       {false, false, false},
       {false, false}},
      {"a registry threat: key path or threat name, and file rows of its name",
       {"Acme", "HKEY_CURRENT_USER\\Software\\Acme", "", ThreatIconKind::kRegistry},
       {true, false, false, false, true},
       {true, true, false},
       {false, false}},
      {"a registry threat named like another key's path",
       {"Software\\Other", "HKEY_LOCAL_MACHINE\\Software\\Other", "", ThreatIconKind::kRegistry},
       {false, false, false, false, false},
       {false, false, true},
       {false, false}},
      {"a cookie threat: its cookie file only",
       {"Cookie: me@acme[1].txt", "C:\\Cookies\\me@acme[1].txt", "Tracking Cookie",
        ThreatIconKind::kCookie},
       {false, false, false, false, false},
       {false, false, false},
       {true, false}},
      {"an excluded row's icon changes nothing",
       {"Acme", "C:\\Acme", "", ThreatIconKind::kExcluded},
       {false, false, false, false, false},
       {false, false, false},
       {false, false}},
      {"no icon changes nothing",
       {"Acme", "C:\\Acme", "", ThreatIconKind::kNone},
       {false, false, false, false, false},
       {false, false, false},
       {false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    threats().Clear();
    for (forms::ListView* list : {&h.main().lvwFilesToBeDeleted, &h.main().lvwRegistryToBeDeleted,
                                  &h.main().lvwCookiesToDelete}) {
      for (int i = 0; i < list->Count(); ++i)
        list->SetChecked(i, false);
    }
    threats().Add(c.threat);

    UserCheck(0, true);
    EXPECT_EQ(Checks(h.main().lvwFilesToBeDeleted), c.files);
    EXPECT_EQ(Checks(h.main().lvwRegistryToBeDeleted), c.keys);
    EXPECT_EQ(Checks(h.main().lvwCookiesToDelete), c.cookies);

    // Unticking takes back exactly what ticking set.
    UserCheck(0, false);
    EXPECT_EQ(Checks(h.main().lvwFilesToBeDeleted), std::vector<bool>(5, false));
    EXPECT_EQ(Checks(h.main().lvwRegistryToBeDeleted), std::vector<bool>(3, false));
    EXPECT_EQ(Checks(h.main().lvwCookiesToDelete), std::vector<bool>(2, false));
  }
}

TEST_F(CheckPropagationTest, ATargetSharedByTwoThreatsFollowsTheOneChangedLast) {
  // "C:\Acme" is the folder of "Other" (by path) and a file row named "Other".
  threats().Add({"Acme Folder", "C:\\Acme", "", ThreatIconKind::kFolder});
  threats().Add({"Other", "C:\\Acme", "", ThreatIconKind::kFolder});
  UserCheck(0, true);
  UserCheck(1, false);
  EXPECT_EQ(Checks(h.main().lvwFilesToBeDeleted),
            (std::vector<bool>{false, false, false, false, false}));
  UserCheck(0, true);
  EXPECT_EQ(Checks(h.main().lvwFilesToBeDeleted),
            (std::vector<bool>{false, true, true, false, false}));
}

TEST_F(CheckPropagationTest, EmptyListsAndBadPositionsChangeNothing) {
  h.main().lvwFilesToBeDeleted.Clear();
  h.main().lvwRegistryToBeDeleted.Clear();
  h.main().lvwCookiesToDelete.Clear();
  threats().Add({"Acme", "C:\\Acme", "", ThreatIconKind::kFile});
  UserCheck(0, true);
  EXPECT_EQ(h.main().lvwFilesToBeDeleted.Count(), 0);

  // Called as code with a row that is not there.
  ui::lvwPicRemoveListOfSpywareFoundAndToBeRemoved_ItemCheck(h.app(), 7);
  ui::lvwPicRemoveListOfSpywareFoundAndToBeRemoved_ItemCheck(h.app(), -1);
}

TEST_F(CheckPropagationTest, ABlankThreatNameReachesOnlyItsKindsOwnTargets) {
  files().Add({"C:\\nameless.dat", ""});
  keys().Add({"-2147483647", "Software\\Nameless", "", ""});
  threats().Add({"", "C:\\nameless.dat", "", ThreatIconKind::kFolder});
  UserCheck(0, true);
  EXPECT_TRUE(files()[5].checked);
  EXPECT_FALSE(keys()[3].checked);
}

std::string DriveSetting(hg_test::AppFixture& h, std::string_view drive) {
  return services::ReadSetting(h.app().system, h.app().SettingsApplication(), ui::kDrivesSection,
                               drive, "(none)");
}

TEST(DriveChecks, EveryChangeRewritesEveryDriveRow) {
  hg_test::AppFixture h;
  ui::InstallCheckPropagation(h.app());
  h.main().Show();
  h.main().frmOptions.SetVisible(true);
  h.main().frmView(0).SetVisible(true);
  model::RowView<model::DriveRow> drives(h.main().lvwHardDrives);
  drives.Add({"C:", true});
  drives.Add({"D:", false});
  drives.Add({"E:", true});

  ASSERT_TRUE(h.main().lvwHardDrives.UserCheckItem(0, false));
  EXPECT_EQ(DriveSetting(h, "C:"), "False");
  EXPECT_EQ(DriveSetting(h, "D:"), "False");
  EXPECT_EQ(DriveSetting(h, "E:"), "True");

  ASSERT_TRUE(h.main().lvwHardDrives.UserCheckItem(1, true));
  EXPECT_EQ(DriveSetting(h, "C:"), "False");
  EXPECT_EQ(DriveSetting(h, "D:"), "True");
  EXPECT_EQ(DriveSetting(h, "E:"), "True");
}

TEST(DriveChecks, AnEmptyDriveListWritesNothing) {
  hg_test::AppFixture h;
  ui::lvwHardDrives_ItemCheck(h.app(), 0);
  EXPECT_EQ(DriveSetting(h, "C:"), "(none)");
}

}  // namespace
