#include "services/machine_settings.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "services/registry_test_system.h"
#include "services/settings_store.h"

namespace services {
namespace {

using namespace std::string_literals;
using machine::kHkeyLocalMachine;
using testing::TestSystem;

constexpr const char* kSection = "SOFTWARE\\Hearthguard Software\\Hearthguard\\Settings";

// What GetSettingHKLM raised: its number and description, or {0, ""} when it returned.
std::pair<int32_t, std::string> Raised(System& system, std::string_view application,
                                       std::string_view section, std::string_view key) {
  try {
    GetSettingHKLM(system, application, section, key, "default");
  } catch (const SettingsError& e) {
    EXPECT_STREQ(e.what(), e.description.c_str());
    return {e.number, e.description};
  }
  return {0, ""};
}

TEST(MachineSettingsTest, AValueNeverWrittenReadsAsTheDefault) {
  TestSystem t;
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", ""), "");
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "none"), "none");
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "showHelp", "0");
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "none"), "none");
}

TEST(MachineSettingsTest, SavedValuesReadBackWholeUnderTheTrimmedCompanyName) {
  TestSystem t;  // its company name has blanks around it
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "Yes");
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", ""), "Yes");
  EXPECT_EQ(t.Value(kHkeyLocalMachine, kSection, "FirstTime"),
            std::make_pair(machine::kRegSz, "Yes\0"s));

  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "");
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "x"), "");

  // Blanks around the names do not change where the value lives.
  SaveSettingHKLM(t.system(), "  Hearthguard ", " Settings  ", " showHelp ", "0");
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "showHelp", ""), "0");
  EXPECT_EQ(GetSettingHKLM(t.system(), " Hearthguard", "Settings ", "showHelp  ", ""), "0");
  EXPECT_EQ(t.Value(kHkeyLocalMachine, kSection, "showHelp").first, machine::kRegSz);
  EXPECT_TRUE(t.log.entries.empty());
  EXPECT_TRUE(t.prompter.shown.empty());
}

TEST(MachineSettingsTest, ReadErrorsCarryTheirNumbersAndTexts) {
  TestSystem t;
  t.Import(
      "REGEDIT4\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Hearthguard Software\\Hearthguard\\Settings]\n"
      "\"Number\"=dword:00000001\n"
      "\"Blob\"=hex:01\n"
      "\"Empty\"=hex(1):\n");
  const int32_t base = static_cast<int32_t>(0x80040000u);
  struct Case {
    std::string application, section, key;
    int32_t number;
    std::string description;
  };
  const Case cases[] = {
      {"", "Settings", "FirstTime", base + 1000, "AppName may not be empty"},
      {"  ", "", "", base + 1000, "AppName may not be empty"},
      {"Hearthguard", " ", "FirstTime", base + 1001, "Section may not be empty"},
      {"Hearthguard", "Settings", "", base + 1002, "Key may not be empty"},
      {"Hearthguard", "Settings", "Number", base + 2004, "Registry data not a string"},
      {"Hearthguard", "Settings", "Blob", base + 2003, "Registry data not a string"},
      {"Hearthguard", "Settings", "Empty", 0, ""},
      {"Hearthguard", "Missing", "Number", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.application + "/" + c.section + "/" + c.key);
    EXPECT_EQ(Raised(t.system(), c.application, c.section, c.key),
              std::make_pair(c.number, c.description));
  }
  EXPECT_EQ(base + 2004, -2147219500);
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "Empty", "x"), "");
}

TEST(MachineSettingsTest, AKeyPathThatCannotBeOpenedRaisesWithTheStatus) {
  machine::VersionInfo version = testing::TestVersion();
  version.company_name = "Broken\\";  // leaves an empty name inside the key path
  TestSystem t(version);
  EXPECT_EQ(Raised(t.system(), "Hearthguard", "Settings", "FirstTime"),
            std::make_pair(static_cast<int32_t>(0x80040000u) + 2000 + machine::kRegBadPathName,
                           "Could not open registry section"s));
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "Yes");  // silently refused
  EXPECT_TRUE(t.prompter.shown.empty());
}

// Holds the machine hive locked as another process would, so every change fails.
class HiveLock {
 public:
  explicit HiveLock(const std::filesystem::path& hive) {
    EXPECT_EQ(sqlite3_open(hive.c_str(), &db_), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  ~HiveLock() { Release(); }
  void Release() {
    if (db_) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(db_);
      db_ = nullptr;
    }
  }

 private:
  sqlite3* db_ = nullptr;
};

const std::string kPermissionPrompt =
    "Hearthguard requires read/write access to the system registry and hard drive in order to "
    "run properly.  This user account does not have the proper permissions set.  As a result "
    "some or all of your settings may not be properly saved.  Please contact your system "
    "administrator or change the permission settings for this account.\r\n\r\nIf you would "
    "like to prevent this error message from being displayed again, please press 'Ignore'.";

TEST(MachineSettingsTest, AFailingHiveAsksAbortRetryIgnore) {
  TestSystem t;
  t.registry().SetBusyTimeout(0);
  HiveLock lock(t.dir() / "machine.hive");

  // Abort: nothing saved, asked once.
  t.prompter.answers = {vbAbort};
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "Yes");
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].prompt, kPermissionPrompt);
  EXPECT_EQ(t.prompter.shown[0].style, vbAbortRetryIgnore);
  EXPECT_EQ(t.prompter.shown[0].title, "");

  // Retry after the other process let go: saved.
  t.prompter.answers = {vbRetry, vbRetry};
  int shows = 0;
  t.prompter.on_show = [&] {
    if (++shows == 2)
      lock.Release();
  };
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "Yes");
  EXPECT_EQ(t.prompter.shown.size(), 3u);
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", ""), "Yes");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Settings", "IgnorePermissionDeniedError", "0"),
            "0");
}

TEST(MachineSettingsTest, IgnoreStopsTheQuestionForGood) {
  TestSystem t;
  t.registry().SetBusyTimeout(0);
  HiveLock lock(t.dir() / "machine.hive");
  t.prompter.answers = {vbIgnore};
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "Yes");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Settings", "IgnorePermissionDeniedError", "0"),
            "1");
  SaveSettingHKLM(t.system(), "Hearthguard", "Settings", "showHelp", "0");
  EXPECT_EQ(t.prompter.shown.size(), 1u);
  lock.Release();
  EXPECT_EQ(GetSettingHKLM(t.system(), "Hearthguard", "Settings", "FirstTime", "none"), "none");
}

}  // namespace
}  // namespace services
