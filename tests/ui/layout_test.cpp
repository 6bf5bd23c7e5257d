// The main window's layout and its window states: where the rules put the controls, when the
// threat list's columns are reset, and what each state does to the timers and the taskbar.

#include "ui/main/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "model/timer_group.h"
#include "model/user_settings.h"
#include "support/app_fixture.h"

namespace {

using forms::WindowState;

struct Rect {
  double left, top, width, height;
  friend bool operator==(const Rect&, const Rect&) = default;
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

Rect RectOf(const forms::Control& c) {
  return {c.Left(), c.Top(), c.Width(), c.Height()};
}

class LayoutTest : public ::testing::Test {
 protected:
  LayoutTest() {
    ui::InstallLayout(h.app());
    main.Load();
  }

  std::map<std::string, Rect> Rects() {
    std::map<std::string, Rect> rects;
    for (const forms::Control* c : main.Controls())
      rects[c->FullName()] = RectOf(*c);
    return rects;
  }
  std::string Setting(std::string_view section, std::string_view key) {
    return services::ReadSetting(h.app().system, h.app().SettingsApplication(), section, key,
                                 "<none>");
  }

  hg_test::AppFixture h;
  model::FrmMain& main = h.main();
  forms::ListView& threats = main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
};

// At the smallest size the view allows, the rules put every control where the design has it.
TEST_F(LayoutTest, AtTheMinimumSizeTheRulesKeepTheDesign) {
  const std::map<std::string, Rect> design = Rects();
  main.Move(0, 0, ui::kMainWindowMinWidth, ui::kMainWindowMinHeight);
  main.Show();
  EXPECT_EQ(Rects(), design);
}

TEST_F(LayoutTest, ALargeWindowStretchesPagesListsAndBars) {
  main.Show();
  main.Move(0, 0, 20000, 14000);
  const double page_width = 20000 - 1815 - 240;
  const double page_height = 14000 - 855 - 960;
  const double remove_top = page_height - 375 - 240;
  const double list_width = page_width - 480;
  const double list_height = page_height - 720 - 375 - 240;
  const std::tuple<forms::Control*, Rect> expected[] = {
      {&main.cmdWebsite, {1815, 360, 20000 - 1815 - 200, 375}},
      {&main.Frame, {0, 15000, 10800, 3000}},
      {&main.frmStatus, {1815, 855, page_width, page_height}},
      {&main.TabStrip1, {0, 0, page_width, page_height}},
      {&main.frmView(3), {60, 360, page_width - 240, page_height - 420}},
      {&main.cmdRemove, {page_width - 2400 - 240, remove_top, 2400, 375}},
      {&main.pb2, {1560, remove_top - 255 - 60, page_width - 1560 - 240, 255}},
      {&main.pb1, {1560, remove_top - 255 - 60 - 285, page_width - 1560 - 240, 255}},
      {&main.lblStatus(0), {1080, remove_top, page_width - 1080 - 240, 255}},
      {&main.lvwSpywareFound,
       {240, 2880, page_width - 480, remove_top - 255 - 60 - 285 - 2880 - 120}},
      {&threats, {240, 720, list_width, list_height}},
      {&main.pgbDeleteSpywaresFound, {4245, 720 + list_height + 120, list_width - 4245, 255}},
      {&main.lblDeletingCaption,
       {4245, 720 + list_height + 120 + 255 + 5 + 255 + 100, list_width - 4245, 255}},
  };
  for (const auto& [control, rect] : expected)
    EXPECT_EQ(RectOf(*control), rect) << control->FullName();
  EXPECT_EQ(threats.Columns()[1].width, (list_width - 300) / 2);
}

TEST_F(LayoutTest, ATinyWindowGetsNoNegativeSize) {
  main.Show();
  main.Move(0, 0, 900, 600);
  for (const forms::Control* c : main.Controls()) {
    EXPECT_GE(c->Width(), 0) << c->FullName();
    EXPECT_GE(c->Height(), 0) << c->FullName();
    EXPECT_GE(c->Top(), 0) << c->FullName();
  }
}

TEST_F(LayoutTest, NothingMovesWhileMinimisedOrHidden) {
  const std::map<std::string, Rect> design = Rects();
  main.Move(0, 0, 20000, 14000);  // hidden
  EXPECT_EQ(Rects(), design);
  main.Show();
  main.SetWindowState(WindowState::kMinimized);
  const std::map<std::string, Rect> before = Rects();
  main.Move(0, 0, 15000, 12000);
  EXPECT_EQ(Rects(), before);
}

// The list is as wide as the window less 2535 twips; its three columns sum to 3000 here.
TEST_F(LayoutTest, UserColumnWidthsSurviveUnlessTheListIsNarrowerOrMuchWider) {
  struct Case {
    double list_width;
    bool kept;
  };
  const Case cases[] = {{3000, true}, {5000, true}, {5001, false}, {2999, false}};
  main.Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list_width);
    for (int column = 0; column < 3; ++column)
      threats.SetColumnWidth(column, 1000);
    main.Move(0, 0, c.list_width + 2535, 9000);
    ASSERT_EQ(threats.Width(), c.list_width);
    // Shared out inside the list's frame and vertical scroll bar (300 twips).
    const double inside = c.list_width - 300;
    const double expected[] = {c.kept ? 1000 : inside / 4, c.kept ? 1000 : inside / 2,
                               c.kept ? 1000 : inside / 4};
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(threats.Columns()[column].width, expected[column]) << column;
    // To the tray and back: the list keeps its width, and the columns theirs.
    threats.SetColumnWidth(0, 9000);
    main.SetWindowState(WindowState::kMinimized);
    main.SetWindowState(WindowState::kNormal);
    EXPECT_EQ(threats.Columns()[0].width, 9000);
    main.Move(0, 0, 4000, 4000);  // a different size for the next case
  }
}

class WindowStateTest : public LayoutTest {
 protected:
  WindowStateTest() {
    h.Save(model::kOptionsSection, "chkAutomaticScanYesOrNo", "1");
    main.Show();
    model::ApplyTimerSettings(h.app(), true);
  }
  std::string Group() {
    std::string s;
    for (forms::Timer* t : {&main.tmrScheduler, &main.tmrCheckHomePage, &main.tmrMemoryInspected})
      s += t->Enabled() ? '1' : '0';
    return s;
  }
};

// The state table, with the tray icon in or not (the taskbar button goes only with it in,
// also when the start-up took it away before).
TEST_F(WindowStateTest, EachStateSwitchesTimersTaskbarAndTheMinimizedKey) {
  struct Case {
    WindowState state;
    bool tray_icon;
    const char* group;  // scheduler, home page, memory
    bool scroll;
    bool task_visible;
    const char* minimized;
    bool task_visible_before = true;
  };
  const Case cases[] = {
      {WindowState::kMinimized, false, "111", false, true, "<none>"},
      {WindowState::kMinimized, false, "111", false, true, "<none>", false},
      {WindowState::kMinimized, true, "111", false, false, "<none>"},
      {WindowState::kMaximized, true, "111", false, false, "No"},
      {WindowState::kMaximized, false, "111", false, true, "No"},
      {WindowState::kNormal, true, "010", true, true, "No"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.state));
    if (c.tray_icon)
      h.app().objTray.ShowIcon(main);
    else
      h.app().objTray.RemoveIcon(main);
    h.Save("Settings", model::kMinimizedKey, "<none>");
    model::ApplyTimerSettings(h.app(), false);
    main.SetWindowState(c.state == WindowState::kNormal ? WindowState::kMinimized
                                                        : WindowState::kNormal);
    model::ApplyTimerSettings(h.app(), true);
    h.runtime().SetTaskVisible(c.task_visible_before);
    h.Save("Settings", model::kMinimizedKey, "<none>");
    main.tmrScroll.SetEnabled(!c.scroll);

    main.SetWindowState(c.state);
    EXPECT_EQ(Group(), c.group);
    EXPECT_EQ(main.tmrScroll.Enabled(), c.scroll);
    EXPECT_EQ(h.runtime().TaskVisible(), c.task_visible);
    EXPECT_EQ(Setting("Settings", model::kMinimizedKey), c.minimized);
  }
}

// With the home-page shield off nothing would switch the scheduler and the memory shield on
// again: the normal size leaves them as the options say.
TEST_F(WindowStateTest, NormalSizeKeepsTheScheduleAndMemoryShieldWithoutTheHomePageShield) {
  h.Save(model::kOptionsSection, "optIEHomePageSheildOn", "False");
  main.SetWindowState(WindowState::kMinimized);
  ASSERT_EQ(Group(), "101");
  main.SetWindowState(WindowState::kNormal);
  EXPECT_EQ(Group(), "101");
}

// Minimising or maximising inside a scan, a removal, a Live Update or a shield tick leaves the
// group off.
TEST_F(WindowStateTest, MinimisingInsideLongWorkLeavesTheGroupOff) {
  model::App& app = h.app();
  bool scan = false;
  for (bool* running : {&scan, &app.scan.bRemovalRunning, &app.scan.bLiveUpdateRunning,
                        &app.shields.bShieldTickRunning}) {
    main.SetWindowState(WindowState::kNormal);
    *running = true;
    main.cmdScanNow.SetEnabled(!scan);
    main.cmdScan.SetEnabled(!scan);
    model::ApplyTimerSettings(app, false);
    for (WindowState state : {WindowState::kMaximized, WindowState::kMinimized}) {
      main.SetWindowState(state);
      EXPECT_EQ(Group(), "000");
    }
    *running = false;
  }
}

}  // namespace
