// The main window's design table: what the screen adds to the model's layout.

#include "ui/main/layout.h"
#include "view/designs.h"

namespace view {

namespace {

using C = ControlDesign;

// The page headline.
constexpr FontDesign kHeadline{"", 12, true};
// Values that the status page reports.
constexpr FontDesign kValueFont{"", 0, true};
// Captions whose boxes the skin's bold face would overfill.
constexpr FontDesign kTightFont{"", 7.5, false};

std::vector<ControlDesign> Controls() {
  std::vector<ControlDesign> c = {
      // Top bar and the page column.
      {.name = "lblHide", .role = Role::kCloseBox, .align = Align::kCenter, .font = kValueFont},
      {.name = "Command5", .role = Role::kNavigation},
      {.name = "cmdWebsite", .role = Role::kPlain},
      {.name = "cmdStatus", .role = Role::kNavigation},
      {.name = "cmdScan", .role = Role::kNavigation},
      {.name = "cmdResults", .role = Role::kNavigation},
      {.name = "cmdSettings", .role = Role::kNavigation},
      {.name = "cmdUpdate", .role = Role::kNavigation},

      // Status page.
      {.name = "frmStatus", .role = Role::kPage},
      {.name = "Label22", .role = Role::kHeading, .font = kHeadline},
      {.name = "lblVersion", .role = Role::kValue, .font = kValueFont},
      {.name = "lblDefVersion", .role = Role::kValue, .font = kValueFont},
      {.name = "lblDefCount", .role = Role::kValue, .font = kValueFont},
      {.name = "lblLastScan", .role = Role::kValue, .font = kValueFont},
      {.name = "lblDefRemoved", .role = Role::kValue, .font = kValueFont},
      {.name = "lblLastFullScan", .role = Role::kValue, .font = kValueFont},

      // Scan page.
      {.name = "frmScan", .role = Role::kPage},
      {.name = "lblMemoryInspected", .role = Role::kValue, .align = Align::kRight},
      {.name = "lblRegistryInspected", .role = Role::kValue, .align = Align::kRight},
      {.name = "lblFilesFolderInspected", .role = Role::kValue, .align = Align::kRight},
      {.name = "lblSoftwareFound", .role = Role::kValue, .align = Align::kRight},
      {.name = "lbltracesFound", .role = Role::kValue, .align = Align::kRight},
      {.name = "lblTotalNoOfRunningItems", .role = Role::kValue, .align = Align::kRight},
      {.name = "lblStart", .role = Role::kLink},
      {.name = "lblPause", .role = Role::kLink},
      {.name = "lblStop", .role = Role::kLink},
      {.name = "lblViewLogFile", .role = Role::kLink},
      {.name = "lblPercentageCompleted", .role = Role::kValue},
      {.name = "lvwSpywareFound", .icons = IconSet::kThreats},
      {.name = "SkinLabel7", .font = kTightFont},
      {.name = "SkinLabel8", .font = kTightFont},
      {.name = "lblStatus", .index = 1, .role = Role::kPlain, .font = kValueFont},
      {.name = "lblStatus", .index = 0, .role = Role::kValue, .one_line = true},

      // Results page.
      {.name = "frmResults", .role = Role::kPage},
      {.name = "lblRemovePicSoftwareFound", .role = Role::kValue, .font = kValueFont},
      {.name = "lblSweepNow", .role = Role::kLink, .align = Align::kCenter, .font = kTightFont},
      {.name = "lblRemove", .role = Role::kLink, .align = Align::kCenter, .font = kTightFont},
      {.name = "lblOptions", .role = Role::kLink, .align = Align::kCenter, .font = kTightFont},
      {.name = "lblResult", .role = Role::kLink, .align = Align::kCenter, .font = kTightFont},
      {.name = "lblExit", .role = Role::kLink, .align = Align::kCenter, .font = kTightFont},
      {.name = "lvwPicRemoveListOfSpywareFoundAndToBeRemoved", .icons = IconSet::kThreats},
      {.name = "lblDeletingPercentageCompleted", .role = Role::kValue},

      // Options page: the tab strip carries the sub-pages, which draw as captioned groups.
      {.name = "frmOptions", .role = Role::kPanel},
      {.name = "frmView", .index = C::kAnyIndex, .role = Role::kGroup},
      {.name = "frmScanType", .role = Role::kGroup},
      {.name = "frmDriveSelection", .role = Role::kGroup},
      {.name = "lvwHardDrives", .icons = IconSet::kDrives, .column_headers = false},
      {.name = "frmHomePageProtection", .role = Role::kGroup},
      {.name = "frmAutoProtect", .role = Role::kGroup},
      {.name = "lblLastUpdate", .role = Role::kValue},
      {.name = "Label26", .role = Role::kValue},

      // The working frame below the window's edge.
      {.name = "Frame", .role = Role::kPanel},
      {.name = "lvwFilesToBeDeleted", .icons = IconSet::kThreats},
      {.name = "lvwRegistryToBeDeleted", .icons = IconSet::kThreats},
      {.name = "lvwCookiesToDelete", .icons = IconSet::kThreats},
  };
  return c;
}

}  // namespace

const FormDesign& FrmMainDesign() {
  static const FormDesign design{.form_name = "FrmMain",
                                 .resizable = true,
                                 .min_width = ui::kMainWindowMinWidth,
                                 .min_height = ui::kMainWindowMinHeight,
                                 .icon = "",
                                 .centred_on_screen_once = true,
                                 .controls = Controls()};
  return design;
}

}  // namespace view
