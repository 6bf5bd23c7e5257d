// The options page of the main window: the tab strip and its four sub-pages.

#include "model/frm_main.h"

namespace model {

namespace {

constexpr double kPageLeft = 1815;
constexpr double kPageTop = 855;
constexpr double kPageWidth = 8745;
constexpr double kPageHeight = 5985;

// Sub-page size: the layout's rule for frmView inside the tab strip.
constexpr double kViewWidth = kPageWidth - 240;
constexpr double kViewHeight = kPageHeight - 420;

constexpr double kRowHeight = 300;

}  // namespace

void FrmMain::DesignOptionsPage() {
  Place(frmOptions, nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight);
  frmOptions.SetVisible(false);
  Place(TabStrip1, &frmOptions, 0, 0, kPageWidth, kPageHeight);
  for (const char* tab : {"Scan Options", "Proactive Protection", "Schedule", "Auto Update"})
    TabStrip1.AddTab(tab);

  const char* captions[] = {"Scan Options", "Proactive System Protection", "Scheduled Scans",
                            "Automatic Live Update"};
  for (int i = 0; i < 4; ++i) {
    Place(Captioned(frmView(i), captions[i]), &frmOptions, 60, 360, kViewWidth, kViewHeight);
    frmView(i).SetVisible(i == 0);
  }
  DesignScanOptions();
  DesignProtection();
  DesignSchedule();
  DesignLiveUpdate();
}

void FrmMain::DesignScanOptions() {
  forms::Frame& view = frmView(0);
  Place(Captioned(frmScanType, "Scan Type"), &view, 240, 360, 3960, 1095);
  Place(Captioned(optScanAllSelectedHardDrive, "Complete System Scan"), &frmScanType, 240, 300,
        3480, kRowHeight);
  Place(Captioned(optScanOnlyKnownSoftwares, "Quick Scan"), &frmScanType, 240, 660, 3480,
        kRowHeight);

  Place(Captioned(frmDriveSelection, "Drive Selection"), &view, 4440, 360, 3825, 2655);
  Place(lvwHardDrives, &frmDriveSelection, 240, 300, 3345, 2160);
  lvwHardDrives.SetCheckboxes(true);
  lvwHardDrives.AddColumn("", 3000);

  struct Box {
    forms::CheckBox& box;
    const char* caption;
  };
  const Box boxes[] = {
      {chkSweepMemory, "Scan Proccesses and Files"},
      {chkScanRegistry, "Scan Windows Registry"},
      {chkScanCookies, "Scan Internet Cookies"},
      {chkMakeLog, "Save scan results to log"},
      {chkSendData, "Send anonymous data to help identify unknown spyware"},
  };
  double top = 1680;
  for (const Box& b : boxes) {
    Place(Captioned(b.box, b.caption), &view, 240, top, 3960, kRowHeight);
    top += 360;
  }
  chkSendData.SetWidth(8025);
  Place(Captioned(Command1, "Scan Now"), &view, 240, top + 180, 1575, 375);
}

void FrmMain::DesignProtection() {
  forms::Frame& view = frmView(1);
  Place(Captioned(frmHomePageProtection, "Home Page Hijack Protection"), &view, 240, 360, 8025,
        855);
  Place(Captioned(chkHomePage, "Enable"), &frmHomePageProtection, 240, 360, 2400, kRowHeight);
  Place(Captioned(frmAutoProtect, "Auto-Protect"), &view, 240, 1335, 8025, 855);
  Place(Captioned(chkAutoProtect, "Enable"), &frmAutoProtect, 240, 360, 2400, kRowHeight);
  Place(Captioned(chkRunAtStartup, "Run at Startup and protect my computer automatically"), &view,
        240, 2400, 8025, kRowHeight);

  // The stored shield values; never shown, one exclusive group on the sub-page.
  struct Option {
    forms::OptionButton& option;
    const char* caption;
  };
  const Option options[] = {
      {optIEHomePageSheildOn, "Enabled"},
      {optIEHomePageSheildOff, "Disabled"},
      {optMemorySheildOn, "Enabled"},
      {optMemorySheildOff, "Disabled"},
      {optAlwaysnotifybeforerestoring, "Ask me what I would like to do"},
      {optRestoredefaultwithoutnotification, "Silently restore my original home page"},
  };
  double top = 3000;
  for (const Option& o : options) {
    Place(Captioned(o.option, o.caption), &view, 240, top, 3960, kRowHeight);
    o.option.SetVisible(false);
    top += 300;
  }
}

void FrmMain::DesignSchedule() {
  forms::Frame& view = frmView(2);
  Place(Captioned(Label10,
                  "Scheduled scans provide continuous protection for your computer "
                  "against malicious applications."),
        &view, 240, 360, 8025, 495);
  Place(Captioned(chkAutomaticScanYesOrNo, "Enable Scheduled Scans"), &view, 240, 960, 3960,
        kRowHeight);

  Place(Captioned(Label11, "Run on:"), &view, 240, 1440, 960, 255);
  Place(cmbDays, &view, 1320, 1400, 2400, 315);
  cmbDays.SetStyle(forms::ComboBox::Style::kDropdownList);
  for (const char* day : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
                          "Sunday", "Daily", "Date & Time", "Never!"})
    cmbDays.AddItem(day);

  Place(Captioned(Label12, "Date:"), &view, 240, 1920, 960, 255);
  Place(dtpScheduleDate, &view, 1320, 1880, 2400, 315);
  dtpScheduleDate.SetFormat("dd/MM/yyyy");
  dtpScheduleDate.SetAllowEmpty(true);
  Place(Captioned(Label13, "Time:"), &view, 240, 2400, 960, 255);
  Place(dtpScheduleTime, &view, 1320, 2360, 2400, 315);
  dtpScheduleTime.SetFormat("hh:mm:ss");
  dtpScheduleTime.SetAllowEmpty(true);

  Place(Captioned(chkAutoDel, "Delete spyware automatically after scheduled scan"), &view, 240,
        2880, 8025, kRowHeight);
  Place(Captioned(CmdProceed, "Apply"), &view, 240, 3360, 1215, 375);
  CmdProceed.SetEnabled(false);
  Place(Captioned(cmdDefaultSetting, "Reset"), &view, 1575, 3360, 1215, 375);
}

void FrmMain::DesignLiveUpdate() {
  forms::Frame& view = frmView(3);
  Place(Captioned(chkAutomaticUpdate, "Enable automatic Live update (recommended)"), &view, 240,
        360, 8025, kRowHeight);
  Place(lblLastUpdate, &view, 240, 720, 8025, 255);
  Place(Captioned(cmdLiveUpdate, "Run Live Update Now"), &view, 240, 1080, 2400, 375);

  Place(Captioned(Label14,
                  "Submit a file for us to research.  Results will be included in the "
                  "next live update"),
        &view, 240, 1800, 8025, 255);
  Place(Captioned(Label15, "Please enter a file or spyware name below (no path) and press submit"),
        &view, 240, 2100, 8025, 255);
  Place(Captioned(Label16, "Filename:"), &view, 240, 2520, 960, 255);
  Place(txtFilename, &view, 1320, 2480, 4200, 315);
  Place(Captioned(Command2, "Browse"), &view, 5640, 2460, 1095, 375);
  Place(Captioned(cmdSubmit, "Submit"), &view, 6855, 2460, 1095, 375);
  Place(Captioned(Label26, "Results:"), &view, 240, 3000, 8025, 495);
}

}  // namespace model
