// The status, scan and results pages of the main window.

#include "model/frm_main.h"

namespace model {

namespace {

// Page rectangle in the design (the layout recomputes it from the window's size).
constexpr double kPageLeft = 1815;
constexpr double kPageTop = 855;
constexpr double kPageWidth = 8745;
constexpr double kPageHeight = 5985;

constexpr double kLineHeight = 255;

}  // namespace

void FrmMain::DesignStatusPage() {
  Place(Captioned(frmStatus, "Status"), nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight);
  Place(Captioned(Label22, "Welcome to "), &frmStatus, 240, 360, 8265, 375);
  Label22.SetFontBold(true);

  // Each caption with its value label (a skinned label) directly below it.
  struct Line {
    forms::Label& caption;
    const char* text;
    forms::Label& value;
  };
  const Line lines[] = {
      {Label25, "This program's version number is:", lblVersion},
      {Label1, "Your definitions were last updated:", lblDefVersion},
      {Label2, "You are protected against this many Adware/Spyware traces:", lblDefCount},
      {Label27, "Your last scan was completed:", lblLastScan},
      {Label23, "You have removed this many adware and spyware traces:", lblDefRemoved},
      {Label29, "Your last full system scan was completed:", lblLastFullScan},
  };
  double top = 960;
  for (const Line& line : lines) {
    Place(Captioned(line.caption, line.text), &frmStatus, 240, top, 8265, kLineHeight);
    Place(line.value, &frmStatus, 480, top + 270, 8025, kLineHeight);
    MarkSkinLabel(line.value);
    top += 660;
  }
}

void FrmMain::DesignScanPage() {
  Place(Captioned(frmScan, "Scan"), nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight);
  frmScan.SetVisible(false);

  // Counters, each with its caption on the left.
  struct Counter {
    forms::Label& caption;
    const char* text;
    forms::Label& value;
  };
  const Counter counters[] = {
      {Label3, "Cookies/Processes Inspected", lblMemoryInspected},
      {Label4, "Registry Entries Inspected", lblRegistryInspected},
      {Label5, "Files/Folders Inspected", lblFilesFolderInspected},
      {Label6, "Threats Found", lblSoftwareFound},
      {Label7, "Traces Found", lbltracesFound},
      {Label8, "Running Programs", lblTotalNoOfRunningItems},
  };
  double top = 360;
  for (const Counter& counter : counters) {
    Place(Captioned(counter.caption, counter.text), &frmScan, 600, top, 3000, kLineHeight);
    Place(Captioned(counter.value, "0"), &frmScan, 3720, top, 1200, kLineHeight);
    top += 300;
  }
  Place(shpCircle, &frmScan, 350, 371, 135, 135);
  shpCircle.SetShape(forms::Shape::Kind::kCircle);
  shpCircle.SetVisible(false);

  Place(Captioned(cmdScanNow, "Start"), &frmScan, 5400, 360, 1215, 375);
  Place(Captioned(cmdPause, "Pause"), &frmScan, 5400, 795, 1215, 375);
  Place(Captioned(cmdStop, "Stop"), &frmScan, 5400, 1230, 1215, 375);
  Place(Captioned(cmdLog, "View Log"), &frmScan, 5400, 1665, 1215, 375);
  cmdPause.SetEnabled(false);
  cmdStop.SetEnabled(false);
  Place(Captioned(lblStart, "Start"), &frmScan, 6855, 420, 1215, kLineHeight);
  Place(Captioned(lblPause, "Pause"), &frmScan, 6855, 855, 1215, kLineHeight);
  Place(Captioned(lblStop, "Stop"), &frmScan, 6855, 1290, 1215, kLineHeight);
  Place(Captioned(lblViewLogFile, "Show Report"), &frmScan, 6855, 1725, 1215, kLineHeight);

  Place(Captioned(lblPercentageCompleted, "0"), &frmScan, 600, 2220, 7905, kLineHeight);
  Place(pbgMain, &frmScan, 600, 2520, 7905, kLineHeight);

  // Bottom rows as the layout places them: cmdRemove in the corner, the bars above it.
  const double remove_top = kPageHeight - 375 - 240;
  const double pb2_top = remove_top - kLineHeight - 60;
  const double pb1_top = pb2_top - 285;
  Place(Captioned(cmdRemove, "Click Here to Continue"), &frmScan, kPageWidth - 2400 - 240,
        remove_top, 2400, 375);
  cmdRemove.SetVisible(false);
  Place(Captioned(SkinLabel7, "Current Stage:"), &frmScan, 240, pb1_top, 1215, kLineHeight);
  Place(Captioned(SkinLabel8, "All Definitions:"), &frmScan, 240, pb2_top, 1215, kLineHeight);
  MarkSkinLabel(SkinLabel7);
  MarkSkinLabel(SkinLabel8);
  Place(pb1, &frmScan, 1560, pb1_top, kPageWidth - 1560 - 240, kLineHeight);
  Place(pb2, &frmScan, 1560, pb2_top, kPageWidth - 1560 - 240, kLineHeight);
  Place(Captioned(lblStatus(1), "Status:"), &frmScan, 240, remove_top, 720, kLineHeight);
  Place(Captioned(lblStatus(0), "0"), &frmScan, 1080, remove_top, kPageWidth - 1080 - 240,
        kLineHeight);

  Place(lvwSpywareFound, &frmScan, 240, 2880, kPageWidth - 240 - 240, pb1_top - 2880 - 120);
  lvwSpywareFound.AddColumn("Adware and Spyware Found", kPageWidth - 720);
}

void FrmMain::DesignResultsPage() {
  Place(Captioned(frmResults, "Results"), nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight);
  frmResults.SetVisible(false);

  Place(Captioned(Label9, "Threats Found:"), &frmResults, 240, 360, 1800, kLineHeight);
  Place(Captioned(lblRemovePicSoftwareFound, "0"), &frmResults, 2160, 360, 1200, kLineHeight);

  // The row of link labels.
  struct Link {
    forms::Label& label;
    const char* caption;
  };
  const Link links[] = {{lblSweepNow, "Sweep Now"},
                        {lblRemove, "Remove"},
                        {lblOptions, "Options"},
                        {lblResult, "Result"},
                        {lblExit, "Exit"}};
  double left = 3600;
  for (const Link& link : links) {
    Place(Captioned(link.label, link.caption), &frmResults, left, 360, 960, kLineHeight);
    left += 1020;
  }

  auto& list = lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
  const double list_width = kPageWidth - 2 * 240;
  const double list_height = kPageHeight - 720 - 375 - 240;
  Place(list, &frmResults, 240, 720, list_width, list_height);
  list.SetCheckboxes(true);
  list.AddColumn("Spyware/Adware Found", 1400);
  list.AddColumn("Location", 1400);
  list.AddColumn("Type", 1400);

  const double buttons_top = 720 + list_height + 120;
  Place(Captioned(cmdSelectAll, "Select All"), &frmResults, 240, buttons_top, 1215, 375);
  Place(Captioned(cmdExclude, "Exclude"), &frmResults, 1575, buttons_top, 1215, 375);
  Place(Captioned(Command4, "Delete"), &frmResults, 2910, buttons_top, 1215, 375);

  // The removal's progress, hidden until a removal shows it.
  const double bar_left = 4245;
  const double bar_width = list_width - bar_left;
  Place(pgbDeleteSpywaresFound, &frmResults, bar_left, buttons_top, bar_width, kLineHeight);
  const double percent_top = buttons_top + kLineHeight + 5;
  Place(lblDeletingPercentageCompleted, &frmResults, bar_left, percent_top, bar_width, kLineHeight);
  Place(lblDeletingCaption, &frmResults, bar_left, percent_top + kLineHeight + 100, bar_width,
        kLineHeight);
  pgbDeleteSpywaresFound.SetVisible(false);
  lblDeletingPercentageCompleted.SetVisible(false);
  lblDeletingCaption.SetVisible(false);
}

}  // namespace model
