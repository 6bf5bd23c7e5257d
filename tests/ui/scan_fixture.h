#pragma once
// A main window ready to scan: the sample definitions over the planted tree, the scan controls
// installed, the window shown on its scan page, and recorders in the slots the scan's end
// calls (the report and the three steps of the automatic removal).

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/app.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"
#include "support/planted_scan.h"
#include "ui/main/scan_controls.h"

namespace ui_test {

class ScanFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    hg_test::InstallSampleDefinitions(app());
    hg_test::PlantSampleThreats(fixture_.temp, app());
    ui::InstallScanControls(app());
    window().Show();
    window().frmScan.SetVisible(true);
    app().hooks.MakeReport = Recorder("MakeReport");
    window().cmdRemove.on_click = Recorder("cmdRemove");
    window().cmdSelectAll.on_click = Recorder("cmdSelectAll");
    window().Command4.on_click = Recorder("Command4");
  }

  std::function<void()> Recorder(std::string name) {
    return [this, name] { calls_.push_back(name); };
  }

  void SaveSetting(std::string_view section, std::string_view key, std::string_view value) {
    services::WriteSetting(app().system, app().SettingsApplication(), section, key, value);
  }
  std::string ReadSetting(std::string_view section, std::string_view key) {
    return services::ReadSetting(app().system, app().SettingsApplication(), section, key, "(none)");
  }

  // The phase caption the stages show: one per stage that yields.
  static constexpr const char* kCookiePhase = "Detecting Cookies: ";
  static constexpr const char* kMemoryPhase = "Inspecting Memory: ";
  static constexpr const char* kRegistryPhase = "Scanning Registry: ";
  static constexpr const char* kFilesPhase = "Scanning Known Spyware/Adware: ";

  model::App& app() { return fixture_.app(); }
  model::FrmMain& window() { return fixture_.app().frmMain; }
  forms::HeadlessBackend& backend() { return fixture_.backend; }

  hg_test::AppFixture fixture_;
  // Calls of the report and the removal slots, in order.
  std::vector<std::string> calls_;
};

}  // namespace ui_test
