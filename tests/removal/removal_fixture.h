#pragma once
// An application object for the removal's tests: a fresh test machine with a fixed clock, the
// headless runtime, the removal's hooks installed and the quarantine folder made, plus helpers
// that put target rows on the main window's lists and run the two passes as the session does.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/clock.h"
#include "machine/machine.h"
#include "machine/registry_import.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "removal/quarantine_store.h"
#include "removal/removal.h"
#include "removal/removal_hooks.h"
#include "support/app_fixture.h"
#include "support/temp_machine.h"

namespace removal_test {

// 6/28/2006 2:05:09 PM
inline constexpr machine::DateTime kNow{2006, 6, 28, 14, 5, 9};
inline constexpr std::string_view kStamp = "6/28/2006 2:05:09 PM";

class RemovalFixture : public hg_test::AppFixture {
 public:
  // `prepare` may change the profile before the machine is opened on it.
  explicit RemovalFixture(const std::function<void(hg_test::TempMachine&)>& prepare = {})
      : AppFixture(prepare, hg_test::TestVersionInfo(), hg_test::FixedClockParts(kNow)) {
    removal::InstallRemovalHooks(app());
    EXPECT_TRUE(files().CreateFolder(quarantine()));
  }

  machine::FileSystem& files() { return machine().files(); }
  machine::Registry& registry() { return machine().registry(); }
  machine::FixedClock& clock() { return static_cast<machine::FixedClock&>(machine().clock()); }

  std::string quarantine() { return removal::QuarantineFolderPath(app().system); }
  std::string program_folder() { return machine().profile().program_folder; }
  // The log's whole text; "" when there is none.
  std::string Log() { return files().ReadFile(quarantine() + "\\QuarantineLog.txt").value_or(""); }
  std::string Read(std::string_view path) { return files().ReadFile(path).value_or("<missing>"); }

  void Import(std::string_view regedit4) {
    std::string error;
    ASSERT_TRUE(machine::ImportRegedit4(registry(), regedit4, error)) << error;
  }

  // A threat row (once per name) and its target rows, checked as the propagation checks them.
  void AddThreat(const std::string& name, const std::string& location,
                 model::ThreatIconKind icon = model::ThreatIconKind::kFile, bool checked = true) {
    model::RowView<model::ThreatRow>(main().lvwPicRemoveListOfSpywareFoundAndToBeRemoved)
        .Add({name, location, "", icon, checked});
  }
  void AddFile(const std::string& path, const std::string& threat, bool checked = true) {
    model::RowView<model::FileTargetRow>(main().lvwFilesToBeDeleted).Add({path, threat, checked});
  }
  void AddRegistry(machine::RegHandle root, const std::string& key, const std::string& value,
                   const std::string& threat, bool checked = true) {
    AddRegistryText(std::to_string(root), key, value, threat, checked);
  }
  void AddRegistryText(const std::string& root_text, const std::string& key,
                       const std::string& value, const std::string& threat, bool checked = true) {
    model::RowView<model::RegistryTargetRow>(main().lvwRegistryToBeDeleted)
        .Add({root_text, key, value, threat, checked});
  }
  void AddCookie(const std::string& path, bool checked = true) {
    model::RowView<model::CookieTargetRow>(main().lvwCookiesToDelete).Add({path, "", checked});
  }

  removal::RemovalPassResult Pass(bool quarantine_pass) {
    app().removal.bQuarantinePass = quarantine_pass;
    const removal::RemovalPassResult result = removal::RemoveCheckedItems(app());
    app().removal.bQuarantinePass = false;
    return result;
  }
  // Both passes, as the removal session runs them; the removed counts added up.
  removal::RemovalPassResult BothPasses() {
    removal::RemovalPassResult first = Pass(true);
    const removal::RemovalPassResult second = Pass(false);
    first.removed += second.removed;
    first.leftovers = second.leftovers;
    return first;
  }

  // What the delete-failed window lists, without loading it.
  std::vector<std::string> Problems() {
    std::vector<std::string> paths;
    for (const forms::ListItem& item : app().frmDelete.Peek().lstProblem.Items())
      paths.push_back(item.text);
    return paths;
  }
  bool FileRowChecked(int position) { return main().lvwFilesToBeDeleted.Item(position).checked; }
  bool ThreatRowChecked(int position) {
    return main().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Item(position).checked;
  }
};

}  // namespace removal_test
