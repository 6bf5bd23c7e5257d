// The branding values come from the executable's version information.

#include "ui/windows/branding.h"

#include <gtest/gtest.h>

#include "services/prompts.h"
#include "support/app_fixture.h"

namespace {

TEST(Branding, FilledFromTheVersionInformation) {
  machine::VersionInfo version = hg_test::TestVersionInfo();
  version.product_name = "Shield Pro 7";
  version.company_name = "Example Works, Inc.";
  version.comments = "www.shield.example/pro";
  hg_test::AppFixture h(version);
  model::App& app = h.app();
  app.branding.bUseSkin = false;
  app.branding.bUseSplashIcon = true;

  ui::InitBranding(app);

  EXPECT_EQ(app.branding.strProductName, "Shield Pro 7");
  EXPECT_EQ(app.branding.strCompanyName, "Example Works, Inc.");
  EXPECT_EQ(app.branding.strWebsite, "www.shield.example/pro");
  EXPECT_TRUE(app.branding.bUseSkin);
  EXPECT_FALSE(app.branding.bUseSplashIcon);
}

TEST(Branding, UntitledMessageBoxesCarryTheProductName) {
  machine::VersionInfo version = hg_test::TestVersionInfo();
  version.product_name = "Shield Pro 7";
  hg_test::AppFixture h(version);
  ui::InitBranding(h.app());
  h.backend.ExpectMsgBox(services::vbOK);
  h.app().system.prompter->MsgBox("Done.", services::vbOKOnly, "");
  ASSERT_EQ(h.backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(h.backend.MessageBoxes()[0].title, "Shield Pro 7");
}

}  // namespace
