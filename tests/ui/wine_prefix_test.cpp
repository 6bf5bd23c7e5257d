// The README's recipe for a Wine prefix, followed over a small tree laid out as a prefix: a scan
// with the automatic removal after it finds what was planted, keeps the system file that names
// its maker in a string block of type word 0, moves the finds into the quarantine on the
// program's own drive and changes nothing else in the prefix.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/sample_definitions.h"
#include "engine/version_resource.h"
#include "removal/machine_snapshot.h"
#include "removal/quarantine_store.h"
#include "removal/removal_hooks.h"
#include "removal/removal_session.h"
#include "removal/result_list_actions.h"
#include "support/app_fixture.h"
#include "ui/main/check_propagation.h"
#include "ui/main/scan_controls.h"
#include "ui/main/scan_run.h"

namespace {

namespace fs = std::filesystem;

// The profile the README writes with its here-document.
std::string RecipeProfile() {
  std::ifstream readme(HG_README);
  std::string profile;
  bool inside = false;
  for (std::string line; std::getline(readme, line);) {
    if (inside && line == "    EOF")
      return profile;
    if (inside)
      profile += line.substr(std::min<size_t>(4, line.size())) + "\n";
    inside = inside || line == "    cat > ~/hearthguard-wine/profile.ini <<'EOF'";
  }
  ADD_FAILURE() << "no profile recipe in the README";
  return "";
}

constexpr const char* kSystemFile = "C:\\windows\\system32\\dialdemo.dll";
constexpr const char* kToolbarFolder = "C:\\Program Files\\Acme SearchBar";
constexpr const char* kPopupFolder = "C:\\ProgramData\\PopupPal";

TEST(WinePrefixTest, TheRecipeScansAndRemovesInsideThePrefixOnly) {
  fs::path prefix, home;
  hg_test::AppFixture fixture([&](hg_test::TempMachine& temp) {
    // ~ is the temporary folder: the prefix in .wine, the profile in hearthguard-wine.
    prefix = temp.root() / ".wine";
    home = temp.root() / "home";
    const fs::path profile = temp.root() / "hearthguard-wine" / "profile.ini";
    fs::create_directories(prefix / "drive_c");
    fs::create_directories(profile.parent_path() / "drive_h" / "Hearthguard");
    std::ofstream(profile) << RecipeProfile();
    const machine::ProfileLoadResult loaded = machine::LoadProfile(profile);
    ASSERT_TRUE(loaded.errors.empty()) << loaded.errors.front().text;
    temp.profile() = loaded.profile;

    // A system file that the sample definitions name, made by a compiler that writes type
    // word 0 on its string block, with the plain key in a symbol name before the block.
    temp.WriteFile(kSystemFile, std::string("PKEY_Contact_JA_CompanyNamePhonetic\0", 36) +
                                    hg_test::FileWithCompany("Microsoft Corporation", 0));
    temp.WriteFile(std::string(kToolbarFolder) + "\\acmebar.dll", "bho");
    temp.WriteFile(std::string(kPopupFolder) + "\\settings.ini", "[popup]\n");
    temp.WriteFile("C:\\windows\\win.ini", "[windows]\n");
    // The desktop is a link into the home folder, as Wine makes it.
    fs::create_directories(home / "Desktop");
    std::ofstream(home / "Desktop" / "Evil Dialer Demo.lnk") << "lnk";
    temp.MakeFolder("C:\\users\\you");
    fs::create_directory_symlink(home / "Desktop", temp.host("C:\\users\\you\\Desktop"));
  });
  model::App& app = fixture.app();
  // The definition files copied into the program folder.
  ASSERT_TRUE(
      engine::WriteSampleDefinitions(app.machine.files(), app.machine.profile().program_folder));
  app.definitions.lngTotalDefinitions = engine::CountDefinitions(app);
  engine::LoadIgnoreList(app);
  removal::InstallRemovalHooks(app);
  removal::InstallRemovalSession(app);
  removal::InstallResultListActions(app);
  ui::InstallScanControls(app);
  ui::InstallCheckPropagation(app);
  app.frmMain.Show();

  removal_test::TreeSnapshot expected = removal_test::SnapshotTree(prefix);
  for (const char* gone :
       {"drive_c/Program Files/Acme SearchBar", "drive_c/Program Files/Acme SearchBar/acmebar.dll",
        "drive_c/ProgramData/PopupPal", "drive_c/ProgramData/PopupPal/settings.ini"})
    ASSERT_EQ(expected.erase(gone), 1u) << gone;
  app.scan.bAutoDeleteAfterScan = true;
  ui::cmdScanNow_Click(app);

  EXPECT_TRUE(fixture.backend.MessageBoxes().empty());
  EXPECT_EQ(removal_test::SnapshotTree(prefix), expected);
  EXPECT_TRUE(fs::exists(home / "Desktop" / "Evil Dialer Demo.lnk"));
  machine::FileSystem& files = app.machine.files();
  const std::string quarantine = removal::QuarantineFolderPath(app.system);
  EXPECT_TRUE(quarantine.starts_with("H:\\")) << quarantine;
  EXPECT_EQ(files.ReadFile(quarantine + "\\acmebar.dll").value_or(""), "bho");
  EXPECT_EQ(files.ReadFile(quarantine + "\\settings.ini").value_or(""), "[popup]\n");
  EXPECT_TRUE(files.FileExists(quarantine + "\\QuarantineLog.txt"));
}

}  // namespace
