#include "engine/scan/scan_progress.h"

#include <gtest/gtest.h>

#include <string>

#include "support/app_fixture.h"

namespace {

TEST(RemoveOffensiveWords, Table) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {"Scan Complete", "Scan Complete"},
      // Inside longer words, in any letter case.
      {"C:\\Documents\\Cumulus\\x.dat", "C:\\Doents\\ulus\\x.dat"},
      {"SUCKER", "ER"},
      {"Scunthorpe", "Shorpe"},
      {"Essex Butterfield", "Es erfield"},
      // Each word is taken on the result of the ones before it: removing "fuck" makes "cum",
      // which a later pass removes too...
      {"cfuckum", ""},
      // ...but a word that only appears after a later removal stays.
      {"fusexck", "fuck"},
      // "fag" goes before "faggot" is looked for.
      {"faggot", "got"},
      // Letters outside ASCII are left alone.
      {"Caf\xe9 Men\xfc", "Caf\xe9 Men\xfc"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(engine::RemoveOffensiveWords(c.text), c.expected) << c.text;
}

class ScanProgressTest : public ::testing::Test {
 protected:
  model::App& app() { return fixture_.app(); }
  model::FrmMain& window() { return fixture_.app().frmMain; }

  void SetCounts(int32_t memory, int32_t registry, int32_t files, int32_t threats) {
    app().scan.lngMemoryItemsInspected = memory;
    app().scan.lngRegistryItemsInspected = registry;
    app().scan.lngFilesFoldersInspected = files;
    app().scan.lngThreatsFound = threats;
  }

  std::vector<std::string> Shown() {
    return {window().lblMemoryInspected.Caption(),        window().lblRegistryInspected.Caption(),
            window().lblFilesFolderInspected.Caption(),   window().lblSoftwareFound.Caption(),
            window().lblRemovePicSoftwareFound.Caption(), window().lblStatus(0).Caption()};
  }

  hg_test::AppFixture fixture_;
};

TEST_F(ScanProgressTest, RefreshesOnEveryHundredthCallOnly) {
  for (forms::Label* label : {&window().lblMemoryInspected, &window().lblRegistryInspected,
                              &window().lblFilesFolderInspected, &window().lblSoftwareFound,
                              &window().lblRemovePicSoftwareFound, &window().lblStatus(0)}) {
    label->SetCaption("0");
  }
  SetCounts(7, 8, 9, 2);
  for (int call = 1; call < 100; ++call)
    engine::UpdateScanProgress(app(), "item", 40, 50);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(window().pb1.Value(), 0);
  EXPECT_EQ(app().scan.lngProgressCalls, 99);

  engine::UpdateScanProgress(app(), "Scanning Registry: \r\nsoftware\\sucker", 40, 50);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"7", "8", "9", "2", "2",
                                               "Scanning Registry: \r\nsoftware\\er"}));
  EXPECT_EQ(window().pb1.Value(), 40);
  EXPECT_EQ(window().pb2.Value(), 50);
  EXPECT_EQ(app().scan.lngProgressCalls, 0);
  // The redraw lock is off again.
  EXPECT_EQ(fixture_.runtime().LockedWindow(), 0);

  // The count starts again.
  SetCounts(70, 80, 90, 3);
  for (int call = 1; call < 100; ++call)
    engine::UpdateScanProgress(app(), "other", 60, 70);
  EXPECT_EQ(window().lblMemoryInspected.Caption(), "7");
  engine::UpdateScanProgress(app(), "other", 60, 70);
  EXPECT_EQ(window().lblMemoryInspected.Caption(), "70");
  EXPECT_EQ(window().pb1.Value(), 60);
}

TEST_F(ScanProgressTest, BarsKeepTheirValueForNegativeOrOutOfRangePercents) {
  window().pb1.SetValue(30);
  window().pb2.SetValue(35);
  engine::RefreshScanProgress(app(), "a", -1, -1);
  EXPECT_EQ(window().pb1.Value(), 30);
  EXPECT_EQ(window().pb2.Value(), 35);
  engine::RefreshScanProgress(app(), "b", 250, 101);
  EXPECT_EQ(window().pb1.Value(), 30);
  EXPECT_EQ(window().pb2.Value(), 35);
  engine::RefreshScanProgress(app(), "c", 0, 100);
  EXPECT_EQ(window().pb1.Value(), 0);
  EXPECT_EQ(window().pb2.Value(), 100);
}

TEST_F(ScanProgressTest, ForcedRefreshShowsTheCountsAtOnceAndRestartsTheCount) {
  SetCounts(1, 2, 3, 4);
  for (int call = 0; call < 42; ++call)
    engine::UpdateScanProgress(app(), "x", 1, 1);
  engine::RefreshScanProgress(app(), "Scan Complete", 100, 100);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"1", "2", "3", "4", "4", "Scan Complete"}));
  EXPECT_EQ(app().scan.lngProgressCalls, 0);
}

}  // namespace
