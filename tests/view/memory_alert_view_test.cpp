// The memory alert on screen: filled as the memory shield fills it, placed in the centre of the
// screen, nothing cut off, and a picture saved beside the test run's other output.

#include <gtest/gtest.h>

#include <QLabel>
#include <QScreen>
#include <filesystem>

#include "qt_app.h"
#include "ui/windows/branding.h"
#include "ui/windows/memory_alert.h"

namespace view_test {
namespace {

TEST(MemoryAlertViewTest, ShowsTheDetectionCentredOnTheScreen) {
  QtApp qt;
  model::App& app = qt.app();
  ui::InitBranding(app);
  ui::InstallMemoryAlert(app);
  model::FrmSpywareFoundAlert& alert = *app.frmSpywareFoundAlert;
  alert.lblAlertFileName.SetCaption("EVILAPP.EXE");
  alert.lblAlertCompanyName.SetCaption("No Company name for EVILAPP.EXE");
  alert.Show();
  qt.runtime().Yield();

  view::FormView* view = qt.screen().ViewOf(alert);
  ASSERT_NE(view, nullptr);
  const QRect work = view->window()->screen()->availableGeometry();
  EXPECT_LE((view->window()->frameGeometry().center() - work.center()).manhattanLength(), 4);
  for (forms::Control* control : alert.Controls()) {
    auto* label = qobject_cast<QLabel*>(qt.screen().WidgetOf(*control));
    if (label && label->isVisible() && !label->text().isEmpty()) {
      EXPECT_LE(label->heightForWidth(label->width()), label->height()) << control->FullName();
    }
  }
  qt.SavePicture(alert);
}

}  // namespace
}  // namespace view_test
