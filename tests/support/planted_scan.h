#pragma once
// A machine ready for a whole scan: the sample definitions installed in the program folder and
// counted as the start-up counts them, and a planted tree that the sample definitions find in
// every stage (a blocked cookie, registry keys and values, files and folders, an excluded file).
// Also a probe that looks at the scan at every yield. Header-only: the test binaries that use it
// link the engine themselves.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/sample_definitions.h"
#include "forms/headless_backend.h"
#include "machine/registry_import.h"
#include "model/app.h"
#include "support/temp_machine.h"

namespace hg_test {

inline constexpr const char* kPlantedProgramFolder = "C:\\Program Files\\Hearthguard";
inline constexpr const char* kPlantedCookieFolder = "C:\\Documents and Settings\\Owner\\Cookies";
inline constexpr const char* kPlantedCookie =
    "C:\\Documents and Settings\\Owner\\Cookies\\owner@acme-searchbar[1].txt";
inline constexpr const char* kPlantedAcmeFolder = "C:\\Program Files\\Acme SearchBar";
inline constexpr const char* kPlantedPopupFolder =
    "C:\\Documents and Settings\\All Users\\Application Data\\PopupPal";
inline constexpr const char* kPlantedKeyPeekFolder =
    "C:\\Documents and Settings\\Owner\\My Documents\\KeyPeek";
inline constexpr const char* kPlantedWallTheme = "C:\\walltheme.ini";

// Writes the sample definitions, counts them into the definitions state and loads the ignore
// list, as the main window's start-up does.
inline void InstallSampleDefinitions(model::App& app) {
  ASSERT_TRUE(engine::WriteSampleDefinitions(app.machine.files(), kPlantedProgramFolder));
  app.definitions.lngTotalDefinitions = engine::CountDefinitions(app);
  engine::LoadIgnoreList(app);
}

// What the sample definitions find on this tree, stage by stage.
inline void PlantSampleThreats(TempMachine& temp, model::App& app) {
  // Cookies: one blocked (its host item names the site), one from a site nobody blocks.
  temp.WriteFile(kPlantedCookie, "id\n4411\nacme-searchbar.example/\n1536\n");
  temp.WriteFile(std::string(kPlantedCookieFolder) + "\\owner@news.example[2].txt",
                 "id\n9\nnews.example/\n1536\n");

  // Registry: a value with a type text, a whole key without a threat name, a whole key whose
  // threat the file stage meets again.
  std::string error;
  ASSERT_TRUE(machine::ImportRegedit4(
      app.machine.registry(),
      "REGEDIT4\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
      "\"FunnyCursor\"=\"C:\\\\fc.exe\"\n"
      "[HKEY_CURRENT_USER\\Software\\Nameless Tracker Demo]\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Popup Pal]\n"
      "\"Installed\"=dword:00000001\n",
      error))
      << error;

  // Files and folders.
  temp.WriteFile(std::string(kPlantedAcmeFolder) + "\\acmebar.dll", "bho");
  temp.WriteFile(std::string(kPlantedPopupFolder) + "\\settings.ini", "[popup]\n");
  temp.WriteFile(kPlantedWallTheme, "[theme]\n");
  // Excluded: the file by its path, its folder because the entry lies inside it.
  const std::string keypeek_log = std::string(kPlantedKeyPeekFolder) + "\\keypeek.txt";
  temp.WriteFile(keypeek_log, "keys");
  temp.WriteFile(std::string(kPlantedProgramFolder) + "\\ENoSignature.txt", keypeek_log + "\r\n");
  engine::LoadIgnoreList(app);
}

// Runs `probe` at every yield from now on, with the number of the yield, until it is stopped or
// goes. The pending action holds the probe's state, so a yield after the probe is gone is safe.
class YieldProbe {
 public:
  YieldProbe(forms::HeadlessBackend& backend, std::function<void(int)> probe)
      : state_(std::make_shared<State>(State{backend, std::move(probe)})) {
    Arm(state_);
  }
  ~YieldProbe() { Stop(); }
  YieldProbe(const YieldProbe&) = delete;
  YieldProbe& operator=(const YieldProbe&) = delete;

  void Stop() { state_->stopped = true; }
  int Yields() const { return state_->yields; }

 private:
  struct State {
    forms::HeadlessBackend& backend;
    std::function<void(int)> probe;
    int yields = 0;
    bool stopped = false;
  };

  static void Arm(const std::shared_ptr<State>& state) {
    state->backend.AtYield(1, "probe", [state] {
      if (state->stopped)
        return;
      state->probe(++state->yields);
      Arm(state);
    });
  }

  std::shared_ptr<State> state_;
};

}  // namespace hg_test
