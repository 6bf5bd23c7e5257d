// The result lists read and written as records, and the one-row-per-threat lookup.

#include "model/result_rows.h"

#include <gtest/gtest.h>

#include "support/app_fixture.h"

namespace {

using model::ThreatIconKind;

TEST(ResultRows, RecordsRoundTripThroughTheirLists) {
  hg_test::AppFixture h;
  model::FrmMain& main = h.main();

  model::RowView<model::ThreatRow> threats(main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
  threats.Add({"Cookie: ads", "C:\\cookies\\me@ads[1].txt", "Tracking Cookie",
               ThreatIconKind::kCookie, false});
  threats.Add({"BadBar", "C:\\Program Files\\BadBar", "", ThreatIconKind::kFolder, true});
  ASSERT_EQ(threats.Count(), 2);
  const model::ThreatRow second = threats[1];
  EXPECT_EQ(second.name, "BadBar");
  EXPECT_EQ(second.location, "C:\\Program Files\\BadBar");
  EXPECT_EQ(second.type, "");
  EXPECT_EQ(second.icon, ThreatIconKind::kFolder);
  EXPECT_TRUE(second.checked);
  // The columns are the list's own: name, "Location", "Type".
  const forms::ListItem& item = main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Item(0);
  EXPECT_EQ(item.SubItem(1), "C:\\cookies\\me@ads[1].txt");
  EXPECT_EQ(item.SubItem(2), "Tracking Cookie");
  EXPECT_EQ(item.small_icon, 1);

  model::RowView<model::RegistryTargetRow> keys(main.lvwRegistryToBeDeleted);
  keys.Add({"-2147483646", "SOFTWARE\\BadBar", "", "BadBar", false});
  keys.SetChecked(0, true);
  const model::RegistryTargetRow key = keys[0];
  EXPECT_EQ(key.main_key, "-2147483646");
  EXPECT_EQ(key.key_path, "SOFTWARE\\BadBar");
  EXPECT_EQ(key.value_name, "");
  EXPECT_EQ(key.threat_name, "BadBar");
  EXPECT_TRUE(key.checked);

  model::RowView<model::FileTargetRow> files(main.lvwFilesToBeDeleted);
  files.Add({"C:\\WINDOWS\\bad.dll", "BadBar", false});
  EXPECT_EQ(main.lvwFilesToBeDeleted.Item(0).SubItem(1), "BadBar");
  EXPECT_FALSE(files[0].checked);

  model::RowView<model::ScanLogRow> log(main.lvwSpywareFound);
  log.Add({"EXCLUDED: C:\\x.exe", ThreatIconKind::kExcluded});
  EXPECT_EQ(log[0].icon, ThreatIconKind::kExcluded);

  model::RowView<model::UndeletedFileRow> problems(h.app().frmDelete.Peek().lstProblem);
  problems.Add({"C:\\locked.exe"});
  EXPECT_EQ(problems[0].path, "C:\\locked.exe");
}

TEST(ResultRows, AThreatCountsAsListedByItsFoundMessagePrefix) {
  hg_test::AppFixture h;
  forms::ListView& log = h.main().lvwSpywareFound;
  model::RowView<model::ScanLogRow> rows(log);
  rows.Add({model::FoundMessage("BadBar Toolbar"), ThreatIconKind::kRegistry});
  rows.Add({"RegKey SOFTWARE\\Evil - Found", ThreatIconKind::kRegistry});

  struct Case {
    const char* threat;
    bool listed;
  };
  const Case cases[] = {
      {"BadBar Toolbar", true},
      {"badbar toolbar", true},  // letter case ignored
      {"BadBar", false},         // only the beginning of a listed name
      {"BadBar Toolbar 2", false},
      {"Evil", false},  // "RegKey " rows name a key, not a threat
      {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(model::IsThreatListed(log, c.threat), c.listed) << c.threat;

  // A row that goes on after " - Found" still counts.
  rows.Add({"Spy - Found (memory)", ThreatIconKind::kFile});
  EXPECT_TRUE(model::IsThreatListed(log, "Spy"));
}

}  // namespace
