// Skinning: the skin's colours by control type, the skin control taking the window, the splash
// window as the skin's source, and labels styled in place.

#include "ui/windows/skin.h"

#include <gtest/gtest.h>

#include <string>

#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

constexpr model::SkinColors kColors{
    .back = 0x000102, .fore = 0x000304, .panel = 0x000506, .extra = 0x000708};

// Hands the splash window's skin control over as the splash window's load does.
model::SkinControl& UseSplashSkin(AppFixture& h) {
  model::SkinControl& skin = h.app().frmSplash.Peek().skn;
  skin.SetColors(kColors);
  h.app().skin.objSkin = &skin;
  return skin;
}

TEST(ApplySkin, ColoursTheStandardControlsByType) {
  AppFixture h;
  model::SkinControl& skin = UseSplashSkin(h);
  model::FrmMain& main = h.main();
  const forms::Color label_back = main.Label25.BackColor();
  const forms::Color label_fore = main.Label25.ForeColor();
  const forms::Color button_fore = main.cmdScan.ForeColor();
  const forms::Color frame_back = main.frmStatus.BackColor();

  ui::ApplySkin(h.app(), main);

  EXPECT_TRUE(skin.IsSkinned(main.hWnd()));
  EXPECT_EQ(main.cmdScan.BackColor(), kColors.back);
  EXPECT_EQ(main.cmdScan.ForeColor(), button_fore);
  for (forms::Control* control : {static_cast<forms::Control*>(&main.lvwSpywareFound),
                                  static_cast<forms::Control*>(&main.txtFilename),
                                  static_cast<forms::Control*>(&main.cmbDays)}) {
    SCOPED_TRACE(control->name());
    EXPECT_EQ(control->BackColor(), kColors.back);
    EXPECT_EQ(control->ForeColor(), kColors.fore);
  }
  // Other types keep their colours; the fourth colour goes nowhere.
  EXPECT_EQ(main.Label25.BackColor(), label_back);
  EXPECT_EQ(main.Label25.ForeColor(), label_fore);
  EXPECT_EQ(main.frmStatus.BackColor(), frame_back);
  for (forms::Control* control : main.Controls()) {
    EXPECT_NE(control->BackColor(), kColors.extra) << control->FullName();
    EXPECT_NE(control->ForeColor(), kColors.extra) << control->FullName();
  }
}

TEST(ApplySkin, PictureBoxesTakeThePanelColour) {
  AppFixture h;
  UseSplashSkin(h);
  model::FrmHomePageChangedAlert& alert = h.app().frmHomePageChangedAlert.Peek();
  ui::ApplySkin(h.app(), alert);
  EXPECT_EQ(alert.Picture1.BackColor(), kColors.panel);
  EXPECT_EQ(alert.cmdYes.BackColor(), kColors.back);
}

TEST(ApplySkin, LoadsTheSplashWindowWhenThereIsNoSkinYet) {
  AppFixture h;
  model::App& app = h.app();
  model::FrmSplash& splash = app.frmSplash.Peek();
  int splash_loads = 0;
  splash.on_load = [&] {
    ++splash_loads;
    app.skin.objSkin = &splash.skn;
    splash.Timer2.SetEnabled(true);
    splash.Show();
  };
  model::FrmAbout& about = app.frmAbout.Peek();

  ui::ApplySkin(app, about);

  EXPECT_EQ(splash_loads, 1);
  EXPECT_TRUE(splash.Loaded());
  EXPECT_FALSE(splash.Visible());
  // The start-up count must not run again.
  EXPECT_FALSE(splash.Timer2.Enabled());
  EXPECT_TRUE(splash.skn.IsSkinned(about.hWnd()));
}

TEST(ApplySkin, WithoutAnySkinTheWindowKeepsItsLook) {
  AppFixture h;
  model::FrmMain& main = h.main();
  const forms::Color before = main.cmdScan.BackColor();
  ui::ApplySkin(h.app(), main);
  EXPECT_EQ(main.cmdScan.BackColor(), before);
  EXPECT_TRUE(h.app().frmSplash.Loaded());
  EXPECT_FALSE(h.app().frmSplash.Peek().Visible());
}

TEST(SkinLabels, LabelsAreStyledInPlaceAndNeverCloned) {
  AppFixture h;
  UseSplashSkin(h);
  model::FrmMain& main = h.main();
  const size_t controls_before = main.Controls().size();
  auto skin_main_window = [&] {
    ui::ApplySkin(h.app(), main);
    ui::CloneLabelsAsSkinLabels(main, {&main.SkinLabel1, &main.SkinLabel2, &main.SkinLabel3,
                                       &main.SkinLabel4, &main.SkinLabel5, &main.SkinLabel6});
    ui::ApplySkin(h.app(), main);
  };
  skin_main_window();
  skin_main_window();

  EXPECT_EQ(main.Controls().size(), controls_before);
  EXPECT_EQ(main.SkinLabel1.Count(), 1);
  // In containers that hold a template.
  EXPECT_TRUE(main.IsSkinLabel(main.Label25));
  EXPECT_TRUE(main.IsSkinLabel(main.Label4));
  EXPECT_TRUE(main.IsSkinLabel(main.lblStatus(0)));
  EXPECT_TRUE(main.IsSkinLabel(main.Label11));
  // In containers without one: the form itself, the working frame, the protection sub-page.
  EXPECT_FALSE(main.IsSkinLabel(main.lblHide));
  EXPECT_FALSE(main.IsSkinLabel(main.lblWebText));
  // Already skinned in the design.
  EXPECT_TRUE(main.IsSkinLabel(main.lblDefVersion));

  // What the user sees after a later change is the change: there is no stale twin.
  main.Label25.SetCaption("Version:");
  int showing_old_text = 0;
  for (forms::Control* control : main.Controls()) {
    auto* label = dynamic_cast<forms::Label*>(control);
    if (label && label->Caption() == "This program's version number is:")
      ++showing_old_text;
  }
  EXPECT_EQ(showing_old_text, 0);
  EXPECT_EQ(main.Label25.Caption(), "Version:");
}

TEST(SkinLabels, TheViewHearsWhenALabelBecomesSkinned) {
  AppFixture h;
  model::FrmMain& main = h.main();
  int notices = 0;
  main.Label25.observer = [&notices](forms::Control&) { ++notices; };
  ui::CloneLabelsAsSkinLabels(main, {&main.SkinLabel1});
  ui::CloneLabelsAsSkinLabels(main, {&main.SkinLabel1});
  EXPECT_EQ(notices, 1);
}

TEST(SkinLabels, EveryPlainLabelWhenTheWindowMakesNoContainerTest) {
  AppFixture h;
  model::FrmAbout& about = h.app().frmAbout.Peek();
  ui::CloneLabelsAsSkinLabels(about, {&about.SkinLabel1}, ui::LabelMatch::kEveryLabel);
  for (forms::Label* label : {&about.Label2, &about.Label3, &about.Label4})
    EXPECT_TRUE(about.IsSkinLabel(*label)) << label->name();
}

}  // namespace
