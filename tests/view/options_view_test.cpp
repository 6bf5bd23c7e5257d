// The options page on screen: the send-data question by mouse and by keyboard, the schedule's
// controls reaching their handlers, and a picture of each sub-page.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <string>

#include "engine/scan/drive_list.h"
#include "qt_app.h"
#include "services/settings_store.h"
#include "ui/main/options_page.h"
#include "ui/main/scheduler.h"
#include "ui/windows/branding.h"
#include "ui/windows/skin.h"

namespace view_test {
namespace {

class OptionsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model::App& app = qt.app();
    ui::InitBranding(app);
    w().Load();
    ui::InstallOptionsPage(app);
    ui::InstallScheduler(app);
    engine::ListDrives(app);
    ui::LoadSchedule(app);
    ui::LoadOptionSettings(app);
    ui::ApplySkin(app, w());
    w().Show();
    w().frmStatus.SetVisible(false);
    w().frmOptions.SetVisible(true);
  }

  model::FrmMain& w() { return qt.app().frmMain; }
  void ShowTab(int tab) {
    w().TabStrip1.SetSelectedIndex(tab);
    for (forms::Frame* view : w().frmView.Elements())
      view->SetVisible(view->index() == tab);
    qt.runtime().Yield();
  }
  template <class W>
  W* Widget(const forms::Control& control) {
    return qobject_cast<W*>(qt.screen().WidgetOf(control));
  }
  std::string Stored(std::string_view key) {
    return services::ReadSetting(qt.app().system, qt.app().SettingsApplication(),
                                 "OptionAndSettings", key, "(none)");
  }

  QtApp qt;
};

TEST_F(OptionsViewTest, TheSendDataQuestionComesByMouseAndByKeyboardAlike) {
  ShowTab(0);
  QCheckBox* box = Widget<QCheckBox>(w().chkSendData);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->isChecked());
  std::vector<std::string> asked;
  const auto answer = [&](QMessageBox::StandardButton button) {
    AnswerNext<QMessageBox>([&asked, button](QMessageBox& question) {
      EXPECT_TRUE(question.text().contains("the only information sent is executable names"));
      asked.push_back(question.windowTitle().toStdString());
      question.button(button)->click();
    });
  };

  answer(QMessageBox::No);
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(w().chkSendData.Value(), forms::kChecked);
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(Stored("chkSendData"), "1");

  box->setFocus();
  answer(QMessageBox::Yes);
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(w().chkSendData.Value(), forms::kUnchecked);
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(Stored("chkSendData"), "0");

  // Ticking asks nothing.
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(Stored("chkSendData"), "1");
  EXPECT_EQ(asked, (std::vector<std::string>(2, std::string(ui::kSendDataQuestionTitle))));
}

TEST_F(OptionsViewTest, EachSubPageShowsWhole) {
  ShowTab(2);
  auto* days = Widget<QComboBox>(w().cmbDays);
  ASSERT_NE(days, nullptr);
  EXPECT_FALSE(days->isEnabled());
  QTest::mouseClick(Widget<QCheckBox>(w().chkAutomaticScanYesOrNo), Qt::LeftButton);
  EXPECT_TRUE(w().tmrScheduler.Enabled());
  EXPECT_TRUE(days->isEnabled());
  EXPECT_TRUE(Widget<QPushButton>(w().CmdProceed)->isEnabled());

  for (int tab = 0; tab < 4; ++tab) {
    ShowTab(tab);
    qt.SavePicture(w(), "FrmMain-options-" + std::to_string(tab));
  }
  EXPECT_TRUE(qt.runtime().RefusedActions().empty());
}

TEST_F(OptionsViewTest, EveryKindOfControlLooksDisabledUnderTheSkin) {
  w().txtFilename.SetText("tool.exe");
  w().dtpScheduleTime.SetValue(machine::DateTime{2026, 7, 1, 9, 30, 0});
  forms::Control* const controls[] = {&w().cmbDays,         &w().txtFilename,
                                      &w().dtpScheduleTime, &w().CmdProceed,
                                      &w().chkAutoDel,      &w().optScanOnlyKnownSoftwares};
  // The darkest pixels left of a control's arrows are its text, which a disabled control greys.
  const auto darkest = [this](const forms::Control& control) {
    const QImage image = qt.screen().WidgetOf(control)->grab().toImage();
    int gray = 255;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width() * 2 / 3; ++x)
        if (qAlpha(image.pixel(x, y)) == 255)
          gray = std::min(gray, qGray(image.pixel(x, y)));
    return gray;
  };
  for (forms::Control* control : controls) {
    control->SetEnabled(true);
    const int enabled = darkest(*control);
    control->SetEnabled(false);
    EXPECT_GE(darkest(*control), enabled + 60) << control->name();
  }
}

}  // namespace
}  // namespace view_test
