#include "engine/scan/cookie_stage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/blocked_cookie_line.h"
#include "engine/scan/cookie_domain.h"
#include "machine/csidl.h"
#include "model/result_rows.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"

namespace {

using model::ThreatIconKind;

const std::string kProgramFolder = "C:\\Program Files\\Hearthguard\\";
const std::string kCookies = "C:\\Documents and Settings\\Owner\\Cookies\\";

std::string Encoded(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += services::EncodeText(line) + "\r\n";
  return text;
}

class CookieStageTest : public ::testing::Test {
 protected:
  CookieStageTest() {
    // A scan is running: both scan buttons are disabled.
    app().frmMain.cmdScanNow.SetEnabled(false);
    app().frmMain.cmdScan.SetEnabled(false);
    app().scan.strScanPhaseCaption = "Detecting Cookies: ";
  }

  void Block(const std::vector<std::string>& lines) {
    fixture_.temp.WriteFile(kProgramFolder + "BlockedCookies.dat", Encoded(lines));
  }
  void Cookie(const std::string& name, const std::string& content) {
    fixture_.temp.WriteFile(kCookies + name, content);
  }
  void Exclude(const std::string& entries) {
    fixture_.temp.WriteFile(kProgramFolder + "ENoSignature.txt", entries);
    ASSERT_TRUE(engine::LoadIgnoreList(app()));
  }

  int32_t Run() {
    int32_t walked = 0;
    engine::ScanCookies(app(), walked);
    return walked;
  }

  std::vector<std::pair<std::string, ThreatIconKind>> ScanLog() {
    std::vector<std::pair<std::string, ThreatIconKind>> rows;
    model::RowView<model::ScanLogRow> log(app().frmMain.lvwSpywareFound);
    for (int i = 0; i < log.Count(); ++i)
      rows.emplace_back(log[i].message, log[i].icon);
    return rows;
  }
  std::vector<std::string> Targets() {
    std::vector<std::string> rows;
    model::RowView<model::CookieTargetRow> targets(app().frmMain.lvwCookiesToDelete);
    for (int i = 0; i < targets.Count(); ++i) {
      EXPECT_EQ(targets[i].cookie_location, "");
      rows.push_back(targets[i].cookie_path);
    }
    return rows;
  }
  std::vector<model::ThreatRow> Threats() {
    std::vector<model::ThreatRow> rows;
    model::RowView<model::ThreatRow> threats(
        app().frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    for (int i = 0; i < threats.Count(); ++i)
      rows.push_back(threats[i]);
    return rows;
  }

  model::App& app() { return fixture_.app(); }

  hg_test::AppFixture fixture_;
};

TEST_F(CookieStageTest, BlockedCookiesInTheCookieFolder) {
  Block({
      "acme-searchbar.example",
      "*tracker.example",
      "*.wildcard.example",
      "Ads.Example",
      "",
      "*",
  });
  Cookie("owner@acme-searchbar[1].txt", "id\n4411\nacme-searchbar.example/\n1536\n");
  // The host item begins with "www." while the name's site lacks it.
  Cookie("owner@tracker[2].txt", "id,7\r\nwww.tracker.example/path,1536\r\n");
  Cookie("owner@wildcard[1].txt", "id\nwildcard.example/\n");
  // A counter in round brackets.
  Cookie("owner@Ads(1).txt", "x\nAds.Example/\n");
  Cookie("owner@news.example[1].txt", "id\nnews.example/\n");
  // No item holds the site followed by "/".
  Cookie("owner@acme-searchbar[2].txt", "acme-searchbar.example\n");
  // Its domain reduces to nothing: the empty entries must not block it.
  Cookie("owner@www.[1].txt", "www../\n");
  Cookie("index.dat", "binary");
  // Only the files directly in the folder are walked.
  Cookie("Sub\\owner@acme-searchbar[3].txt", "acme-searchbar.example/\n");

  EXPECT_EQ(Run(), 8);

  const std::vector<std::pair<std::string, ThreatIconKind>> expected_log = {
      {"Cookie Found: owner@acme-searchbar[1].txt", ThreatIconKind::kCookie},
      {"Cookie Found: owner@Ads(1).txt", ThreatIconKind::kCookie},
      {"Cookie Found: owner@tracker[2].txt", ThreatIconKind::kCookie},
  };
  EXPECT_EQ(ScanLog(), expected_log);
  const std::vector<std::string> expected_targets = {
      kCookies + "owner@acme-searchbar[1].txt",
      kCookies + "owner@Ads(1).txt",
      kCookies + "owner@tracker[2].txt",
  };
  EXPECT_EQ(Targets(), expected_targets);

  const std::vector<model::ThreatRow> threats = Threats();
  ASSERT_EQ(threats.size(), 3u);
  EXPECT_EQ(threats[0].name, "Cookie: owner@acme-searchbar[1].txt");
  EXPECT_EQ(threats[0].location, kCookies + "owner@acme-searchbar[1].txt");
  EXPECT_EQ(threats[0].type, "Tracking Cookie");
  EXPECT_EQ(threats[0].icon, ThreatIconKind::kCookie);
  EXPECT_FALSE(threats[0].checked);
  EXPECT_EQ(app().scan.lngThreatsFound, 3);
  // The upper bound of the blocked list: its number of lines.
  EXPECT_EQ(app().scan.lngMemoryItemsInspected, 6);
}

TEST_F(CookieStageTest, ExcludedCookieIsOnlyLogged) {
  Block({"acme-searchbar.example"});
  Cookie("owner@acme-searchbar[1].txt", "acme-searchbar.example/\n");
  Cookie("owner@acme-searchbar[2].txt", "acme-searchbar.example/\n");
  Exclude("c:\\documents and settings\\owner\\cookies\\OWNER@ACME-SEARCHBAR[1].TXT\r\n");
  EXPECT_EQ(Run(), 2);
  const std::vector<std::pair<std::string, ThreatIconKind>> expected_log = {
      {"EXCLUDED: " + kCookies + "owner@acme-searchbar[1].txt", ThreatIconKind::kExcluded},
      {"Cookie Found: owner@acme-searchbar[2].txt", ThreatIconKind::kCookie},
  };
  EXPECT_EQ(ScanLog(), expected_log);
  EXPECT_EQ(Targets().size(), 1u);
  EXPECT_EQ(Threats().size(), 1u);
  EXPECT_EQ(app().scan.lngThreatsFound, 1);
}

TEST_F(CookieStageTest, WithoutBlockedListEveryFileIsStillCounted) {
  Cookie("owner@acme-searchbar[1].txt", "acme-searchbar.example/\n");
  Cookie("owner@other[1].txt", "other.example/\n");
  app().scan.lngMemoryItemsInspected = 5;
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(app().frmMain.lvwSpywareFound.Count(), 0);
  EXPECT_EQ(app().scan.lngMemoryItemsInspected, 0);
}

TEST_F(CookieStageTest, CookieFoundWhenNoScanRunsEndsTheWalk) {
  Block({"a.example", "b.example"});
  Cookie("owner@a[1].txt", "a.example/\n");
  Cookie("owner@b[1].txt", "b.example/\n");
  // One scan button enabled is enough to say that no scan runs.
  app().frmMain.cmdScan.SetEnabled(true);
  EXPECT_EQ(Run(), 1);
  const std::vector<std::pair<std::string, ThreatIconKind>> expected_log = {
      {"Cookie Found: owner@a[1].txt", ThreatIconKind::kCookie}};
  EXPECT_EQ(ScanLog(), expected_log);
  EXPECT_TRUE(Targets().empty());
  EXPECT_TRUE(Threats().empty());
  EXPECT_EQ(app().scan.lngThreatsFound, 0);
}

TEST_F(CookieStageTest, StopEndsTheWalk) {
  Block({"a.example"});
  Cookie("owner@a[1].txt", "a.example/\n");
  Cookie("owner@a[2].txt", "a.example/\n");
  Cookie("owner@a[3].txt", "a.example/\n");
  // Yields: one per blocked line, then one after each cookie.
  fixture_.backend.AtYield(2, "stop", [&] { app().scan.bStopScan = true; });
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Targets().size(), 1u);
}

TEST_F(CookieStageTest, CookieFileTooBigToReadIsPassedOver) {
  Block({"a.example"});
  Cookie("owner@a[1].txt", "");
  ASSERT_EQ(truncate(fixture_.temp.host(kCookies + "owner@a[1].txt").c_str(),
                     static_cast<off_t>(uint64_t{1} << 40)),
            0);
  Cookie("owner@a[2].txt", "a.example/\n");
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(Targets(), std::vector<std::string>{kCookies + "owner@a[2].txt"});
}

TEST(CookieStageNoFolderTest, MachineWithoutCookieFolderWalksNothing) {
  hg_test::AppFixture fixture([](hg_test::TempMachine& temp) {
    temp.profile().special_folders.erase(machine::CSIDL_COOKIES);
  });
  int32_t walked = 0;
  engine::ScanCookies(fixture.app(), walked);
  EXPECT_EQ(walked, 0);
  EXPECT_EQ(engine::GetSpecialFolderNoSlash(fixture.app().system, machine::CSIDL_COOKIES), "");
}

TEST(CookieDomainTest, SiteFromFileName) {
  const std::pair<const char*, const char*> cases[] = {
      {"owner@site[1].txt", "site"},
      {"owner@site(2).txt", "site"},
      {"owner@a[1](2).txt", "a[1]"},
      {"owner@site.example.txt", "site.example"},
      {"owner@site", ""},
      {"owner@", ""},
      {"site.txt", ""},
      {"", ""},
      {"C:\\Cookies\\owner@site[1].txt", "site"},
      {"a@b@c[1].txt", "b@c"},
  };
  for (const auto& [name, site] : cases)
    EXPECT_EQ(engine::GetCookieSiteFromFileName(name), site) << name;
}

TEST(CookieDomainTest, ReducedDomain) {
  const std::pair<const char*, const char*> cases[] = {
      {"acme.example", "acme"},
      {"www.acme.example", "acme"},
      {"WWW.Acme.example", "Acme"},
      {"sub.acme.example", "sub.acme"},
      {"acme", "acme"},
      {"False", "False"},
      {"www..", ""},
      {"", ""},
  };
  for (const auto& [domain, reduced] : cases)
    EXPECT_EQ(engine::ReduceCookieDomain(domain), reduced) << domain;
}

TEST(CookieDomainTest, BlockedDomain) {
  const std::vector<std::string> list = {
      "acme.example", "*track.example", "*.star.example", "Mixed.Example", "", "*"};
  const std::pair<const char*, bool> cases[] = {
      {"acme", true},  {"ACME", false},  // the domain must lie in the entry as it is
      {"track", true}, {"star", false}, {".star", true}, {"Mixed", true},
      {"acm", false},  {"", false},     {"*", false},    {"False", false},
  };
  for (const auto& [domain, blocked] : cases)
    EXPECT_EQ(engine::IsBlockedCookieDomain(list, domain), blocked) << domain;
}

TEST(CookieDomainTest, DomainReadFromTheCookieItems) {
  hg_test::AppFixture fixture;
  const std::string folder = "C:\\Documents and Settings\\a@b\\Cookies\\";
  const std::pair<const char*, const char*> cases[] = {
      {"id\n1\nsite.example/\n", "site.example"},
      {"x,\"site.example/a,b\",y\r\n", "site.example"},
      {"  www.site.example/path/more\n", "site.example"},
      // The first item holding the site has no "/": the next one settles it.
      {"site\nother.site.org/\n", "site.org"},
      {"Site.example/\n", "False"},
      {"", "False"},
  };
  for (const auto& [content, domain] : cases) {
    fixture.temp.WriteFile(folder + "owner@site[1].txt", content);
    EXPECT_EQ(engine::GetCookieDomain(fixture.app().system, folder + "owner@site[1].txt"), domain)
        << content;
  }
  EXPECT_EQ(engine::GetCookieDomain(fixture.app().system, folder + "owner@gone[1].txt"), "False");
  EXPECT_EQ(engine::GetCookieDomain(fixture.app().system, folder + "nosite.txt"), "False");
}

TEST(BlockedCookieLineTest, ListHasOneEmptyEntryAfterTheLines) {
  hg_test::AppFixture fixture;
  EXPECT_TRUE(engine::LoadBlockedCookieList(fixture.app().system).empty());
  fixture.temp.WriteFile(kProgramFolder + "BlockedCookies.dat",
                         Encoded({"a.example", "b.example"}));
  const std::vector<std::string> list = engine::LoadBlockedCookieList(fixture.app().system);
  EXPECT_EQ(list, (std::vector<std::string>{"a.example", "b.example", ""}));
  EXPECT_EQ(engine::BlockedCookieUpperBound(list), 2);
  EXPECT_EQ(engine::BlockedCookieUpperBound({}), 0);
}

}  // namespace
