// The status page's value labels.

#include "engine/definitions/status_labels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "machine/user_number_format.h"
#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

TEST(StatusLabels, NothingSavedAndNoDateFile) {
  AppFixture h;
  engine::RefreshStatusLabels(h.app());
  model::FrmMain& main = h.main();
  EXPECT_EQ(main.lblDefCount.Caption(), "0");
  EXPECT_EQ(main.lblVersion.Caption(), "1.0");
  EXPECT_EQ(main.lblDefVersion.Caption(), "3/16/2006 12:00:00 AM PST");
  EXPECT_EQ(main.lblDefRemoved.Caption(), "0");
  EXPECT_EQ(main.lblLastScan.Caption(), "Never");
  EXPECT_EQ(main.lblLastFullScan.Caption(), "Never");
}

TEST(StatusLabels, ShowsTheSourcesAsTheyAreNow) {
  AppFixture h;
  model::FrmMain& main = h.main();
  h.WriteProgramFile("date.dat", "4/2/2007 9:15:00 PM\r\n");
  h.Save("Settings", "lblDefRemoved", "17");
  h.Save("Settings", "lblLastScan", "4/3/2007 10:00:00 AM");
  h.app().definitions.lngTotalDefinitions = 1234567;
  engine::RefreshStatusLabels(h.app());
  EXPECT_EQ(main.lblDefCount.Caption(), "1,234,567");
  EXPECT_EQ(main.lblDefVersion.Caption(), "4/2/2007 9:15:00 PM PST");
  EXPECT_EQ(main.lblDefRemoved.Caption(), "17");
  EXPECT_EQ(main.lblLastScan.Caption(), "4/3/2007 10:00:00 AM");
  EXPECT_EQ(main.lblLastFullScan.Caption(), "Never");

  // Nothing is kept between calls: a changed source shows at the next refresh.
  h.Save("Settings", "lblLastFullScan", "4/4/2007");
  h.app().definitions.lngTotalDefinitions = 0;
  engine::RefreshStatusLabels(h.app());
  EXPECT_EQ(main.lblLastFullScan.Caption(), "4/4/2007");
  EXPECT_EQ(main.lblDefCount.Caption(), "0");
}

TEST(StatusLabels, AnEmptyDateFileCountsAsAbsent) {
  AppFixture h;
  h.WriteProgramFile("date.dat", "");
  engine::RefreshStatusLabels(h.app());
  EXPECT_EQ(h.main().lblDefVersion.Caption(), "3/16/2006 12:00:00 AM PST");
}

TEST(StatusLabels, VersionIsMajorDotMinorWithoutLeadingZeros) {
  machine::VersionInfo version = hg_test::TestVersionInfo();
  version.major = 2;
  version.minor = 12;
  AppFixture h(version);
  engine::RefreshStatusLabels(h.app());
  EXPECT_EQ(h.main().lblVersion.Caption(), "2.12");
}

// The user's locale as the environment names it, for as long as this lives.
class UserLocale {
 public:
  explicit UserLocale(const char* name) {
    if (const char* previous = std::getenv("LC_ALL"))
      previous_ = previous;
    ::setenv("LC_ALL", name, 1);
  }
  ~UserLocale() {
    if (previous_)
      ::setenv("LC_ALL", previous_->c_str(), 1);
    else
      ::unsetenv("LC_ALL");
  }
  UserLocale(const UserLocale&) = delete;
  UserLocale& operator=(const UserLocale&) = delete;

 private:
  std::optional<std::string> previous_;
};

TEST(GroupedNumber, GroupsThousandsAsTheUserLocaleSaysAndKeepsTheSign) {
  struct Case {
    int64_t value;
    const char* text;
    const char* locale = "C";  // groups nothing: the US form
  };
  const Case cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1,000"},
      {1234567, "1,234,567"},
      {100000, "100,000"},
      {-1234, "-1,234"},
      {-999, "-999"},
      {std::numeric_limits<int64_t>::min(), "-9,223,372,036,854,775,808"},
      {100000, "100.000", "de_DE.UTF-8"},
      {-1234567, "-1.234.567", "de_DE.UTF-8"},
      {100000, "100,000", "xx_NOWHERE.UTF-8"},
  };
  for (const Case& c : cases) {
    const UserLocale locale(c.locale);
    EXPECT_EQ(machine::FormatGroupedForUser(c.value), c.text) << c.value << " " << c.locale;
  }
}

}  // namespace
