#include "services/settings_store.h"

#include <gtest/gtest.h>

#include <string>

#include "services/registry_test_system.h"

namespace services {
namespace {

using namespace std::string_literals;
using machine::kHkeyCurrentUser;
using testing::TestSystem;

TEST(SettingsStoreTest, AbsentSettingsReadAsTheReadersDefault) {
  TestSystem t;
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "OptionAndSettings", "chkAutomaticUpdate", "1"),
            "1");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "OptionAndSettings", "chkAutomaticUpdate", 0),
            "0");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "OptionAndSettings", "Day", 7), "7");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Settings", "FoundCol21", int64_t{-1400}),
            "-1400");

  WriteSetting(t.system(), "Hearthguard", "Settings", "Minimized", "No");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Settings", "lblLastScan", "Never"), "Never");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Drives", "C:", "True"), "True");
  EXPECT_EQ(ReadSetting(t.system(), "Other", "Settings", "Minimized", "x"), "x");
  // Empty names address nothing.
  EXPECT_EQ(ReadSetting(t.system(), "", "Settings", "Minimized", "d"), "d");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "", "Minimized", "d"), "d");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Settings", "", "d"), "d");
}

TEST(SettingsStoreTest, WritesCreateWhatIsMissingAndReplace) {
  TestSystem t;
  WriteSetting(t.system(), "DoziziVararevEvozozuz", "Settings", "Product", "Hearthguard");
  EXPECT_EQ(
      t.Value(kHkeyCurrentUser,
              "Software\\VB and VBA Program Settings\\DoziziVararevEvozozuz\\Settings", "Product"),
      std::make_pair(machine::kRegSz, "Hearthguard\0"s));

  WriteSetting(t.system(), "Hearthguard", "OptionAndSettings", "optMemorySheildOn", "True");
  WriteSetting(t.system(), "Hearthguard", "OptionAndSettings", "optMemorySheildOn", "False");
  EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "OptionAndSettings", "optMemorySheildOn", ""),
            "False");
  // Names are found ignoring case; values keep blanks.
  WriteSetting(t.system(), "Hearthguard", "OptionAndSettings", "Homepage", " http://a/ ");
  EXPECT_EQ(ReadSetting(t.system(), "HEARTHGUARD", "optionandsettings", "HOMEPAGE", ""),
            " http://a/ ");
  WriteSetting(t.system(), "Hearthguard", "Settings", "", "lost");
  EXPECT_EQ(
      t.Value(kHkeyCurrentUser, "Software\\VB and VBA Program Settings\\Hearthguard\\Settings", "")
          .second,
      "missing");
}

TEST(SettingsStoreTest, ValuesOfOtherTypesReadAsText) {
  TestSystem t;
  t.Import(
      "REGEDIT4\n"
      "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Hearthguard\\Settings]\n"
      "\"Dword\"=dword:00000001\n"
      "\"Negative\"=dword:fffffffe\n"
      "\"Big\"=hex(5):00,00,01,00\n"
      "\"Quad\"=hex(b):00,e4,0b,54,02,00,00,00\n"
      "\"Bytes\"=hex:31,34,30,30\n"
      "\"Expand\"=hex(2):25,41,25,00\n"
      "\"TwoNuls\"=hex(1):61,00,62,00\n");
  struct Case {
    std::string key, text;
  };
  const Case cases[] = {
      {"Dword", "1"},    {"Negative", "-2"}, {"Big", "256"},   {"Quad", "10000000000"},
      {"Bytes", "1400"}, {"Expand", "%A%"},  {"TwoNuls", "a"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadSetting(t.system(), "Hearthguard", "Settings", c.key, "default"), c.text)
        << c.key;
}

TEST(SettingsStoreTest, Conversions) {
  struct IntCase {
    std::string text;
    int value;
  };
  for (const IntCase& c : std::vector<IntCase>{{"1", 1},
                                               {"0", 0},
                                               {" 7 ", 7},
                                               {"2.5", 2},
                                               {"3.5", 4},
                                               {"-1.5", -2},
                                               {"True", -1},
                                               {" true ", -1},
                                               {"FALSE", 0},
                                               {"32767", 32767},
                                               {"40000", 0},
                                               {"abc", 0},
                                               {"12abc", 0},
                                               {"", 0}}) {
    EXPECT_EQ(SettingToInt(c.text), c.value) << "\"" << c.text << "\"";
  }
  struct BoolCase {
    std::string text;
    bool value;
  };
  for (const BoolCase& c : std::vector<BoolCase>{{"True", true},
                                                 {"true", true},
                                                 {" False ", false},
                                                 {"1", true},
                                                 {"-1", true},
                                                 {"0", false},
                                                 {"0.0", false},
                                                 {"0.5", true},
                                                 {"yes", false},
                                                 {"", false}}) {
    EXPECT_EQ(SettingToBool(c.text), c.value) << "\"" << c.text << "\"";
  }
  struct NumberCase {
    std::string text;
    double value;
  };
  for (const NumberCase& c : std::vector<NumberCase>{
           {"1400", 1400}, {" 1.5 ", 1.5}, {"-2", -2}, {"True", 0}, {"x", 0}, {"", 0}}) {
    EXPECT_EQ(SettingNumericValue(c.text), c.value) << "\"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace services
