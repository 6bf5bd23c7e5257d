#include "ui/main/layout.h"

#include <cmath>
#include <initializer_list>

#include "forms/go_on.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "model/taskbar_button.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "ui/main/scan_run.h"

namespace ui {

namespace {

using forms::Control;

// A window too small for a margin gets a positive size instead of a refused one.
double Positive(double value) {
  return std::abs(value);
}

double Bottom(const Control& control) {
  return control.Top() + control.Height();
}

void SetTop(Control& control, double top) {
  control.SetTop(Positive(top));
}

// Stretches the control to `margin` twips before its container's right edge.
void StretchRight(Control& control, double container_width, double margin) {
  control.SetWidth(Positive(container_width - control.Left() - margin));
}

void LayOutPages(model::FrmMain& w, double width, double height) {
  const double left = Positive(w.cmdScan.Left() + w.cmdScan.Width() + 120);
  const double top = Positive(Bottom(w.Command5) + 120);
  const double page_width = Positive(width - left - 240);
  const double page_height = Positive(height - top - 960);
  for (forms::Frame* page : {&w.frmStatus, &w.frmResults, &w.frmOptions, &w.frmScan})
    page->Move(left, top, page_width, page_height);
}

void LayOutOptionsPage(model::FrmMain& w) {
  forms::TabStrip& tabs = w.TabStrip1;
  tabs.Move(tabs.Left(), tabs.Top(), w.frmOptions.Width(), w.frmOptions.Height());
  for (forms::Frame* view : w.frmView.Elements())
    view->Move(60, 360, Positive(tabs.Width() - 240), Positive(tabs.Height() - 420));
}

void LayOutScanPage(model::FrmMain& w) {
  const double width = w.frmScan.Width();
  const double height = w.frmScan.Height();
  forms::CommandButton& remove = w.cmdRemove;
  remove.Move(Positive(width - remove.Width() - 240), Positive(height - remove.Height() - 240),
              remove.Width(), remove.Height());
  SetTop(w.pb2, remove.Top() - w.pb2.Height() - 60);
  SetTop(w.pb1, w.pb2.Top() - 285);
  StretchRight(w.pb1, width, 240);
  w.pb2.SetWidth(w.pb1.Width());
  w.SkinLabel7.SetTop(w.pb1.Top());
  w.SkinLabel8.SetTop(w.pb2.Top());
  for (forms::Label* status : w.lblStatus.Elements())
    status->SetTop(remove.Top());
  StretchRight(w.lblStatus(0), width, 240);
  forms::ListView& log = w.lvwSpywareFound;
  StretchRight(log, width, 240);
  log.SetHeight(Positive(w.pb1.Top() - log.Top() - 120));
}

void LayOutResultsPage(model::FrmMain& w) {
  forms::ListView& list = w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  list.Move(list.Left(), list.Top(), Positive(w.frmResults.Width() - 2 * list.Left()),
            Positive(w.frmResults.Height() - list.Top() - w.cmdSelectAll.Height() - 240));
  const double buttons_top = Positive(Bottom(list) + 120);
  for (Control* control : std::initializer_list<Control*>{&w.cmdSelectAll, &w.cmdExclude,
                                                          &w.Command4, &w.pgbDeleteSpywaresFound})
    control->SetTop(buttons_top);
  StretchRight(w.pgbDeleteSpywaresFound, list.Width(), 0);
  SetTop(w.lblDeletingPercentageCompleted, Bottom(w.pgbDeleteSpywaresFound) + 5);
  SetTop(w.lblDeletingCaption, Bottom(w.lblDeletingPercentageCompleted) + 100);
  StretchRight(w.lblDeletingPercentageCompleted, list.Width(), 0);
  StretchRight(w.lblDeletingCaption, list.Width(), 0);
}

// A list's two-pixel sunken edge on each side and its vertical scroll bar's 16 pixels, in twips.
constexpr double kListFrameAndScrollBar = (2 + 2 + 16) * 15;

// Column widths the user set survive while the list is at most 2000 twips wider than them;
// otherwise the three columns share the width inside the list's frame and scroll bar a
// quarter, a half and a quarter, so that no horizontal scroll bar shows. A layout that leaves
// the list as wide as it was (the window back from the tray) leaves them as they are.
void FitThreatColumns(forms::ListView& list, double& laid_out_width) {
  if (list.Width() == laid_out_width)
    return;
  laid_out_width = list.Width();
  double sum = 0;
  for (int column = 0; column < 3 && column < list.ColumnCount(); ++column)
    sum += list.Columns()[column].width;
  const double width = list.Width();
  if (sum <= width && width <= sum + 2000)
    return;
  const double inside = Positive(width - kListFrameAndScrollBar);
  list.SetColumnWidth(0, inside / 4);
  list.SetColumnWidth(1, inside / 2);
  list.SetColumnWidth(2, inside / 4);
}

// The group must stay off while such work runs: switching it on would let a shield or the
// scheduler start inside it.
bool LongTaskRunning(const model::App& app) {
  return model::IsScanRunning(app) || IsScanBlocked(app);
}

void EnterBackground(model::App& app) {
  model::FrmMain& w = app.frmMain;
  forms::GoOnPastFailure([&] {
    if (!LongTaskRunning(app))
      model::ApplyTimerSettings(app, true);
  });
  forms::GoOnPastFailure([&] { w.tmrScroll.SetEnabled(false); });
  forms::GoOnPastFailure([&] { model::UpdateTaskbarButton(app); });
}

void EnterForeground(model::App& app) {
  model::FrmMain& w = app.frmMain;
  forms::GoOnPastFailure([&] { w.tmrScroll.SetEnabled(true); });
  // Only the home-page shield's next tick switches these two on again; without it running
  // they keep what the options say.
  forms::GoOnPastFailure([&] {
    if (w.tmrCheckHomePage.Enabled()) {
      w.tmrScheduler.SetEnabled(false);
      w.tmrMemoryInspected.SetEnabled(false);
    }
  });
  forms::GoOnPastFailure([&] { model::UpdateTaskbarButton(app); });
}

// A window on screen is no longer in the tray, also when it came back maximised. A drag resizes
// many times a second: the key is written only when it changes.
void RecordBackOnScreen(model::App& app) {
  const model::FrmMain& w = app.frmMain;
  if (w.Visible() && w.GetWindowState() != forms::WindowState::kMinimized &&
      model::ReadUserSetting(app, "Settings", model::kMinimizedKey, "") != "No")
    model::WriteUserSetting(app, "Settings", model::kMinimizedKey, "No");
}

}  // namespace

void LayoutControls(model::App& app) {
  model::FrmMain& w = app.frmMain;
  if (!w.Visible() || w.GetWindowState() == forms::WindowState::kMinimized)
    return;
  const double width = w.Width();
  const double height = w.Height();
  StretchRight(w.cmdWebsite, width, 200);
  w.Frame.SetTop(Positive(height + 1000));
  LayOutPages(w, width, height);
  LayOutOptionsPage(w);
  LayOutScanPage(w);
  LayOutResultsPage(w);
  FitThreatColumns(w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved, w.dblThreatListLaidOutWidth);
}

void Form_Resize(model::App& app) {
  forms::GoOnPastFailure([&] { LayoutControls(app); });
  if (app.frmMain.GetWindowState() == forms::WindowState::kNormal)
    EnterForeground(app);
  else
    EnterBackground(app);
  forms::GoOnPastFailure([&] { RecordBackOnScreen(app); });
}

void InstallLayout(model::App& app) {
  app.frmMain.on_resize = [&app] { Form_Resize(app); };
}

}  // namespace ui
