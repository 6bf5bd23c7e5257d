#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <string>

#include "engine/definitions/status_labels.h"
#include "model/result_rows.h"
#include "qt_app.h"
#include "support/http_test_server.h"
#include "ui/main/data_submission.h"
#include "ui/main/pages.h"
#include "ui/main/scan_controls.h"
#include "ui/windows/branding.h"
#include "ui/windows/skin.h"
#include "view/designs.h"

namespace view_test {
namespace {

class FrmMainViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model::App& app = qt.app();
    model::FrmMain& w = app.frmMain;
    ui::InitBranding(app);
    w.Load();
    ui::ApplySkin(app, w);
    ui::CloneLabelsAsSkinLabels(w, {&w.SkinLabel1, &w.SkinLabel2, &w.SkinLabel3, &w.SkinLabel4,
                                    &w.SkinLabel5, &w.SkinLabel6});
    engine::RefreshStatusLabels(app);
    FillSample();
    w.Show();
    ASSERT_NE(View(), nullptr);
  }

  // What a window looks like after a scan that found a little.
  void FillSample() {
    model::FrmMain& w = qt.app().frmMain;
    w.SetCaption("Hearthguard - Hearthguard Software");
    w.Label22.SetCaption("Welcome to Hearthguard");
    w.cmdWebsite.SetCaption("Visit www.hearthguard.example");
    w.lblMemoryInspected.SetCaption("1,204");
    w.lblRegistryInspected.SetCaption("35,870");
    w.lblFilesFolderInspected.SetCaption("120,455");
    w.lblSoftwareFound.SetCaption("3");
    w.lbltracesFound.SetCaption("7");
    w.lblTotalNoOfRunningItems.SetCaption("42");
    w.lblPercentageCompleted.SetCaption("Scanning complete.");
    w.pbgMain.SetValue(100);
    w.pb1.SetValue(60);
    w.pb2.SetValue(85);
    w.lblStatus(0).SetCaption("C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
    const std::pair<const char*, int> log[] = {
        {"Acme SearchBar - Found", 3},
        {"RegKey HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor - Found", 2},
        {"Cookie Found: C:\\Documents and Settings\\User\\Cookies\\user@adtracker[1].txt", 1},
        {"Detected in the memory : C:\\Program Files\\EvilDialer\\dialer.exe was stopped from "
         "running.",
         3},
        {"EXCLUDED: C:\\Program Files\\SwapShare", 5}};
    for (const auto& [text, icon] : log)
      w.lvwSpywareFound.AddItem(text, icon);
    auto& threats = w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    const std::array<const char*, 3> rows[] = {
        {"Acme SearchBar", "C:\\Program Files\\AcmeSearchBar", "File"},
        {"FunnyCursor", "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor", "Registry"},
        {"AdTracker", "user@adtracker[1].txt", "Cookie"}};
    int icon = 4;
    for (const auto& row : rows) {
      const int position = threats.AddItem(row[0], icon--);
      threats.SetSubItem(position, 1, row[1]);
      threats.SetSubItem(position, 2, row[2]);
      threats.SetChecked(position, true);
    }
    w.lblRemovePicSoftwareFound.SetCaption("3");
    for (const char* drive : {"C:\\", "D:\\"})
      w.lvwHardDrives.SetChecked(w.lvwHardDrives.AddItem(drive, 1), true);
    w.optScanOnlyKnownSoftwares.SetValue(true);
    w.chkSweepMemory.SetValue(forms::kChecked);
    w.chkScanRegistry.SetValue(forms::kChecked);
    w.chkScanCookies.SetValue(forms::kChecked);
    w.chkHomePage.SetValue(forms::kChecked);
    w.cmbDays.SetListIndex(7);
    w.dtpScheduleTime.SetValue(machine::DateTime{2006, 3, 16, 12, 30, 0});
    w.lblLastUpdate.SetCaption("Last update: 3/16/2006 12:00:00 AM PST");
  }

  view::FormView* View() { return qt.screen().ViewOf(qt.app().frmMain); }

  void ShowPage(forms::Frame& page) {
    model::FrmMain& w = qt.app().frmMain;
    for (forms::Frame* frame : {&w.frmStatus, &w.frmScan, &w.frmResults, &w.frmOptions})
      frame->SetVisible(frame == &page);
  }
  void ShowOptionsTab(int tab) {
    model::FrmMain& w = qt.app().frmMain;
    ShowPage(w.frmOptions);
    w.TabStrip1.SetSelectedIndex(tab);
    for (forms::Frame* view : w.frmView.Elements())
      view->SetVisible(view->index() == tab);
  }

  // Visible controls whose widget does not fit inside its parent, or whose caption does not fit
  // inside the widget.
  std::vector<std::string> Misfits() {
    std::vector<std::string> misfits;
    for (forms::Control* control : qt.app().frmMain.Controls()) {
      QWidget* widget = qt.screen().WidgetOf(*control);
      if (!widget || !widget->isVisible() || control->FullName() == "Frame")
        continue;
      const QRect inside = widget->parentWidget()->rect();
      if (!inside.contains(widget->geometry()))
        misfits.push_back(control->FullName() + " lies outside its container");
      bool clipped = false;
      if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty())
        clipped = label->heightForWidth(label->width()) > label->height() ||
                  label->fontMetrics().horizontalAdvance(label->text()) > label->width() * 4;
      else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        clipped = button->sizeHint().width() > button->width() + 4;
      if (clipped)
        misfits.push_back(control->FullName() + " clips its caption");
    }
    return misfits;
  }

  // Saves the window as the user sees it, next to the test run's other output.
  void Grab(const std::string& page) { qt.SavePicture(qt.app().frmMain, "FrmMain-" + page); }

  QtApp qt;
};

TEST_F(FrmMainViewTest, EveryDesignTableNamesAWindowAndOnlyControlsItHas) {
  for (const view::FormDesign* design : view::AllFormDesigns()) {
    const forms::Form* form = nullptr;
    for (const forms::Form* candidate : qt.runtime().Forms())
      form = candidate->name() == design->form_name ? candidate : form;
    ASSERT_NE(form, nullptr) << design->form_name;
    for (const view::ControlDesign& control_design : design->controls) {
      bool found = false;
      for (const forms::Control* control : form->Controls()) {
        found = found || (control->name() == control_design.name &&
                          (control_design.index == view::ControlDesign::kAnyIndex ||
                           control_design.index == control->index()));
      }
      EXPECT_TRUE(found) << design->form_name << "." << control_design.name << " ("
                         << control_design.index << ")";
    }
  }
}

// The windows the user cannot resize, at their design size: the frame the window manager draws
// takes nothing from their controls.
TEST_F(FrmMainViewTest, EveryFixedWindowHoldsEachOfItsControlsWhole) {
  for (const view::FormDesign* design : view::AllFormDesigns()) {
    for (forms::Form* form : qt.runtime().Forms()) {
      if (form->name() != design->form_name || design->resizable)
        continue;
      form->Show();
      qt.runtime().Yield();
      QWidget* client = qt.screen().ViewOf(*form)->client();
      for (forms::Control* control : form->Controls()) {
        QWidget* widget = qt.screen().WidgetOf(*control);
        const bool whole =
            !widget || !widget->isVisible() ||
            client->rect().contains(QRect(widget->mapTo(client, QPoint()), widget->size()));
        EXPECT_TRUE(whole) << control->FullName();
      }
      form->Hide();
    }
  }
}

TEST_F(FrmMainViewTest, EveryControlIsBuiltInsideItsContainer) {
  for (forms::Control* control : qt.app().frmMain.Controls()) {
    if (control->kind() == forms::ControlKind::kTimer ||
        control->kind() == forms::ControlKind::kMenuItem)
      continue;
    QWidget* widget = qt.screen().WidgetOf(*control);
    ASSERT_NE(widget, nullptr) << control->FullName();
    QWidget* expected =
        control->Container() ? qt.screen().WidgetOf(*control->Container()) : View()->client();
    EXPECT_EQ(widget->parentWidget(), expected) << control->FullName();
  }
  // Menus: the visible ones in the menu bar, the hidden debug menu not.
  EXPECT_TRUE(View()->ActionOf(qt.app().frmMain.mnuFile)->isVisible());
  EXPECT_FALSE(View()->ActionOf(qt.app().frmMain.mnuDebug)->isVisible());
  EXPECT_FALSE(View()->ActionOf(qt.app().frmMain.mnuFileItem(1))->isVisible());
}

TEST_F(FrmMainViewTest, EachPageShowsWholeAndSavesAPicture) {
  model::FrmMain& w = qt.app().frmMain;
  struct Page {
    const char* name;
    std::function<void()> show;
  };
  const Page pages[] = {
      {"status", [&] { ShowPage(w.frmStatus); }},
      {"scan", [&] { ShowPage(w.frmScan); }},
      {"results", [&] { ShowPage(w.frmResults); }},
      {"options-scan", [&] { ShowOptionsTab(0); }},
      {"options-protection", [&] { ShowOptionsTab(1); }},
      {"options-schedule", [&] { ShowOptionsTab(2); }},
      {"options-update", [&] { ShowOptionsTab(3); }},
  };
  for (const Page& page : pages) {
    page.show();
    qt.runtime().Yield();
    EXPECT_EQ(Misfits(), std::vector<std::string>{}) << page.name;
    Grab(page.name);
  }
}

TEST_F(FrmMainViewTest, ThePageButtonsTheTabsAndTheHoverWorkOnScreen) {
  model::App& app = qt.app();
  model::FrmMain& w = app.frmMain;
  ui::InstallPages(app);
  ui::InstallScanControls(app);
  auto shown_pages = [&] {
    std::vector<std::string> shown;
    for (forms::Frame* page : {&w.frmStatus, &w.frmScan, &w.frmResults, &w.frmOptions}) {
      if (qt.screen().WidgetOf(*page)->isVisibleTo(View()->client()))
        shown.push_back(page->name());
    }
    return shown;
  };
  struct Case {
    forms::CommandButton& button;
    const char* page;
  };
  for (const Case& c : {Case{w.cmdScan, "frmScan"}, Case{w.cmdResults, "frmResults"},
                        Case{w.cmdSettings, "frmOptions"}, Case{w.cmdStatus, "frmStatus"}}) {
    auto* button = qobject_cast<QPushButton*>(qt.screen().WidgetOf(c.button));
    ASSERT_NE(button, nullptr);
    button->click();
    qt.runtime().Yield();
    EXPECT_EQ(shown_pages(), std::vector<std::string>{c.page}) << c.button.name();
    Grab(std::string("button-") + c.page);
  }

  w.cmdSettings.UserClick();
  auto* tabs = qt.screen().WidgetOf(w.TabStrip1)->findChild<QTabBar*>();
  ASSERT_NE(tabs, nullptr);
  tabs->setCurrentIndex(2);
  qt.runtime().Yield();
  for (forms::Frame* view : w.frmView.Elements()) {
    EXPECT_EQ(qt.screen().WidgetOf(*view)->isVisibleTo(View()->client()), view->index() == 2)
        << view->index();
  }

  w.cmdScan.UserClick();
  QWidget* start = qt.screen().WidgetOf(w.lblStart);
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), start->mapToGlobal(QPointF(5, 5)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(start, &move);
  EXPECT_TRUE(w.lblStart.GetFont().italic);
  EXPECT_TRUE(start->font().italic());
}

TEST_F(FrmMainViewTest, TheCurrentItemStaysOnOneLineCutInTheMiddle) {
  model::FrmMain& w = qt.app().frmMain;
  ShowPage(w.frmScan);
  const std::string tail = "\\the end.dll";
  w.lblStatus(0).SetCaption("Scanning Known Spyware/Adware: \r\nC:\\" + std::string(300, 'x') +
                            tail);
  qt.runtime().Yield();
  auto* label = qobject_cast<QLabel*>(qt.screen().WidgetOf(w.lblStatus(0)));
  ASSERT_NE(label, nullptr);
  const QString shown = label->text();
  EXPECT_FALSE(shown.contains(QChar('\n'))) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("Scanning Known"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QString::fromStdString(tail)));
  EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->width());
  EXPECT_FALSE(label->wordWrap());
}

TEST_F(FrmMainViewTest, TheSkinDrawsTheWindowAndTheListsShowTheirIcons) {
  EXPECT_FALSE(View()->window()->styleSheet().isEmpty());
  EXPECT_EQ(qt.screen().WidgetOf(qt.app().frmMain.lblVersion)->property("hgType").toString(),
            "SkinLabel");
  auto* log = qobject_cast<QTreeWidget*>(qt.screen().WidgetOf(qt.app().frmMain.lvwSpywareFound));
  ASSERT_NE(log, nullptr);
  for (int row = 0; row < log->topLevelItemCount(); ++row)
    EXPECT_FALSE(log->topLevelItem(row)->icon(0).isNull()) << row;
}

TEST_F(FrmMainViewTest, TheSubmitTabShowsTheOutcomeOfWhatWasTyped) {
  model::FrmMain& w = qt.app().frmMain;
  hg_test::HttpTestServer server;
  server.RouteBody("/asp/getData.asp", "Added");
  setenv("HEARTHGUARD_UPDATE_SERVER", server.base_url().c_str(), 1);
  ui::InstallDataSubmission(qt.app());
  ShowOptionsTab(3);
  qt.runtime().Yield();
  auto* box = qt.screen().WidgetOf(w.txtFilename)->findChild<QLineEdit*>();
  ASSERT_NE(box, nullptr);

  QTest::keyClicks(box, "suspect.exe");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(w.Label26.Caption(), "Results: suspect.exe submitted.  Thank you!");
  // One Enter, one submission.
  EXPECT_EQ(server.request_count(), 1u);

  // The longest outcome, for a long name, still shows whole.
  server.RouteBody("/asp/getData.asp", "busy");
  ASSERT_TRUE(w.txtFilename.UserSetText("Sm\xF6rg\xE5sbord Toolbar Updater.exe"));
  QTest::mouseClick(qt.screen().WidgetOf(w.cmdSubmit), Qt::LeftButton);
  qt.runtime().Yield();
  EXPECT_EQ(Misfits(), std::vector<std::string>{});
  Grab("options-update-submitted");
  unsetenv("HEARTHGUARD_UPDATE_SERVER");
}

}  // namespace
}  // namespace view_test
