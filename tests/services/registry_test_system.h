#pragma once
// A services System over real hive files in a temporary folder, with a recording quarantine
// log and scripted answers to message boxes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "machine/http.h"
#include "machine/machine.h"
#include "machine/processes.h"
#include "machine/registry.h"
#include "machine/registry_import.h"
#include "machine/restore_points.h"
#include "services/prompts.h"
#include "services/system.h"

namespace services::testing {

class RecordingLog : public QuarantineLogWriter {
 public:
  void WriteEntry(std::string_view key_text, std::string_view value_text) override {
    entries.emplace_back(key_text, value_text);
  }
  std::vector<std::pair<std::string, std::string>> entries;
};

class ScriptedPrompter : public Prompter {
 public:
  struct Shown {
    std::string prompt;
    int style;
    std::string title;
  };
  int MsgBox(std::string_view prompt, int style, std::string_view title) override {
    shown.push_back({std::string(prompt), style, std::string(title)});
    if (on_show)
      on_show();
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected message box: " << prompt;
      return vbAbort;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<int> answers;
  std::vector<Shown> shown;
  std::function<void()> on_show;
};

inline machine::VersionInfo TestVersion() {
  machine::VersionInfo version;
  version.product_name = "Hearthguard";
  version.company_name = " Hearthguard Software ";
  return version;
}

class TestSystem {
 public:
  explicit TestSystem(machine::VersionInfo version = TestVersion()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "hg-registry-services-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      ADD_FAILURE() << "cannot make a temporary folder";
    dir_ = pattern;
    machine::Profile profile;
    profile.machine_hive = dir_ / "machine.hive";
    profile.user_hive = dir_ / "user.hive";
    std::string error;
    machine::MachineParts parts;
    parts.registry = machine::Registry::Open(profile.machine_hive, profile.user_hive, error);
    EXPECT_NE(parts.registry, nullptr) << error;
    machine_ = std::make_unique<machine::Machine>(std::move(profile), std::move(version),
                                                  std::move(parts), error);
    system_ = std::make_unique<System>(*machine_);
    system_->quarantine_log = &log;
    system_->prompter = &prompter;
  }
  ~TestSystem() {
    // Every routine closes the keys it opened.
    EXPECT_EQ(registry().OpenHandleCount(), 0u);
    system_.reset();
    machine_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  System& system() { return *system_; }
  machine::Registry& registry() { return machine_->registry(); }
  const std::filesystem::path& dir() const { return dir_; }

  void Import(std::string_view regedit4) {
    std::string error;
    ASSERT_TRUE(machine::ImportRegedit4(registry(), regedit4, error)) << error;
  }

  // Type and raw data of a value; {0, "missing"} when it is not there.
  std::pair<uint32_t, std::string> Value(machine::RegHandle root, std::string_view key,
                                         std::string_view name) {
    machine::RegHandle h = 0;
    uint32_t type = 0;
    std::string data = "missing";
    if (registry().OpenKey(root, key, h) == machine::kRegSuccess) {
      if (registry().GetValue(h, name, type, data) != machine::kRegSuccess)
        data = "missing";
      registry().CloseKey(h);
    }
    return {type, data};
  }

  bool KeyExists(machine::RegHandle root, std::string_view key) {
    machine::RegHandle h = 0;
    if (registry().OpenKey(root, key, h) != machine::kRegSuccess)
      return false;
    registry().CloseKey(h);
    return true;
  }

  RecordingLog log;
  ScriptedPrompter prompter;

 private:
  std::filesystem::path dir_;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
};

}  // namespace services::testing
