#include "model/frm_main.h"

namespace model {

namespace {

// The window's design size (twips); the layout works from the outer size.
constexpr double kWidth = 10800;
constexpr double kHeight = 7800;

}  // namespace

FrmMain::FrmMain(forms::Runtime& runtime) : Window(runtime, "FrmMain", forms::FormRole::kMain) {
  Move(0, 0, kWidth, kHeight);
  DesignTopBar();
  DesignStatusPage();
  DesignScanPage();
  DesignResultsPage();
  DesignOptionsPage();
  DesignSkinTemplates();
  DesignWorkingFrame();
  DesignMenus();
  DesignTimers();
}

void FrmMain::DesignTopBar() {
  Place(Captioned(lblHide, "X"), nullptr, 10200, 60, 240, 255);
  Place(Captioned(Command5, "Send to Tray"), nullptr, 120, 360, 1575, 375);
  Place(Captioned(cmdWebsite, "Visit "), nullptr, 1815, 360, kWidth - 1815 - 200, 375);

  double top = 855;
  for (forms::CommandButton* button :
       {&cmdStatus, &cmdScan, &cmdResults, &cmdSettings, &cmdUpdate}) {
    Place(*button, nullptr, 120, top, 1575, 495);
    top += 600;
  }
  cmdStatus.SetCaption("Status");
  cmdScan.SetCaption("Scan Now");
  cmdResults.SetCaption("Results/Removal");
  cmdSettings.SetCaption("Settings");
  cmdUpdate.SetCaption("Live Update");
}

void FrmMain::DesignSkinTemplates() {
  // One template per container whose plain labels take the skin.
  struct Template {
    forms::ControlArray<forms::Label>& array;
    forms::Control* container;
  };
  for (const Template& t : {Template{SkinLabel1, &frmStatus}, Template{SkinLabel2, &frmScan},
                            Template{SkinLabel3, &frmResults}, Template{SkinLabel4, &frmView(0)},
                            Template{SkinLabel5, &frmView(2)}, Template{SkinLabel6, &frmView(3)}}) {
    forms::Label& element = t.array(0);
    Place(Captioned(element, "Windowed Label"), t.container, 0, 0, 1215, 255);
    element.SetVisible(false);
    MarkSkinLabel(element);
  }
}

void FrmMain::DesignWorkingFrame() {
  // Visible, but below the window's bottom edge; the layout keeps it there.
  Place(Frame, nullptr, 0, kHeight + 1000, kWidth, 3000);

  Place(lvwFilesToBeDeleted, &Frame, 120, 240, 3000, 1200);
  lvwFilesToBeDeleted.AddColumn("");
  lvwFilesToBeDeleted.AddColumn("");

  Place(lvwRegistryToBeDeleted, &Frame, 3240, 240, 3000, 1200);
  for (const char* column : {"Main Key", "KeyValue", "Value", "SpywareName"})
    lvwRegistryToBeDeleted.AddColumn(column);

  Place(lvwCookiesToDelete, &Frame, 6360, 240, 3000, 1200);
  lvwCookiesToDelete.AddColumn("Cookie Name");
  lvwCookiesToDelete.AddColumn("CookieLocation");

  Place(lvwFileNotFounds, &Frame, 120, 1560, 3000, 1200);
  lvwFileNotFounds.AddColumn("");
  Place(lvwBlockedCookies, &Frame, 3240, 1560, 3000, 1200);
  lvwBlockedCookies.AddColumn("");

  Place(lblWebText, &Frame, 6360, 1560, 3000, 255);
  Place(wbrMain, &Frame, 6360, 1920, 3000, 840);
}

void FrmMain::DesignMenus() {
  struct Item {
    forms::ControlArray<forms::MenuItem>& array;
    int index;
    const char* caption;
  };
  Captioned(mnuFile, "File");
  Captioned(mnuSettings, "Settings");
  Captioned(mnuQuar, "Quarantine");
  Captioned(mnuHelp, "Help");
  Captioned(mnuAbout, "About");
  Captioned(mnuDebug, "mnuDebug");
  mnuDebug.SetVisible(false);

  const Item items[] = {
      {mnuFileItem, 0, "Scan Now"},
      {mnuFileItem, 1, "Scan Results"},
      {mnuFileItem, 2, "View Log"},
      {mnuFileItem, 3, "-"},
      {mnuFileItem, 4, "Run Live Update"},
      {mnuFileItem, 5, "-"},
      {mnuFileItem, 6, "Minimize to Tray"},
      {mnuFileItem, 7, "-"},
      {mnuFileItem, 8, "Exit"},
      {mnuSettingsItem, 0, "Scan Options"},
      {mnuSettingsItem, 1, "Proactive Protection"},
      {mnuSettingsItem, 2, "Schedule"},
      {mnuSettingsItem, 3, "Auto Update"},
      {mnuQuarItem, 0, "View Quarantine"},
      {mnuQuarItem, 1, "View Exclusions"},
      {mnuHelpItem, 0, "View Help"},
      {mnuAboutItem, 0, "About this software"},
      {mnuDebugItem, 0, "Show Homepage Changed"},
      {mnuDebugItem, 1, "Show SignatureUpdated"},
      {mnuDebugItem, 2, "Show SpywareFound"},
  };
  for (const Item& item : items)
    item.array(item.index).SetCaption(item.caption);
  struct Menu {
    forms::ControlArray<forms::MenuItem>& items;
    forms::MenuItem& menu;
  };
  const Menu menus[] = {{mnuFileItem, mnuFile},   {mnuSettingsItem, mnuSettings},
                        {mnuQuarItem, mnuQuar},   {mnuHelpItem, mnuHelp},
                        {mnuAboutItem, mnuAbout}, {mnuDebugItem, mnuDebug}};
  for (const Menu& m : menus)
    for (forms::MenuItem* element : m.items.Elements())
      element->SetContainer(&m.menu);
  mnuFileItem(1).SetVisible(false);
}

void FrmMain::DesignTimers() {
  struct Design {
    forms::Timer& timer;
    int64_t interval_ms;
    bool enabled;
  };
  const Design timers[] = {
      {tmrScheduler, 10, false},
      {tmrCheckHomePage, 5000, false},
      {tmrMemoryInspected, 10000, false},
      {tmrTimeOut, 30000, true},
      {tmrScroll, 200, true},
      {timUpdate, 1000, false},
      {tmrTime, 1000, true},
      {tmrCheckSignature, 60000, false},
  };
  for (const Design& d : timers) {
    d.timer.SetInterval(d.interval_ms);
    d.timer.SetEnabled(d.enabled);
  }
}

}  // namespace model
