#pragma once
// A small window with one control of each kind, for the binder tests.

#include "forms/forms.h"

namespace view_test {

class TestForm final : public forms::Form {
 public:
  explicit TestForm(forms::Runtime& runtime) : Form(runtime, "frmTest") {
    Move(0, 0, 9000, 7500);
    SetCaption("Test window");
    Place(fraOptions, nullptr, 120, 120, 3600, 1800);
    fraOptions.SetCaption("Options");
    Place(chkLog, &fraOptions, 120, 300, 3000, 300);
    chkLog.SetCaption("Save scan results to log");
    Place(optQuick, &fraOptions, 120, 660, 3000, 300);
    optQuick.SetCaption("Quick Scan");
    Place(optFull, &fraOptions, 120, 1020, 3000, 300);
    optFull.SetCaption("Complete System Scan");

    Place(cmdGo, nullptr, 3960, 120, 1500, 375);
    cmdGo.SetCaption("Start");
    Place(lblCount, nullptr, 3960, 600, 2400, 255);
    lblCount.SetCaption("0");
    Place(txtName, nullptr, 3960, 960, 2400, 315);
    Place(cmbDays, nullptr, 3960, 1380, 2400, 315);
    cmbDays.SetStyle(forms::ComboBox::Style::kDropdownList);
    for (const char* day : {"Monday", "Tuesday", "Daily"})
      cmbDays.AddItem(day);

    Place(lvwFound, nullptr, 120, 2040, 6000, 1800);
    lvwFound.SetCheckboxes(true);
    lvwFound.AddColumn("Spyware/Adware Found", 2400);
    lvwFound.AddColumn("Location", 2400);
    Place(pb1, nullptr, 120, 3960, 6000, 255);
    Place(tabPages, nullptr, 120, 4320, 6000, 1200);
    tabPages.AddTab("Scan Options");
    tabPages.AddTab("Schedule");
    Place(dtpWhen, nullptr, 120, 5640, 2400, 315);
    dtpWhen.SetAllowEmpty(true);
    dtpWhen.SetFormat("M/d/yyyy");
    Place(shpDot, nullptr, 2640, 5640, 135, 135);
    Place(imgLogo, nullptr, 3000, 5640, 480, 480);
    Place(sbrStatus, nullptr, 0, 6300, 8000, 300);
    sbrStatus.AddPanel("Ready", 3000);
    sbrStatus.AddPanel("");
    Place(lblLine(0), nullptr, 6240, 2040, 1800, 255);
    lblLine(0).SetCaption("line");

    mnuFile.SetCaption("&File");
    mnuFileItem(0).SetCaption("Open");
    mnuFileItem(1).SetCaption("-");
    mnuFileItem(2).SetCaption("Exit");
    for (forms::MenuItem* item : mnuFileItem.Elements())
      item->SetContainer(&mnuFile);
    tmrTick.SetInterval(5);
    tmrTick.SetEnabled(false);
  }

  forms::Frame fraOptions{*this, "fraOptions"};
  forms::CheckBox chkLog{*this, "chkLog"};
  forms::OptionButton optQuick{*this, "optQuick"};
  forms::OptionButton optFull{*this, "optFull"};
  forms::CommandButton cmdGo{*this, "cmdGo"};
  forms::Label lblCount{*this, "lblCount"};
  forms::TextBox txtName{*this, "txtName"};
  forms::ComboBox cmbDays{*this, "cmbDays"};
  forms::ListView lvwFound{*this, "lvwFound"};
  forms::ProgressBar pb1{*this, "pb1"};
  forms::TabStrip tabPages{*this, "tabPages"};
  forms::DatePicker dtpWhen{*this, "dtpWhen"};
  forms::Shape shpDot{*this, "shpDot"};
  forms::Image imgLogo{*this, "imgLogo"};
  forms::StatusBar sbrStatus{*this, "sbrStatus"};
  forms::ControlArray<forms::Label> lblLine{*this, "lblLine", {0}};
  forms::MenuItem mnuFile{*this, "mnuFile"};
  forms::ControlArray<forms::MenuItem> mnuFileItem{*this, "mnuFileItem", {0, 1, 2}};
  forms::Timer tmrTick{*this, "tmrTick"};

  int query_unloads = 0;

 protected:
  void Form_QueryUnload(int&, forms::UnloadMode) override { ++query_unloads; }

 private:
  static void Place(forms::Control& control, forms::Control* container, double left, double top,
                    double width, double height) {
    control.SetContainer(container);
    control.Move(left, top, width, height);
  }
};

}  // namespace view_test
