#include <gtest/gtest.h>

#include "services/prompts.h"
#include "test_window.h"

namespace forms_test {
namespace {

using namespace forms;
using services::vbExclamation;
using services::vbNo;
using services::vbOK;
using services::vbOKOnly;
using services::vbQuestion;
using services::vbYes;
using services::vbYesNo;

class LoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main.Show();
    main.tmrTick.on_timer = [this] { ++ticks; };
    main.tmrTick.SetEnabled(true);
  }

  Headless h;
  TestWindow main{h.runtime, "FrmMain", FormRole::kMain};
  int ticks = 0;
};

TEST_F(LoopTest, MessageBoxIsAnsweredByScriptWhileTimersTickUnderIt) {
  int answer = 0;
  main.cmdGo.on_click = [&] {
    answer = h.runtime.MsgBox("Really Delete?", vbYesNo | vbQuestion, "");
  };
  h.backend.ExpectMsgBox(vbYes, "Delete", 1000);
  // Arrives while the box is open: refused, the box is modal.
  h.backend.AtTime(500, "click FrmMain.cmdClose", [&] { main.cmdClose.UserClick(); });

  EXPECT_TRUE(main.cmdGo.UserClick());

  EXPECT_EQ(answer, vbYes);
  EXPECT_EQ(ticks, 10);
  EXPECT_TRUE(main.Visible());
  ASSERT_EQ(h.runtime.RefusedActions().size(), 1u);
  EXPECT_EQ(h.runtime.RefusedActions()[0], "FrmMain.cmdClose click refused: a message box is open");
  ASSERT_EQ(h.backend.MessageBoxes().size(), 1u);
  const ShownMessageBox& box = h.backend.MessageBoxes()[0];
  EXPECT_EQ(box.prompt, "Really Delete?");
  EXPECT_EQ(box.style, vbYesNo | vbQuestion);
  EXPECT_EQ(box.title, "Hearthguard");  // an empty title is the product name
  EXPECT_EQ(box.answer, vbYes);
  EXPECT_TRUE(h.backend.PromptsUsedUp());
}

TEST_F(LoopTest, NestedMessageBoxesInsideATimerTick) {
  // A tick asks; under its box a second timer's tick asks too.
  TestWindow alert(h.runtime, "frmAlert");
  alert.Load();
  std::vector<int> answers;
  main.tmrTick.on_timer = [&] {
    ++ticks;
    answers.push_back(h.runtime.MsgBox("Home page changed", vbYesNo, "Home Page Shield"));
  };
  alert.tmrTick.SetInterval(150);
  alert.tmrTick.on_timer = [&] {
    alert.tmrTick.SetEnabled(false);
    answers.push_back(h.runtime.MsgBox("Inner", vbOKOnly | vbExclamation, ""));
  };
  alert.tmrTick.SetEnabled(true);
  h.backend.ExpectMsgBox(vbNo, "Home page", 200);  // open from 100 to 300 ms
  h.backend.ExpectMsgBox(vbOK, "Inner");           // at 150 ms, under the first
  main.tmrTick.SetEnabled(true);

  h.backend.AdvanceMs(100);
  main.tmrTick.SetEnabled(false);

  EXPECT_EQ(answers, (std::vector<int>{vbOK, vbNo}));
  EXPECT_EQ(ticks, 1);  // its own ticks under its box were dropped
  EXPECT_EQ(h.backend.NowMs(), 300);
}

TEST_F(LoopTest, UnexpectedOrMismatchedPromptsFailLoudly) {
  EXPECT_THROW(h.runtime.MsgBox("Nobody expects this", vbOKOnly, "T"), UnexpectedPrompt);
  h.backend.ExpectMsgBox(vbOK, "other text");
  EXPECT_THROW(h.runtime.MsgBox("Really Delete?", vbOKOnly, ""), UnexpectedPrompt);
  h.backend.ExpectMsgBox(vbYes);
  EXPECT_THROW(h.runtime.MsgBox("Done", vbOKOnly, ""), UnexpectedPrompt);
  EXPECT_EQ(h.backend.Failures().size(), 3u);
  EXPECT_EQ(h.runtime.LoopDepth(), 0);
  EXPECT_FALSE(h.runtime.ModalOpen());
}

TEST_F(LoopTest, FileDialogReturnsTheScriptedPath) {
  h.backend.ExpectFileDialog("C:\\Temp\\bad.exe");
  h.backend.ExpectFileDialog("");
  EXPECT_EQ(h.runtime.OpenFileDialog("Open", "All files (*.*)|*.*"), "C:\\Temp\\bad.exe");
  EXPECT_EQ(h.runtime.OpenFileDialog("Open", "All files (*.*)|*.*"), "");
  EXPECT_THROW(h.runtime.OpenFileDialog("Open", ""), UnexpectedPrompt);
  ASSERT_EQ(h.backend.FileDialogs().size(), 3u);
  EXPECT_EQ(h.backend.FileDialogs()[0].filter, "All files (*.*)|*.*");
}

TEST_F(LoopTest, EndProgramUnwindsEveryNestedLoop) {
  TestWindow report(h.runtime, "frmReport");
  std::vector<std::string> reached;
  report.cmdGo.on_click = [&] {
    reached.push_back("exit clicked");
    h.runtime.EndProgram();
  };
  main.cmdGo.on_click = [&] {
    h.runtime.WaitUntil([&] {
      // Deep inside a wait, a modal window whose button ends the program.
      report.Show(true);
      reached.push_back("after modal show");
      return true;
    });
    reached.push_back("after wait");
  };
  h.backend.AtYield(1, "exit from the report", [&] { report.cmdGo.UserClick(); });

  EXPECT_TRUE(main.cmdGo.UserClick());

  EXPECT_EQ(reached, (std::vector<std::string>{"exit clicked"}));
  EXPECT_TRUE(h.runtime.Ended());
  EXPECT_EQ(h.runtime.LoopDepth(), 0);
  EXPECT_FALSE(h.runtime.ModalOpen());
  // Nothing runs any more.
  int before = ticks;
  h.backend.AdvanceMs(1000);
  EXPECT_EQ(ticks, before);
  EXPECT_FALSE(main.cmdGo.UserClick());
  EXPECT_THROW(h.runtime.Yield(), ProgramEnded);
  EXPECT_THROW(h.runtime.MsgBox("late", vbOKOnly, ""), ProgramEnded);
  EXPECT_TRUE(h.backend.MessageBoxes().empty());
}

TEST_F(LoopTest, EndProgramInATickEndsTheCodeThatYielded) {
  bool after_yield = false;
  main.cmdGo.on_click = [&] {
    for (int i = 0; i < 1000; ++i) {
      h.backend.PassMs(10);
      h.runtime.Yield();
    }
    after_yield = true;
  };
  main.tmrTick.on_timer = [&] {
    if (++ticks == 3)
      h.runtime.EndProgram();
  };
  main.cmdGo.UserClick();
  EXPECT_FALSE(after_yield);
  EXPECT_TRUE(h.runtime.Ended());
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(h.backend.NowMs(), 300);
}

TEST_F(LoopTest, ScriptedActionsArriveAtTheirYield) {
  std::vector<int> seen;
  main.cmdGo.on_click = [&] { seen.push_back(static_cast<int>(h.backend.YieldCount())); };
  h.backend.AtYield(3, "click FrmMain.cmdGo", [&] { main.cmdGo.UserClick(); });
  h.backend.AtYield(1, "click FrmMain.cmdGo", [&] { main.cmdGo.UserClick(); });
  for (int i = 0; i < 5; ++i)
    h.runtime.Yield();
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
  EXPECT_EQ(h.backend.DeliveredActions().size(), 2u);
  EXPECT_FALSE(h.backend.HasPendingActions());
}

}  // namespace
}  // namespace forms_test
