#include <gtest/gtest.h>

#include "services/prompts.h"
#include "test_window.h"

namespace forms_test {
namespace {

using namespace forms;

class ControlsWindow : public Form {
 public:
  explicit ControlsWindow(Runtime& runtime) : Form(runtime, "frmControls") {
    optQuick.SetContainer(&fraScan);
    optFull.SetContainer(&fraScan);
    optCustom.SetContainer(&fraScan);
    optShieldOn.SetContainer(&fraShield);
    lvwFound.SetCheckboxes(true);
    lvwFound.AddColumn("Adware and Spyware Found", 4000);
    cmbDays.SetStyle(ComboBox::Style::kDropdownList);
    for (const char* day : {"Sunday", "Monday", "Daily"})
      cmbDays.AddItem(day);
    tabOptions.AddTab("Scan Options");
    tabOptions.AddTab("Schedule");
    dtpDate.SetAllowEmpty(true);
  }

  Frame fraScan{*this, "fraScan"};
  Frame fraShield{*this, "fraShield"};
  OptionButton optQuick{*this, "optQuick"};
  OptionButton optFull{*this, "optFull"};
  OptionButton optCustom{*this, "optCustom"};
  OptionButton optShieldOn{*this, "optShieldOn"};
  CheckBox chkLog{*this, "chkLog"};
  TextBox txtFilename{*this, "txtFilename"};
  Label lblCount{*this, "lblCount"};
  ComboBox cmbDays{*this, "cmbDays"};
  DatePicker dtpDate{*this, "dtpDate"};
  TabStrip tabOptions{*this, "tabOptions"};
  ListView lvwFound{*this, "lvwFound"};
  ProgressBar pb1{*this, "pb1"};
  CommandButton cmdScan{*this, "cmdScan"};
  ControlArray<Label> lblStatus{*this, "lblStatus", {0, 1}};
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { w.Load(); }

  Headless h;
  ControlsWindow w{h.runtime};
};

TEST_F(ControlsTest, ChangeHandlersRunOnCodeChangesOnlyWhenTheValueChanges) {
  int chk = 0, txt = 0, lbl = 0, cmb = 0, cmb_text = 0, dtp = 0, tab = 0;
  w.chkLog.on_click = [&] { ++chk; };
  w.txtFilename.on_change = [&] { ++txt; };
  w.lblCount.on_change = [&] { ++lbl; };
  w.cmbDays.on_click = [&] { ++cmb; };
  w.cmbDays.on_change = [&] { ++cmb_text; };
  w.dtpDate.on_change = [&] { ++dtp; };
  w.tabOptions.on_click = [&] { ++tab; };

  for (int round = 0; round < 2; ++round) {
    w.chkLog.SetValue(kChecked);
    w.txtFilename.SetText("a.exe");
    w.lblCount.SetCaption("3");
    w.cmbDays.SetListIndex(2);
    w.dtpDate.SetValue(machine::DateTime{2006, 3, 16});
    w.tabOptions.SetSelectedIndex(1);
  }
  EXPECT_EQ(chk, 1);
  EXPECT_EQ(txt, 1);
  EXPECT_EQ(lbl, 1);
  EXPECT_EQ(cmb, 1);
  EXPECT_EQ(cmb_text, 1);
  EXPECT_EQ(w.cmbDays.Text(), "Daily");
  EXPECT_EQ(dtp, 1);
  EXPECT_EQ(tab, 1);

  // Emptying the picker is a change of value too.
  w.dtpDate.SetEmpty();
  EXPECT_EQ(dtp, 2);
  EXPECT_TRUE(w.dtpDate.IsEmpty());
}

TEST_F(ControlsTest, RefusedValuesChangeNothing) {
  int cmb = 0;
  w.cmbDays.on_click = [&] { ++cmb; };
  EXPECT_FALSE(w.chkLog.SetValue(3));
  EXPECT_EQ(w.chkLog.Value(), kUnchecked);
  EXPECT_FALSE(w.cmbDays.SetListIndex(3));
  EXPECT_FALSE(w.cmbDays.SetText("Someday"));
  EXPECT_TRUE(w.cmbDays.SetText("monday"));
  EXPECT_EQ(w.cmbDays.ListIndex(), 1);
  EXPECT_EQ(cmb, 1);
  EXPECT_FALSE(w.tabOptions.SetSelectedIndex(2));
  EXPECT_EQ(w.tabOptions.SelectedIndex(), 0);
}

TEST_F(ControlsTest, ProgressBarRefusesValuesOutsideItsRange) {
  struct Case {
    double value;
    bool accepted;
    double after;
  };
  const Case cases[] = {{50, true, 50},   {101, false, 50}, {-1, false, 50},
                        {100, true, 100}, {0, true, 0},     {100.5, false, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(w.pb1.SetValue(c.value), c.accepted) << c.value;
    EXPECT_EQ(w.pb1.Value(), c.after) << c.value;
  }
  // A narrower range pulls the value in; an empty range is refused.
  w.pb1.SetValue(80);
  EXPECT_TRUE(w.pb1.SetMax(60));
  EXPECT_EQ(w.pb1.Value(), 60);
  EXPECT_FALSE(w.pb1.SetMin(60));
  EXPECT_EQ(w.pb1.Min(), 0);
}

TEST_F(ControlsTest, OptionButtonsAreExclusiveWithinTheirContainer) {
  std::string ran;
  w.optQuick.on_click = [&] { ran += "q"; };
  w.optFull.on_click = [&] { ran += "f"; };
  w.optCustom.on_click = [&] { ran += "c"; };
  w.optShieldOn.on_click = [&] { ran += "s"; };

  w.optShieldOn.SetValue(true);
  w.optQuick.SetValue(true);
  EXPECT_TRUE(w.optFull.UserClick());
  EXPECT_FALSE(w.optQuick.Value());
  EXPECT_TRUE(w.optFull.Value());
  EXPECT_FALSE(w.optCustom.Value());
  // The other container keeps its selection.
  EXPECT_TRUE(w.optShieldOn.Value());
  // Only the buttons that became selected ran their handlers.
  EXPECT_EQ(ran, "sqf");

  // Selecting the selected button again, or clearing one, runs nothing.
  w.optFull.SetValue(true);
  w.optFull.SetValue(false);
  EXPECT_EQ(ran, "sqf");
  EXPECT_FALSE(w.optFull.Value());
}

TEST_F(ControlsTest, ListItemChecksRunTheirHandlerOnlyOnUserAction) {
  std::vector<std::pair<int, bool>> checks;
  w.lvwFound.on_item_check = [&](int row) {
    checks.emplace_back(row, w.lvwFound.Item(row).checked);
  };
  w.lvwFound.AddItem("Alpha - Found", 3);
  w.lvwFound.AddItem("Beta - Found", 2);

  w.lvwFound.SetChecked(0, true);
  EXPECT_TRUE(w.lvwFound.Item(0).checked);
  EXPECT_TRUE(checks.empty());

  EXPECT_TRUE(w.lvwFound.UserCheckItem(1, true));
  EXPECT_TRUE(w.lvwFound.UserCheckItem(0, false));
  EXPECT_EQ(checks, (std::vector<std::pair<int, bool>>{{1, true}, {0, false}}));
  EXPECT_FALSE(w.lvwFound.UserCheckItem(5, true));
}

TEST_F(ControlsTest, FindItemIsAFirstColumnPrefixSearchIgnoringCase) {
  w.lvwFound.AddItem("FooBar - Found");
  w.lvwFound.AddItem("Foo - Found and more");
  w.lvwFound.AddItem("EXCLUDED: c:\\x.exe");
  ListItem with_sub;
  with_sub.text = "Gamma";
  with_sub.SetSubItem(1, "Beta - Found");
  w.lvwFound.AddItem(with_sub);

  struct Case {
    const char* prefix;
    int found;
  };
  const Case cases[] = {{"foo - found", 1},     {"FOOBAR - FOUND", 0}, {"Foo", 0},
                        {"excluded: C:\\", 2},  {"Beta - Found", -1},  {"Bar - Found", -1},
                        {"FooBar - Found!", -1}};
  for (const Case& c : cases)
    EXPECT_EQ(w.lvwFound.FindItem(c.prefix), c.found) << c.prefix;
}

TEST_F(ControlsTest, ListRowsKeepTheirSubItemsThroughRemoval) {
  w.lvwFound.AddItem("a");
  w.lvwFound.AddItem("b");
  w.lvwFound.SetSubItem(1, 2, "type");
  EXPECT_EQ(w.lvwFound.Item(1).SubItem(1), "");
  EXPECT_EQ(w.lvwFound.Item(1).SubItem(2), "type");
  EXPECT_TRUE(w.lvwFound.RemoveItem(0));
  EXPECT_EQ(w.lvwFound.Item(0).text, "b");
  EXPECT_EQ(w.lvwFound.Item(0).SubItem(2), "type");
  EXPECT_THROW(w.lvwFound.Item(1), std::out_of_range);
  EXPECT_FALSE(w.lvwFound.SetChecked(1, true));
}

TEST_F(ControlsTest, UnreachableControlsRefuseUserActions) {
  int clicks = 0;
  w.cmdScan.on_click = [&] { ++clicks; };
  w.optQuick.on_click = [&] { ++clicks; };

  w.cmdScan.SetEnabled(false);
  EXPECT_FALSE(w.cmdScan.UserClick());
  w.cmdScan.SetEnabled(true);
  w.cmdScan.SetVisible(false);
  EXPECT_FALSE(w.cmdScan.UserClick());
  // A disabled frame disables what it holds.
  w.fraScan.SetEnabled(false);
  EXPECT_FALSE(w.optQuick.UserClick());
  EXPECT_FALSE(w.optQuick.Value());
  EXPECT_EQ(clicks, 0);
  ASSERT_EQ(h.runtime.RefusedActions().size(), 3u);
  EXPECT_EQ(h.runtime.RefusedActions()[0],
            "frmControls.cmdScan click refused: the control is not reachable");
}

TEST_F(ControlsTest, KeyPressesReachTheHandlerWhichMaySwallowThem) {
  int submits = 0;
  w.txtFilename.on_key_press = [&](int& key) {
    if (key == 13) {
      ++submits;
      key = 0;
    }
  };
  for (char c : std::string("ab.exe"))
    w.txtFilename.UserKeyPress(c);
  w.txtFilename.UserKeyPress(13);
  EXPECT_EQ(w.txtFilename.Text(), "ab.exe");
  EXPECT_EQ(submits, 1);
}

TEST_F(ControlsTest, ObserversHearEveryChange) {
  std::vector<std::string> seen;
  w.lblCount.observer = [&](Control& c) { seen.push_back(c.name()); };
  std::vector<ListChange::Kind> rows;
  w.lvwFound.rows_observer = [&](ListView&, const ListChange& change) {
    rows.push_back(change.kind);
  };
  w.lblCount.SetCaption("1");
  w.lblCount.SetCaption("1");
  w.lblCount.SetFontBold(true);
  w.lvwFound.AddItem("x");
  w.lvwFound.SetChecked(0, true);
  w.lvwFound.Clear();
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(rows,
            (std::vector<ListChange::Kind>{ListChange::Kind::kInserted, ListChange::Kind::kChanged,
                                           ListChange::Kind::kReset}));
}

TEST_F(ControlsTest, ControlArrayLoadsHiddenCopiesThatTheNextLoadDrops) {
  w.lblStatus(0).SetCaption("Ready");
  w.lblStatus(0).SetFontBold(true);
  std::vector<int> clicked;
  w.lblStatus.SetWiring(
      [&](Label& l) { l.on_click = [&clicked, &l] { clicked.push_back(l.index()); }; });

  Label& clone = w.lblStatus.Load(5);
  EXPECT_EQ(clone.Caption(), "Ready");
  EXPECT_TRUE(clone.GetFont().bold);
  EXPECT_FALSE(clone.Visible());
  EXPECT_EQ(clone.FullName(), "lblStatus(5)");
  EXPECT_EQ(w.FindControl("lblStatus", 5), &clone);
  EXPECT_THROW(w.lblStatus.Load(5), std::invalid_argument);
  clone.SetVisible(true);
  clone.UserClick();
  w.lblStatus(1).UserClick();
  EXPECT_EQ(clicked, (std::vector<int>{5, 1}));
  EXPECT_FALSE(w.lblStatus.Unload(0));  // design elements stay

  w.Unload();
  w.Load();
  EXPECT_FALSE(w.lblStatus.Exists(5));
  EXPECT_EQ(w.FindControl("lblStatus", 5), nullptr);
  EXPECT_EQ(w.lblStatus.UBound(), 1);
}

}  // namespace
}  // namespace forms_test
