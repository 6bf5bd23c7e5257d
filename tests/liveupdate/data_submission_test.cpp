// The data submission against the local update server on 127.0.0.1: the Filename box, Browse,
// and the report of the running programs.

#include "ui/main/data_submission.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/app.h"
#include "services/prompts.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "support/test_process.h"
#include "ui/main/pages.h"
#include "update_server.h"

namespace {

constexpr int kEnter = 13;

std::string Submitted(const std::string& name) {
  return "Results: " + name + " submitted.  Thank you!";
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

TEST_F(DataSubmissionTest, TheNameArrivesWholeAndTheReplyDecidesTheMessage) {
  ASSERT_GT(port_, 0);
  // Encoded, "å" gives "&", "ê" "+", "ü" "=" and "äóð" "%41": each splits or changes the query
  // value unless it is escaped.
  const std::string odd = "Sm\xF6rg\xE5sbord & Cr\xEApes = 100% \xE4\xF3\xF0 M\xFCll.exe";
  // "<" encodes as the separator "|" and still arrives as one name. An empty box asks for a
  // name and sends nothing.
  const struct {
    std::string name;
    std::string caption;
  } steps[] = {{odd, Submitted(odd)},
               {"known.exe", Submitted("known.exe")},
               {"known.exe", Submitted("known.exe")},
               {"a<b.exe", Submitted("a<b.exe")},
               {"", Submitted("a<b.exe")}};
  h_.backend.ExpectMsgBox(services::vbOK, "Please enter a file or spyware name.");
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    Type(step.name);
    ASSERT_TRUE(main().txtFilename.UserKeyPress(kEnter));
    EXPECT_EQ(main().Label26.Caption(), step.caption);
    EXPECT_EQ(main().txtFilename.Text(), "");
  }
  EXPECT_TRUE(h_.backend.PromptsUsedUp());
  // Added, Skipped, Added.
  EXPECT_EQ(Received(),
            (std::vector<std::string>{
                services::EncodeText(odd) + "|", services::EncodeText("known.exe") + "|",
                services::EncodeText("known.exe") + "|", services::EncodeText("a<b.exe") + "|"}));
  // No answer at all blames the connection.
  server_.Stop();
  Type("gone.exe");
  ASSERT_TRUE(main().txtFilename.UserKeyPress(kEnter));
  EXPECT_EQ(main().Label26.Caption(),
            "Results: There was a problem submitting gone.exe.  Please make sure you "
            "are connected to the internet, or try again later.");
  EXPECT_TRUE(ui::IsSubmissionAccepted("added") && !ui::IsSubmissionAccepted("OK"));
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
  EXPECT_EQ(main().Label26.Caption(), Submitted("second.exe"));
}

TEST_F(DataSubmissionTest, BrowsePutsTheChosenFilesBareName) {
  // A file off the machine's drives comes as its host path; a cancelled dialog as "", which
  // leaves the box as it was.
  const std::pair<std::string, std::string> picks[] = {
      {"C:\\My Documents\\suspect.exe", "suspect.exe"},
      {"/home/user/Downloads/dropper.exe", "dropper.exe"},
      {"bare.dll", "bare.dll"},
      {"", "bare.dll"}};
  for (const auto& [chosen, box] : picks) {
    h_.backend.ExpectFileDialog(chosen);
    ASSERT_TRUE(main().Command2.UserClick());
    EXPECT_EQ(main().txtFilename.Text(), box) << chosen;
  }
  EXPECT_TRUE(h_.backend.PromptsUsedUp());
}

TEST_F(DataSubmissionTest, TheRunningProgramsGoFromAnEmptyResultsPageWhenTheBoxIsTicked) {
  const struct {
    bool running, ticked, threat_listed, sent;
  } cases[] = {{false, true, false, false},
               {true, false, false, false},
               {true, true, true, false},
               {true, true, false, true}};
  auto& threats = main().lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.running << c.ticked << c.threat_listed);
    std::optional<hg_test::TestProcess> dialer;
    if (c.running)
      dialer.emplace(h_.temp.host("C:\\Program Files\\Dialer\\Dialer.exe"));
    main().chkSendData.SetValue(c.ticked ? forms::kChecked : forms::kUnchecked);
    threats.Clear();
    if (c.threat_listed)
      threats.AddItem("Dialer", 3);
    const size_t before = Received().size();
    ui::cmdResults_Click(h_.app());
    EXPECT_EQ(Received().size(), before + (c.sent ? 1 : 0));
  }
  EXPECT_EQ(Received(), std::vector<std::string>{services::EncodeText("Dialer.exe")});
  // The removal's way in.
  hg_test::TestProcess dialer(h_.temp.host("C:\\Program Files\\Dialer\\Dialer.exe"));
  h_.app().hooks.SendRunningProcessList();
  EXPECT_EQ(Received().size(), 2u);
}

}  // namespace
