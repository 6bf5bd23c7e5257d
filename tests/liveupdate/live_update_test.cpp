// Live Update against a real server on 127.0.0.1: the local update server over two releases,
// and test servers for replies the update server never gives.

#include "engine/definitions/live_update.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/definitions/status_labels.h"
#include "liveupdate/definition_files.h"
#include "machine/date_time.h"
#include "model/app.h"
#include "model/timer_group.h"
#include "support/app_fixture.h"
#include "support/file_size_limit.h"
#include "support/http_test_server.h"
#include "ui/main/live_update_run.h"
#include "update_server.h"

namespace {

using hg_test::AppFixture;
using hg_test::DecodedLines;
using hg_test::HttpTestServer;
using hg_test::Sorted;
using hg_test::StoredFile;

constexpr const char* kOldDate = "3/16/2006 12:00:00 AM";
constexpr const char* kNewDate = "6/1/2026 9:30:00 AM";

machine::DateTime Date(const char* text) {
  return *machine::ParseGeneralDate(text);
}

// A release with an ADD and a DEL in every file.
update_server::DefinitionFiles OldRelease() {
  return {.file = {"c:\\a.exe=A|1", "c:\\old.dll=Old|1"},
          .exe = {"c:\\a.exe=A|1"},
          .registry = {"2^SOFTWARE\\Old^=Old|K", "1^Software\\Keep^=Keep|K"},
          .cookies = {"old.example", "keep.example"},
          .directory = {"[windir]\\old=Old"}};
}
update_server::DefinitionFiles NewRelease() {
  return {.file = {"c:\\a.exe=A|2", "c:\\new.dll=New|1"},
          .exe = {"c:\\a.exe=A|2"},
          .registry = {"1^Software\\Keep^=Keep|K", "2^SOFTWARE\\New^Run^=New|V"},
          .cookies = {"keep.example", "new.example"},
          .directory = {"[windir]\\new=New"}};
}

std::vector<std::vector<std::string>> Members(const update_server::DefinitionFiles& files) {
  return {files.file, files.exe, files.registry, files.cookies, files.directory};
}

// The update server over the two releases, and a program holding the old one.
class LiveUpdateWithServer : public testing::Test {
 protected:
  void StartServer(const update_server::DefinitionFiles& newer) {
    const std::filesystem::path releases = h_.temp.root() / "releases";
    ASSERT_TRUE(update_server::WriteRelease(releases / "old", {Date(kOldDate), OldRelease()}));
    ASSERT_TRUE(update_server::WriteRelease(releases / "new", {Date(kNewDate), newer}));
    server_ = std::make_unique<update_server::Server>(releases);
    ASSERT_GT(server_->Start("127.0.0.1"), 0);
    setenv("HEARTHGUARD_UPDATE_SERVER", server_->base_url().c_str(), 1);
    const auto members = Members(OldRelease());
    for (size_t i = 0; i < members.size(); ++i)
      h_.WriteProgramFile(update_server::kDefinitionFileNames[i], StoredFile(members[i]));
  }
  void TearDown() override { unsetenv("HEARTHGUARD_UPDATE_SERVER"); }

  void ExpectFilesHold(const update_server::DefinitionFiles& release) {
    const auto members = Members(release);
    for (size_t i = 0; i < members.size(); ++i) {
      const std::string name(update_server::kDefinitionFileNames[i]);
      SCOPED_TRACE(name);
      const auto stored =
          h_.machine().files().ReadFile(h_.machine().profile().program_folder + "\\" + name);
      ASSERT_TRUE(stored);
      EXPECT_EQ(Sorted(DecodedLines(*stored)), Sorted(members[i]));
    }
  }
  std::string Setting(const char* key) {
    return services::ReadSetting(h_.app().system, h_.app().SettingsApplication(),
                                 model::kOptionsSection, key, "unset");
  }

  AppFixture h_;
  std::unique_ptr<update_server::Server> server_;
};

TEST_F(LiveUpdateWithServer, LaterDateMergesEveryKindAndOpAndTellsOfIt) {
  StartServer(NewRelease());
  model::FrmMain& main = h_.main();

  ui::cmdUpdate_Click(h_.app());

  ExpectFilesHold(NewRelease());
  EXPECT_EQ(h_.machine().files().ReadFile(h_.machine().profile().program_folder + "\\date.dat"),
            std::string(kNewDate) + "\r\n");
  EXPECT_EQ(main.lblDefVersion.Caption(), std::string(kNewDate) + " PST");
  EXPECT_EQ(main.lblLastUpdate.Caption(),
            "Signatures Last Updated On " + std::string(kNewDate) + " PST");
  EXPECT_EQ(main.lblDefCount.Caption(), "8");
  EXPECT_EQ(h_.app().definitions.lngTotalDefinitions, 8);
  EXPECT_EQ(Setting("SHOW"), "True");
  EXPECT_EQ(Setting("RESTART"), "True");
  EXPECT_EQ(h_.app().frmSignatureUpdated.Peek().lblUpdateInfo.Caption(),
            "Your Hearthguard definitions have been updated!");
  EXPECT_TRUE(h_.app().frmSignatureUpdated.Peek().tmrPopupSignatureUpdate.Enabled());
  EXPECT_FALSE(h_.app().frmDownload.Loaded());
  EXPECT_TRUE(main.cmdLiveUpdate.Enabled());
  EXPECT_FALSE(h_.app().scan.bLiveUpdateRunning);
}

TEST_F(LiveUpdateWithServer, TwentyThousandItemPackage) {
  update_server::DefinitionFiles newer = OldRelease();
  for (int i = 0; i < 20000; ++i)
    newer.file.push_back("c:\\spy" + std::to_string(i) + ".dll=Spy|1");
  StartServer(newer);

  const engine::LiveUpdateOutcome outcome = engine::CheckForDefinitionUpdates(h_.app());

  EXPECT_EQ(outcome.count, 20000);
  EXPECT_FALSE(outcome.failed);
  ExpectFilesHold(newer);
}

TEST_F(LiveUpdateWithServer, ClosedDownloadWindowIsNotBroughtBack) {
  StartServer(NewRelease());
  int loads = 0;
  h_.app().frmDownload.Peek().on_load = [&loads] { ++loads; };
  // Cancel at the first yield, right after the window showed "Connecting".
  h_.backend.AtYield(1, "Cancel", [this] { h_.app().frmDownload.Unload(); });

  ui::cmdUpdate_Click(h_.app());

  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(h_.app().frmDownload.Loaded());
  ExpectFilesHold(NewRelease());
}

// Replies the update server never gives, from a test server.
class LiveUpdateReplies : public testing::Test {
 protected:
  LiveUpdateReplies()
      : h_([this](hg_test::TempMachine& t) {
          t.profile().update_server_url = server_.base_url();
        }) {}

  std::string DateFile() {
    return h_.machine()
        .files()
        .ReadFile(h_.machine().profile().program_folder + "\\date.dat")
        .value_or("<none>");
  }
  std::string Notification() { return h_.app().frmSignatureUpdated.Peek().lblUpdateInfo.Caption(); }

  HttpTestServer server_;
  AppFixture h_;
};

TEST_F(LiveUpdateReplies, EqualDatesAskForNoPackage) {
  server_.RouteBody("/asp/currentDate.asp", std::string(kOldDate) + "\r\n");

  ui::cmdUpdate_Click(h_.app());

  EXPECT_EQ(server_.request_count(), 1u);
  EXPECT_EQ(Notification(), "You are using the most recent Hearthguard definitions.");
}

TEST_F(LiveUpdateReplies, UnreadableOrEarlierLastDateWritesTheFirstOne) {
  // An earlier date would fetch the same package again next time; "5:00 PM" reads as the zero
  // date.
  for (const auto& [last_date, item] : {std::pair{"tomorrow", "a=1"}, {"5:00 PM", "b=1"}}) {
    SCOPED_TRACE(last_date);
    // The local date does not read either: the package is asked for from the default date.
    h_.WriteProgramFile("date.dat", "someday\r\n");
    server_.RouteBody("/asp/currentDate.asp", std::string(kNewDate) + " PST");
    server_.RouteBody("/asp/getDefs.asp", hg_test::Item("FILE", "ADD", item));
    server_.RouteBody("/asp/date.asp", last_date);

    ui::cmdUpdate_Click(h_.app());

    EXPECT_EQ(DateFile(), std::string(kNewDate) + "\r\n");
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size() % 3, 0u);
    EXPECT_EQ(requests[requests.size() - 2].target,
              "/asp/getDefs.asp?prog=Hearthguard&comp=Hearthguard%20Software&date=3%2F16%2F2006");
  }
}

TEST_F(LiveUpdateReplies, FailedUpdateIsToldAndChangesNothing) {
  struct Case {
    const char* name;
    std::function<std::string()> base_url;
    const char* told =
        "Definitions could not be downloaded. Please check your internet connection.";
    bool disk_full = false;
  };
  hg_test::RefusingPort refusing;
  hg_test::RawHttpServer truncated(hg_test::RawHttpServer::ShortBodyReply(100, 10));
  const auto status_500 = [](const httplib::Request&, httplib::Response& response) {
    response.status = 500;
    response.set_content(kNewDate, "text/plain");
  };
  const Case cases[] = {
      {"unreachable", [&] { return refusing.Url(""); }},
      {"truncated", [&] { return truncated.base_url(); }},
      {"500",
       [&] {
         server_.Route("/asp/currentDate.asp", status_500);
         return server_.base_url();
       }},
      {"not a date",
       [&] {
         server_.RouteBody("/asp/currentDate.asp", "soon");
         return server_.base_url();
       }},
      {"package 500",
       [&] {
         server_.RouteBody("/asp/currentDate.asp", kNewDate);
         server_.Route("/asp/getDefs.asp", status_500);
         return server_.base_url();
       }},
      {"nothing applicable",
       [&] {
         server_.RouteBody("/asp/currentDate.asp", kNewDate);
         server_.RouteBody("/asp/getDefs.asp", "<html>busy</html>");
         return server_.base_url();
       }},
      {"no room for the merged files",
       [&] {
         server_.RouteBody("/asp/currentDate.asp", kNewDate);
         server_.RouteBody("/asp/getDefs.asp", hg_test::Item("FILE", "ADD", "b=2"));
         return server_.base_url();
       },
       "Definitions could not be saved in the program folder: File too large.", true},
  };
  h_.WriteProgramFile("FileDefinition.dat", StoredFile({"a=1"}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    setenv("HEARTHGUARD_UPDATE_SERVER", c.base_url().c_str(), 1);

    {
      std::optional<hg_test::FileSizeLimit> full_disk;
      if (c.disk_full)
        full_disk.emplace(8);  // "a=1" and its line end fit, "b=2" does not
      ui::cmdUpdate_Click(h_.app());
    }

    EXPECT_EQ(Notification(), c.told);
    EXPECT_EQ(DateFile(), "<none>");
    EXPECT_EQ(h_.machine().files().ReadFile(h_.machine().profile().program_folder +
                                            "\\FileDefinition.dat"),
              StoredFile({"a=1"}));
  }
  unsetenv("HEARTHGUARD_UPDATE_SERVER");
}

TEST_F(LiveUpdateReplies, OneUpdateAtATime) {
  server_.RouteBody("/asp/currentDate.asp", kOldDate);
  model::FrmMain& main = h_.main();
  const std::vector<std::pair<const char*, std::function<void(bool)>>> busy = {
      {"scan",
       [&](bool on) {
         main.cmdScanNow.SetEnabled(!on);
         main.cmdScan.SetEnabled(!on);
       }},
      {"removal", [&](bool on) { h_.app().scan.bRemovalRunning = on; }},
      {"update", [&](bool on) { h_.app().scan.bLiveUpdateRunning = on; }},
  };
  for (const auto& [name, set_busy] : busy) {
    SCOPED_TRACE(name);
    set_busy(true);
    h_.backend.ExpectMsgBox(services::vbOK, "in progress. Start Live Update again");
    ui::cmdUpdate_Click(h_.app());
    ui::RunBackgroundUpdate(h_.app());
    set_busy(false);
  }
  EXPECT_EQ(server_.request_count(), 0u);
  EXPECT_FALSE(h_.app().frmSignatureUpdated.Loaded());
}

}  // namespace
