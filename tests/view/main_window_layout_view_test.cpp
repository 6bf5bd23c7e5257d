// The main window on screen: the user's resizes and state changes reach the model, the model's
// layout moves the widgets, the window never gets smaller than its minimum, and it leaves the
// taskbar only while its tray icon can bring it back.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>
#include <QTreeWidget>

#include "engine/definitions/status_labels.h"
#include "model/result_rows.h"
#include "model/timer_group.h"
#include "qt_app.h"
#include "ui/main/layout.h"
#include "ui/windows/branding.h"
#include "ui/windows/skin.h"
#include "view/twips.h"

namespace view_test {
namespace {

class MainWindowLayoutViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model::App& app = qt.app();
    ui::InitBranding(app);
    ui::InstallLayout(app);
    main.Load();
    ui::ApplySkin(app, main);
    main.SetCaption("Hearthguard by Hearthguard Software");
    main.cmdWebsite.SetCaption("Visit www.hearthguard.example");
    model::RowView<model::ThreatRow> threats(main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    for (int i = 0; i < 12; ++i)
      threats.Add({"Threat " + std::to_string(i), "C:\\Bad\\item" + std::to_string(i) + ".dll",
                   "File", model::ThreatIconKind::kFile, true});
    main.Show();
    ASSERT_NE(Window(), nullptr);
  }

  QMainWindow* Window() {
    view::FormView* view = qt.screen().ViewOf(main);
    return view ? view->window() : nullptr;
  }
  QWidget* WidgetOf(const forms::Control& control) { return qt.screen().WidgetOf(control); }
  void ShowResults() {
    for (forms::Frame* page : {&main.frmStatus, &main.frmScan, &main.frmOptions})
      page->SetVisible(false);
    main.frmResults.SetVisible(true);
  }
  Qt::WindowType Kind() { return Window()->windowType(); }

  QtApp qt;
  model::FrmMain& main = qt.app().frmMain;
};

TEST_F(MainWindowLayoutViewTest, TheUsersResizeLaysOutTheWidgetsAndTheMinimumHolds) {
  ShowResults();
  Window()->resize(1100, 800);
  qt.runtime().Yield();
  const int page_width = view::TwipsToPixels(main.Width() - 1815 - 240);
  EXPECT_GT(main.Width(), 16000);
  EXPECT_EQ(WidgetOf(main.frmResults)->width(), page_width);
  // The threat list's columns fill it beside its vertical scroll bar, without a horizontal one.
  auto* threats =
      qobject_cast<QTreeWidget*>(WidgetOf(main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved));
  ASSERT_NE(threats, nullptr);
  EXPECT_FALSE(threats->horizontalScrollBar()->isVisible());
  qt.SavePicture(main, "FrmMain-large");

  Window()->resize(50, 50);
  qt.runtime().Yield();
  EXPECT_EQ(main.Width(), ui::kMainWindowMinWidth);
  EXPECT_EQ(main.Height(), ui::kMainWindowMinHeight);
  EXPECT_EQ(WidgetOf(main.frmResults)->width(), view::TwipsToPixels(8745));
  EXPECT_FALSE(threats->horizontalScrollBar()->isVisible());
  // The first column's caption fits whole, beside the header's padding of 4 pixels a side, in
  // the font of the viewport the header draws on.
  const QFontMetrics header_font(threats->header()->viewport()->font());
  EXPECT_LE(header_font.horizontalAdvance(threats->headerItem()->text(0)) + 2 * 4,
            threats->header()->sectionSize(0));
  qt.SavePicture(main, "FrmMain-minimum");
}

// State changes by the user reach the model. A tool window has no taskbar button; without a
// tray on the desktop the window keeps its button.
TEST_F(MainWindowLayoutViewTest, TheWindowLeavesTheTaskbarOnlyWhileATrayCanBringItBack) {
  qt.app().objTray.ShowIcon(main);
  for (bool tray : {true, false}) {
    SCOPED_TRACE(tray);
    qt.screen().tray_available = [tray] { return tray; };
    model::ApplyTimerSettings(qt.app(), true);
    Window()->setWindowState(Qt::WindowMinimized);  // as the title bar does it
    qt.runtime().Yield();
    EXPECT_EQ(main.GetWindowState(), forms::WindowState::kMinimized);
    EXPECT_TRUE(main.tmrMemoryInspected.Enabled());
    EXPECT_FALSE(qt.runtime().TaskVisible());
    // With a tray it leaves the screen and the taskbar; its tray icon brings it back.
    EXPECT_EQ(Window()->isVisible(), !tray);
    main.SetWindowState(forms::WindowState::kNormal);  // as the tray icon does it
    qt.runtime().Yield();
    EXPECT_EQ(main.GetWindowState(), forms::WindowState::kNormal);
    EXPECT_FALSE(main.tmrMemoryInspected.Enabled());
    EXPECT_EQ(Kind(), Qt::Window);
    EXPECT_TRUE(Window()->isVisible());
  }
}

}  // namespace
}  // namespace view_test
