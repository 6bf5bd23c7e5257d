// The report viewer and the delete-failed window on screen: a written report in the viewer,
// leftover files in the list, "Copy List" onto the desktop's clipboard, and a picture of each
// window saved beside the test run's other output.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "model/result_rows.h"
#include "qt_app.h"
#include "removal/scan_report.h"
#include "ui/windows/branding.h"
#include "ui/windows/delete_failed.h"
#include "ui/windows/report_viewer.h"
#include "view/qt_clipboard.h"
#include "view/result_designs.h"

namespace view_test {
namespace {

class ResultWindowsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model::App& app = qt.app();
    ui::InitBranding(app);
    ui::InstallReportViewer(app);
    ui::InstallDeleteFailed(app, clipboard);
  }

  // A report after a scan that found a little, with one exclusion and one quarantined file.
  void WriteSampleReport() {
    model::App& app = qt.app();
    model::FrmMain& w = app.frmMain;
    w.strScanStarted = "6/28/2006 1:58:40 PM";
    w.strScanFinished = "6/28/2006 2:05:09 PM";
    w.lblMemoryInspected.SetCaption("42");
    w.lblRegistryInspected.SetCaption("1570");
    w.lblFilesFolderInspected.SetCaption("20931");
    model::RowView<model::ThreatRow> threats(w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    threats.Add({"Acme SearchBar", "C:\\Program Files\\AcmeSearchBar", "Adware",
                 model::ThreatIconKind::kFolder, false});
    threats.Add({"FunnyCursor", "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor", "",
                 model::ThreatIconKind::kRegistry, false});
    const std::string folder = app.machine.profile().program_folder;
    qt.temp.WriteFile(folder + "\\ENoSignature.txt", "C:\\Program Files\\SwapShare\r\n");
    qt.temp.WriteFile(folder + "\\quarantine\\QuarantineLog.txt",
                      "6/28/2006 2:05:09 PM - File: acmebar.dll\r\n"
                      " - Location: C:\\WINDOWS\\system32\\acmebar.dll\r\n\r\n\r\n");
    ASSERT_TRUE(removal::MakeReport(app));
  }

  // The control's widget, or the one of that type inside it (a text box's holder).
  template <class W>
  W* Widget(const forms::Control& control) {
    QWidget* widget = qt.screen().WidgetOf(control);
    if (!widget)
      return nullptr;
    if (auto* typed = qobject_cast<W*>(widget))
      return typed;
    return widget->findChild<W*>();
  }

  // Visible labels and buttons whose caption does not fit.
  std::vector<std::string> Clipped(const model::Window& window) {
    std::vector<std::string> clipped;
    for (forms::Control* control : window.Controls()) {
      QWidget* widget = qt.screen().WidgetOf(*control);
      if (!widget || !widget->isVisible())
        continue;
      bool bad = false;
      if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty())
        bad = label->heightForWidth(label->width()) > label->height();
      else if (auto* button = qobject_cast<QPushButton*>(widget))
        bad = button->sizeHint().width() > button->width() + 4;
      if (bad)
        clipped.push_back(control->FullName());
    }
    return clipped;
  }

  QtApp qt;
  view::QtClipboard clipboard;
};

TEST_F(ResultWindowsViewTest, TheDesignTablesNameOnlyControlsTheWindowsHave) {
  const std::pair<const view::FormDesign*, const forms::Form*> tables[] = {
      {&view::FrmReportDesign(), &qt.app().frmReport.Peek()},
      {&view::FrmDeleteDesign(), &qt.app().frmDelete.Peek()}};
  for (const auto& [design, form] : tables) {
    EXPECT_EQ(design->form_name, form->name());
    for (const view::ControlDesign& control : design->controls)
      EXPECT_NE(form->FindControl(control.name, control.index), nullptr) << control.name;
  }
}

TEST_F(ResultWindowsViewTest, TheViewerShowsTheReport) {
  WriteSampleReport();
  model::FrmReport& window = qt.app().frmReport.Get();
  window.Show();
  qt.runtime().Yield();
  auto* text = Widget<QPlainTextEdit>(window.txtReport);
  ASSERT_NE(text, nullptr);
  const QString shown = text->toPlainText();
  EXPECT_TRUE(shown.contains(QStringLiteral("Hearthguardv1.0   Scan Report.\n")));
  EXPECT_TRUE(shown.contains(QStringLiteral("Acme SearchBar\nC:\\Program Files\\AcmeSearchBar\n")));
  EXPECT_TRUE(shown.endsWith(QStringLiteral("=====================End Of Report.")));
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_EQ(qt.screen().ViewOf(window)->window()->windowTitle(), QStringLiteral("Hearthguard Log"));
  EXPECT_EQ(Clipped(window), std::vector<std::string>{});
  qt.SavePicture(window);

  auto* ok = Widget<QPushButton>(window.cmdOk);
  ASSERT_NE(ok, nullptr);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_FALSE(qt.app().frmReport.Loaded());
}

TEST_F(ResultWindowsViewTest, TheLeftoversAreListedAndCopied) {
  model::FrmDelete& window = qt.app().frmDelete.Get();
  for (const char* path :
       {"C:\\WINDOWS\\system32\\acmebar.dll", "C:\\Program Files\\FunnyCursor\\funnycursor.exe",
        "C:\\WINDOWS\\evildialer.dll"})
    model::RowView<model::UndeletedFileRow>(window.lstProblem).Add({path});
  window.Show();
  qt.runtime().Yield();
  auto* list = Widget<QTreeWidget>(window.lstProblem);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Location"));
  EXPECT_EQ(list->topLevelItem(1)->text(0),
            QStringLiteral("C:\\Program Files\\FunnyCursor\\funnycursor.exe"));
  EXPECT_EQ(Clipped(window), std::vector<std::string>{});
  qt.SavePicture(window);

  auto* copy = Widget<QPushButton>(window.Command2);
  ASSERT_NE(copy, nullptr);
  QTest::mouseClick(copy, Qt::LeftButton);
  EXPECT_EQ(
      QGuiApplication::clipboard()->text(),
      QStringLiteral(
          "C:\\WINDOWS\\system32\\acmebar.dll\nC:\\Program Files\\FunnyCursor\\funnycursor.exe\n"
          "C:\\WINDOWS\\evildialer.dll\n"));

  auto* ok = Widget<QPushButton>(window.Command1);
  ASSERT_NE(ok, nullptr);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_FALSE(window.Visible());
  EXPECT_TRUE(qt.app().frmDelete.Loaded());
  EXPECT_EQ(window.lstProblem.Count(), 3);
}

TEST_F(ResultWindowsViewTest, BothOpenCentredOverTheMainWindow) {
  model::FrmMain& main = qt.app().frmMain;
  main.Move(3000, 1500, main.Width(), main.Height());
  main.Show();
  qt.runtime().Yield();
  const QPoint centre = qt.screen().ViewOf(main)->window()->frameGeometry().center();
  for (forms::Form* form : {static_cast<forms::Form*>(&qt.app().frmReport.Get()),
                            static_cast<forms::Form*>(&qt.app().frmDelete.Get())}) {
    SCOPED_TRACE(form->name());
    form->Show();
    qt.runtime().Yield();
    const QRect placed = qt.screen().ViewOf(*form)->window()->frameGeometry();
    EXPECT_LE((placed.center() - centre).manhattanLength(), 4);
    form->Hide();
  }
}

}  // namespace
}  // namespace view_test
