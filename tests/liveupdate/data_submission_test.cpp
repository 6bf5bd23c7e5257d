// The data submission against the local update server on 127.0.0.1: the Filename box, Browse,
// and the report of the running programs.

#include "ui/main/data_submission.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/app.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "support/test_process.h"
#include "update_server.h"

namespace {

constexpr int kEnter = 13;

std::string Submitted(const std::string& name) {
  return "Results: " + name + " submitted.  Thank you!";
}
std::string Failed(const std::string& name) {
  return "Results: There was a problem submitting " + name +
         ".  Please make sure you are connected to the internet, or try again later.";
}

// The update server (it needs no release to take submissions) and a program pointed at it, its
// main window loaded on the "Auto Update" tab of the options page.
class DataSubmissionTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::InstallDataSubmission(h_.app());
    main().Load();
    main().frmOptions.SetVisible(true);
    for (forms::Frame* view : main().frmView.Elements())
      view->SetVisible(view->index() == 3);
  }

  model::FrmMain& main() { return h_.main(); }
  void Type(const std::string& name) { ASSERT_TRUE(main().txtFilename.UserSetText(name)); }
  std::vector<std::string> Received() { return server_.received_data(); }

  update_server::Server server_{std::filesystem::path()};
  const int port_ = server_.Start();
  hg_test::AppFixture h_{[this](hg_test::TempMachine& temp) {
    temp.profile().update_server_url = server_.base_url();
  }};
};

TEST_F(DataSubmissionTest, EveryByteOfTheNameArrives) {
  ASSERT_GT(port_, 0);
  // Encoded, "å" gives "&", "ê" "+", "ü" "=" and "äóð" "%41": each would split or change the
  // query value unless it is escaped.
  const std::string name = "Sm\xF6rg\xE5sbord & Cr\xEApes = 100% \xE4\xF3\xF0 M\xFCll.exe";
  Type(name);
  ASSERT_TRUE(main().txtFilename.UserKeyPress(kEnter));

  EXPECT_EQ(Received(), std::vector<std::string>{services::EncodeText(name) + "|"});
  EXPECT_EQ(main().Label26.Caption(), Submitted(name));
  EXPECT_EQ(main().txtFilename.Text(), "");
}

TEST_F(DataSubmissionTest, TheReplyDecidesTheMessage) {
  const struct {
    const char* what;
    std::string name;
    bool accepted;
  } steps[] = {
      {"a new name is added", "new.exe", true},
      {"a known one is skipped", "new.exe", true},
      // The payload is a lone "|": the server refuses it.
      {"an empty box is refused", "", false},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    Type(step.name);
    ASSERT_TRUE(main().cmdSubmit.UserClick());
    EXPECT_EQ(main().Label26.Caption(), step.accepted ? Submitted(step.name) : Failed(step.name));
    EXPECT_EQ(main().txtFilename.Text(), "");
  }
  server_.Stop();
  Type("offline.exe");
  ASSERT_TRUE(main().cmdSubmit.UserClick());
  EXPECT_EQ(main().Label26.Caption(), Failed("offline.exe"));
  EXPECT_EQ(Received().size(), 2u);
}

TEST(SubmissionReplyTest, SkippedOrAddedInAnyCaseIsAccepted) {
  for (const char* reply : {"Added", "added", "<b>SKIPPED</b>"})
    EXPECT_TRUE(ui::IsSubmissionAccepted(reply)) << reply;
  for (const char* reply : {"OK", "", "Add", "Skip"})
    EXPECT_FALSE(ui::IsSubmissionAccepted(reply)) << reply;
}

TEST_F(DataSubmissionTest, SubmitAndEnterWaitForTheReplyInFlight) {
  Type("first.exe");
  h_.backend.AtYield(1, "Submit, Enter and a new name while the reply is awaited", [this] {
    main().cmdSubmit.UserClick();
    main().txtFilename.UserKeyPress(kEnter);
    main().txtFilename.UserSetText("second.exe");
  });
  ASSERT_TRUE(main().cmdSubmit.UserClick());

  EXPECT_EQ(Received(), std::vector<std::string>{services::EncodeText("first.exe") + "|"});
  EXPECT_EQ(main().Label26.Caption(), Submitted("first.exe"));
  // The name typed meanwhile is kept, and goes with the next Enter.
  EXPECT_EQ(main().txtFilename.Text(), "second.exe");
  ASSERT_TRUE(main().txtFilename.UserKeyPress(kEnter));
  EXPECT_EQ(Received().size(), 2u);
  EXPECT_EQ(main().Label26.Caption(), Submitted("second.exe"));
}

TEST_F(DataSubmissionTest, BrowsePutsTheChosenFilesBareName) {
  const struct {
    std::string chosen;
    std::string box;
  } cases[] = {
      {"C:\\My Documents\\suspect.exe", "suspect.exe"},
      {"bare.dll", "bare.dll"},
      // Cancelled, or refused by the dialog: the box keeps its text.
      {"", "bare.dll"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    h_.backend.ExpectFileDialog(c.chosen);
    ASSERT_TRUE(main().Command2.UserClick());
    EXPECT_EQ(main().txtFilename.Text(), c.box);
  }
  EXPECT_TRUE(h_.backend.PromptsUsedUp());
  EXPECT_TRUE(Received().empty());
}

TEST_F(DataSubmissionTest, TheRunningProgramsGoOnlyWhenThereAreAny) {
  ui::SendRunningProcessList(h_.app());
  EXPECT_TRUE(Received().empty());

  hg_test::TestProcess dialer(h_.temp.host("C:\\Program Files\\Dialer\\Dialer.exe"));
  h_.app().hooks.SendRunningProcessList();
  EXPECT_EQ(Received(), std::vector<std::string>{services::EncodeText("Dialer.exe")});
}

TEST_F(DataSubmissionTest, AnEmptyResultsPageSendsWhenTheBoxIsTicked) {
  hg_test::TestProcess dialer(h_.temp.host("C:\\Program Files\\Dialer\\Dialer.exe"));
  const struct {
    bool ticked;
    bool threat_listed;
    bool sent;
  } cases[] = {{false, false, false}, {true, true, false}, {true, false, true}};
  auto& threats = main().lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "ticked " << c.ticked << ", listed " << c.threat_listed);
    main().chkSendData.SetValue(c.ticked ? forms::kChecked : forms::kUnchecked);
    threats.Clear();
    if (c.threat_listed)
      threats.AddItem("Dialer", 3);
    const size_t before = Received().size();
    ui::SendRunningProcessListForEmptyResults(h_.app());
    EXPECT_EQ(Received().size(), before + (c.sent ? 1 : 0));
  }
}

}  // namespace
