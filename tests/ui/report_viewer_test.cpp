// The report viewer: its joining rule over real report files, its caption, a fresh read at
// every opening, and closing while it reads.

#include "ui/windows/report_viewer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/result_rows.h"
#include "removal/scan_report.h"
#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

class ReportViewerTest : public ::testing::Test {
 protected:
  ReportViewerTest() {
    h.app().branding.strProductName = "Hearthguard";
    h.app().skin.objSkin = &h.app().frmSplash.Peek().skn;
    ui::InstallReportViewer(h.app());
  }

  model::FrmReport& Window() { return h.app().frmReport.Peek(); }
  void WriteReport(std::string_view content) {
    h.WriteProgramFile(removal::kScanReportFile, content);
  }
  // Opens the viewer as the main window does (loading it) and returns what it shows.
  std::string Shown() { return h.app().frmReport->txtReport.Text(); }

  AppFixture h;
};

TEST_F(ReportViewerTest, BlankLinesBreakAndOtherLinesRunTogether) {
  struct Case {
    const char* what;
    std::string file;
    std::string shown;
  };
  const Case cases[] = {
      {"lines A, empty, B, C, empty", "A\r\n\r\nB\r\nC\r\n\r\n", "A\r\nBC\r\n"},
      {"lines of blanks count as empty", "A\r\n   \r\n \r\nB", "A\r\n\r\nB"},
      {"blanks inside a text line are kept", "  A  \r\n\r\n", "  A  \r\n"},
      {"a tab is no blank", "A\r\n\t\r\n", "A\t"},
      {"line feeds alone end lines too", "A\n\nB\n", "A\r\nB"},
      {"an empty file", "", ""},
  };
  for (const Case& c : cases) {
    WriteReport(c.file);
    EXPECT_EQ(Shown(), c.shown) << c.what;
    h.app().frmReport.Unload();
  }
}

TEST_F(ReportViewerTest, AMissingReportLeavesTheBoxEmpty) {
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Window().Caption(), "Hearthguard Log");
}

// The report puts empty lines after each text line so that the viewer breaks there; the
// exclusion entries alone follow one another directly and so run together.
TEST_F(ReportViewerTest, AWrittenReportShowsOneTextLinePerLine) {
  model::FrmMain& w = h.main();
  w.strScanStarted = "6/28/2006 1:58:40 PM";
  w.strScanFinished = "6/28/2006 2:05:09 PM";
  model::RowView<model::ThreatRow>(w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
      .Add({.name = "FunnyCursor",
            .location = "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor",
            .type = "",
            .icon = model::ThreatIconKind::kRegistry});
  h.WriteProgramFile("ENoSignature.txt", "C:\\a\r\nC:\\b\r\n");
  ASSERT_TRUE(removal::MakeReport(h.app()));

  const std::string shown = Shown();
  const std::string expected_start =
      "\r\n\r\n                   Hearthguardv1.0   Scan Report.\r\n\r\n\r\n"
      "-----------------------\r\n"
      " Scan Started at  : 6/28/2006 1:58:40 PM\r\n";
  const std::string expected_end =
      "[Threats Detected]\r\n\r\n"
      "FunnyCursor\r\n"
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor\r\n\r\n"
      "Total = 1\r\n\r\n"
      "[Files Currently Excluded]\r\n"
      "C:\\aC:\\b\r\n\r\n\r\n\r\n"
      "=====================End Of Report.";
  EXPECT_EQ(shown.substr(0, expected_start.size()), expected_start);
  ASSERT_GE(shown.size(), expected_end.size());
  EXPECT_EQ(shown.substr(shown.size() - expected_end.size()), expected_end);
}

TEST_F(ReportViewerTest, EveryOpeningReadsTheFileAfresh) {
  WriteReport("first\r\n\r\n");
  EXPECT_EQ(Shown(), "first\r\n");
  ASSERT_TRUE(Window().cmdOk.UserClick());
  EXPECT_FALSE(h.app().frmReport.Loaded());

  WriteReport("second\r\n\r\n");
  EXPECT_EQ(Shown(), "second\r\n");
  EXPECT_EQ(Window().Caption(), "Hearthguard Log");
  // The close box unloads it too.
  ASSERT_TRUE(Window().UserClose());
  EXPECT_FALSE(h.app().frmReport.Loaded());
}

// The viewer yields while it reads; "OK" pressed meanwhile closes the window, and the modal
// showing that opened it returns.
TEST_F(ReportViewerTest, ClosedWhileReading) {
  WriteReport("A\r\n\r\nB\r\n\r\nC\r\n\r\n");
  h.backend.AtYield(2, "OK", [this] { Window().cmdOk.UserClick(); });
  Window().Show(true);
  EXPECT_FALSE(h.app().frmReport.Loaded());
  EXPECT_EQ(h.backend.DeliveredActions(), std::vector<std::string>{"OK"});
}

}  // namespace
