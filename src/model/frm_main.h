#pragma once
// The main window as a model: every named control with its design caption, geometry (twips),
// enabled and visible state, the timers with their design intervals, and the fields the scan
// keeps on the window. No handler is installed here; the scan, the removal and the window's
// logic fill the slots.
//
// Layout in the design: a top bar (Command5, cmdWebsite, lblHide), a column of page buttons on
// the left, four pages on the right (frmStatus, frmScan, frmResults, frmOptions with TabStrip1
// and the sub-pages frmView(0) to frmView(3)), and the working frame `Frame` below the window's
// bottom edge holding the lists the user never sees.

#include <cstdint>
#include <string>

#include "forms/forms.h"
#include "model/window.h"

namespace model {

class FrmMain final : public Window {
 public:
  explicit FrmMain(forms::Runtime& runtime);

  // --- Fields the scan keeps on the window.
  std::string strScanStarted;
  std::string strScanFinished;
  int32_t lngCookieFilesWalked = 0;
  // Idle ticks of timUpdate counted towards the automatic Live Update.
  int32_t lngUpdateIdleTicks = 0;
  // A file-name submission waits for the server's reply.
  bool bSubmitting = false;
  // The threat list's width when the layout last measured its columns against it; none yet.
  double dblThreatListLaidOutWidth = -1;

  // --- Top bar and page buttons.
  forms::CommandButton Command5{*this, "Command5"};      // "Send to Tray"
  forms::CommandButton cmdWebsite{*this, "cmdWebsite"};  // "Visit " & web text, set at load
  forms::Label lblHide{*this, "lblHide"};                // "X"
  forms::CommandButton cmdStatus{*this, "cmdStatus"};
  forms::CommandButton cmdScan{*this, "cmdScan"};
  forms::CommandButton cmdResults{*this, "cmdResults"};
  forms::CommandButton cmdSettings{*this, "cmdSettings"};
  forms::CommandButton cmdUpdate{*this, "cmdUpdate"};

  // --- Status page.
  forms::Frame frmStatus{*this, "frmStatus"};
  forms::Label Label22{*this, "Label22"};  // "Welcome to " & product, set at load
  forms::Label Label25{*this, "Label25"};
  forms::Label lblVersion{*this, "lblVersion"};
  forms::Label Label1{*this, "Label1"};
  forms::Label lblDefVersion{*this, "lblDefVersion"};
  forms::Label Label2{*this, "Label2"};
  forms::Label lblDefCount{*this, "lblDefCount"};
  forms::Label Label27{*this, "Label27"};
  forms::Label lblLastScan{*this, "lblLastScan"};
  forms::Label Label23{*this, "Label23"};
  forms::Label lblDefRemoved{*this, "lblDefRemoved"};
  forms::Label Label29{*this, "Label29"};
  forms::Label lblLastFullScan{*this, "lblLastFullScan"};

  // --- Scan page.
  forms::Frame frmScan{*this, "frmScan"};
  forms::Label Label3{*this, "Label3"};
  forms::Label lblMemoryInspected{*this, "lblMemoryInspected"};
  forms::Label Label4{*this, "Label4"};  // "Registry Entries Inspected"
  forms::Label lblRegistryInspected{*this, "lblRegistryInspected"};
  forms::Label Label5{*this, "Label5"};  // "Files/Folders Inspected"
  forms::Label lblFilesFolderInspected{*this, "lblFilesFolderInspected"};
  forms::Label Label6{*this, "Label6"};
  forms::Label lblSoftwareFound{*this, "lblSoftwareFound"};
  forms::Label Label7{*this, "Label7"};
  forms::Label lbltracesFound{*this, "lbltracesFound"};
  forms::Label Label8{*this, "Label8"};
  forms::Label lblTotalNoOfRunningItems{*this, "lblTotalNoOfRunningItems"};
  forms::Shape shpCircle{*this, "shpCircle"};  // the stage marker
  forms::CommandButton cmdScanNow{*this, "cmdScanNow"};
  forms::CommandButton cmdPause{*this, "cmdPause"};
  forms::CommandButton cmdStop{*this, "cmdStop"};
  forms::CommandButton cmdLog{*this, "cmdLog"};
  forms::Label lblStart{*this, "lblStart"};
  forms::Label lblPause{*this, "lblPause"};
  forms::Label lblStop{*this, "lblStop"};
  forms::Label lblViewLogFile{*this, "lblViewLogFile"};
  forms::Label lblPercentageCompleted{*this, "lblPercentageCompleted"};
  forms::ProgressBar pbgMain{*this, "pbgMain"};
  forms::ListView lvwSpywareFound{*this, "lvwSpywareFound"};
  forms::Label SkinLabel7{*this, "SkinLabel7"};  // caption beside pb1
  forms::ProgressBar pb1{*this, "pb1"};          // the stage's share
  forms::Label SkinLabel8{*this, "SkinLabel8"};  // caption beside pb2
  forms::ProgressBar pb2{*this, "pb2"};          // the share of all definitions
  // lblStatus(0) shows the current item or the outcome; lblStatus(1) is its caption.
  forms::ControlArray<forms::Label> lblStatus{*this, "lblStatus", {0, 1}};
  forms::CommandButton cmdRemove{*this, "cmdRemove"};  // "Click Here to Continue"

  // --- Results page.
  forms::Frame frmResults{*this, "frmResults"};
  forms::Label Label9{*this, "Label9"};
  forms::Label lblRemovePicSoftwareFound{*this, "lblRemovePicSoftwareFound"};
  forms::Label lblSweepNow{*this, "lblSweepNow"};
  forms::Label lblRemove{*this, "lblRemove"};
  forms::Label lblOptions{*this, "lblOptions"};
  forms::Label lblResult{*this, "lblResult"};
  forms::Label lblExit{*this, "lblExit"};
  forms::ListView lvwPicRemoveListOfSpywareFoundAndToBeRemoved{
      *this, "lvwPicRemoveListOfSpywareFoundAndToBeRemoved"};
  forms::CommandButton cmdSelectAll{*this, "cmdSelectAll"};
  forms::CommandButton cmdExclude{*this, "cmdExclude"};
  forms::CommandButton Command4{*this, "Command4"};  // "Delete"
  forms::ProgressBar pgbDeleteSpywaresFound{*this, "pgbDeleteSpywaresFound"};
  forms::Label lblDeletingPercentageCompleted{*this, "lblDeletingPercentageCompleted"};
  forms::Label lblDeletingCaption{*this, "lblDeletingCaption"};

  // --- Options page and its four sub-pages.
  forms::Frame frmOptions{*this, "frmOptions"};
  forms::TabStrip TabStrip1{*this, "TabStrip1"};
  forms::ControlArray<forms::Frame> frmView{*this, "frmView", {0, 1, 2, 3}};
  // "Scan Options"
  forms::Frame frmScanType{*this, "frmScanType"};  // "Scan Type"
  forms::OptionButton optScanAllSelectedHardDrive{*this, "optScanAllSelectedHardDrive"};
  forms::OptionButton optScanOnlyKnownSoftwares{*this, "optScanOnlyKnownSoftwares"};
  forms::Frame frmDriveSelection{*this, "frmDriveSelection"};  // "Drive Selection"
  forms::ListView lvwHardDrives{*this, "lvwHardDrives"};
  forms::CheckBox chkSweepMemory{*this, "chkSweepMemory"};
  forms::CheckBox chkScanRegistry{*this, "chkScanRegistry"};
  forms::CheckBox chkScanCookies{*this, "chkScanCookies"};
  forms::CheckBox chkMakeLog{*this, "chkMakeLog"};
  forms::CheckBox chkSendData{*this, "chkSendData"};
  forms::CommandButton Command1{*this, "Command1"};  // "Scan Now"
  // "Proactive System Protection"
  forms::Frame frmHomePageProtection{*this, "frmHomePageProtection"};
  forms::CheckBox chkHomePage{*this, "chkHomePage"};
  forms::Frame frmAutoProtect{*this, "frmAutoProtect"};
  forms::CheckBox chkAutoProtect{*this, "chkAutoProtect"};
  forms::CheckBox chkRunAtStartup{*this, "chkRunAtStartup"};
  // Six hidden option buttons in one group: they hold the stored shield values.
  forms::OptionButton optIEHomePageSheildOn{*this, "optIEHomePageSheildOn"};
  forms::OptionButton optIEHomePageSheildOff{*this, "optIEHomePageSheildOff"};
  forms::OptionButton optMemorySheildOn{*this, "optMemorySheildOn"};
  forms::OptionButton optMemorySheildOff{*this, "optMemorySheildOff"};
  forms::OptionButton optAlwaysnotifybeforerestoring{*this, "optAlwaysnotifybeforerestoring"};
  forms::OptionButton optRestoredefaultwithoutnotification{*this,
                                                           "optRestoredefaultwithoutnotification"};
  // "Scheduled Scans"
  forms::Label Label10{*this, "Label10"};
  forms::CheckBox chkAutomaticScanYesOrNo{*this, "chkAutomaticScanYesOrNo"};
  forms::Label Label11{*this, "Label11"};  // "Run on:"
  forms::ComboBox cmbDays{*this, "cmbDays"};
  forms::Label Label12{*this, "Label12"};  // "Date:"
  forms::DatePicker dtpScheduleDate{*this, "dtpScheduleDate"};
  forms::Label Label13{*this, "Label13"};  // "Time:"
  forms::DatePicker dtpScheduleTime{*this, "dtpScheduleTime"};
  forms::CheckBox chkAutoDel{*this, "chkAutoDel"};
  forms::CommandButton CmdProceed{*this, "CmdProceed"};                // "Apply"
  forms::CommandButton cmdDefaultSetting{*this, "cmdDefaultSetting"};  // "Reset"
  // "Automatic Live Update"
  forms::CheckBox chkAutomaticUpdate{*this, "chkAutomaticUpdate"};
  forms::Label lblLastUpdate{*this, "lblLastUpdate"};
  forms::CommandButton cmdLiveUpdate{*this, "cmdLiveUpdate"};
  forms::Label Label14{*this, "Label14"};
  forms::Label Label15{*this, "Label15"};
  forms::Label Label16{*this, "Label16"};  // "Filename:"
  forms::TextBox txtFilename{*this, "txtFilename"};
  forms::CommandButton Command2{*this, "Command2"};  // "Browse"
  forms::CommandButton cmdSubmit{*this, "cmdSubmit"};
  forms::Label Label26{*this, "Label26"};  // "Results:"

  // --- Templates of the skinned labels, one per container (element 0 each, never shown).
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
  forms::ControlArray<forms::Label> SkinLabel2{*this, "SkinLabel2", {0}};
  forms::ControlArray<forms::Label> SkinLabel3{*this, "SkinLabel3", {0}};
  forms::ControlArray<forms::Label> SkinLabel4{*this, "SkinLabel4", {0}};
  forms::ControlArray<forms::Label> SkinLabel5{*this, "SkinLabel5", {0}};
  forms::ControlArray<forms::Label> SkinLabel6{*this, "SkinLabel6", {0}};

  // --- The working frame, placed below the window's bottom edge.
  forms::Frame Frame{*this, "Frame"};
  forms::ListView lvwFilesToBeDeleted{*this, "lvwFilesToBeDeleted"};
  forms::ListView lvwRegistryToBeDeleted{*this, "lvwRegistryToBeDeleted"};
  forms::ListView lvwCookiesToDelete{*this, "lvwCookiesToDelete"};
  forms::ListView lvwFileNotFounds{*this, "lvwFileNotFounds"};
  forms::ListView lvwBlockedCookies{*this, "lvwBlockedCookies"};
  forms::Label lblWebText{*this, "lblWebText"};
  forms::Browser wbrMain{*this, "wbrMain"};

  // --- Menus.
  forms::MenuItem mnuFile{*this, "mnuFile"};
  forms::ControlArray<forms::MenuItem> mnuFileItem{
      *this, "mnuFileItem", {0, 1, 2, 3, 4, 5, 6, 7, 8}};
  forms::MenuItem mnuSettings{*this, "mnuSettings"};
  forms::ControlArray<forms::MenuItem> mnuSettingsItem{*this, "mnuSettingsItem", {0, 1, 2, 3}};
  forms::MenuItem mnuQuar{*this, "mnuQuar"};
  forms::ControlArray<forms::MenuItem> mnuQuarItem{*this, "mnuQuarItem", {0, 1}};
  forms::MenuItem mnuHelp{*this, "mnuHelp"};
  forms::ControlArray<forms::MenuItem> mnuHelpItem{*this, "mnuHelpItem", {0}};
  forms::MenuItem mnuAbout{*this, "mnuAbout"};
  forms::ControlArray<forms::MenuItem> mnuAboutItem{*this, "mnuAboutItem", {0}};
  forms::MenuItem mnuDebug{*this, "mnuDebug"};  // hidden
  forms::ControlArray<forms::MenuItem> mnuDebugItem{*this, "mnuDebugItem", {0, 1, 2}};

  // --- Timers. The group (scheduler and the two shields) starts switched off: only
  // ApplyTimerSettings switches it on, once the start-up has loaded the options.
  forms::Timer tmrScheduler{*this, "tmrScheduler"};
  forms::Timer tmrCheckHomePage{*this, "tmrCheckHomePage"};
  forms::Timer tmrMemoryInspected{*this, "tmrMemoryInspected"};
  forms::Timer tmrTimeOut{*this, "tmrTimeOut"};
  forms::Timer tmrScroll{*this, "tmrScroll"};
  forms::Timer timUpdate{*this, "timUpdate"};
  forms::Timer tmrTime{*this, "tmrTime"};
  forms::Timer tmrCheckSignature{*this, "tmrCheckSignature"};

 private:
  void DesignTopBar();
  void DesignStatusPage();
  void DesignScanPage();
  void DesignResultsPage();
  void DesignOptionsPage();
  void DesignScanOptions();
  void DesignProtection();
  void DesignSchedule();
  void DesignLiveUpdate();
  void DesignSkinTemplates();
  void DesignWorkingFrame();
  void DesignMenus();
  void DesignTimers();
};

}  // namespace model
