#include <gtest/gtest.h>

#include <string>

#include "services/registry_home_page.h"
#include "services/registry_related.h"
#include "services/registry_roots.h"
#include "services/registry_test_system.h"

namespace services {
namespace {

using namespace std::string_literals;
using machine::kHkeyClassesRoot;
using machine::kHkeyCurrentConfig;
using machine::kHkeyCurrentUser;
using machine::kHkeyDynData;
using machine::kHkeyLocalMachine;
using machine::kHkeyUsers;
using machine::kRegDword;
using machine::kRegSz;
using testing::TestSystem;

TEST(RootKeyCodesTest, OnlyAWholeNumberFromZeroToFiveMaps) {
  struct Case {
    std::string code;
    machine::RegHandle root;
    std::string name;
  };
  const Case cases[] = {
      {"0", kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
      {"1", kHkeyCurrentUser, "HKEY_CURRENT_USER"},
      {"2", kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
      {"3", kHkeyUsers, "HKEY_USERS"},
      {"4", kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},  // not HKEY_PERFORMANCE_DATA
      {"5", kHkeyDynData, "HKEY_DYN_DATA"},
      {" 2 ", kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
      {"005", kHkeyDynData, "HKEY_DYN_DATA"},
      {"00", kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
      // Refused: each gives no root and no name, whatever was mapped before.
      {"6", kNoRootKey, ""},
      {"7", kNoRootKey, ""},
      {"x", kNoRootKey, ""},
      {"", kNoRootKey, ""},
      {"   ", kNoRootKey, ""},
      {"1.5", kNoRootKey, ""},
      {"1.0", kNoRootKey, ""},
      {"-0", kNoRootKey, ""},
      {"+1", kNoRootKey, ""},
      {"-1", kNoRootKey, ""},
      {"1 2", kNoRootKey, ""},
      {"\t1", kNoRootKey, ""},
      {"2a", kNoRootKey, ""},
      {"100000000000000000002", kNoRootKey, ""},
  };
  TestSystem t;
  for (const Case& c : cases) {
    SCOPED_TRACE("code \"" + c.code + "\"");
    t.system().strRootKeyName = "left over";
    EXPECT_EQ(RootKeyFromCode(t.system(), c.code), c.root);
    EXPECT_EQ(t.system().strRootKeyName, c.name);
    if (c.root != kNoRootKey) {
      EXPECT_EQ(RootKeyName(c.root), c.name);
    }
  }
  EXPECT_EQ(RootKeyName(static_cast<machine::RegHandle>(0x80000004u)), "");
  EXPECT_EQ(RootKeyName(kNoRootKey), "");
}

class RegistryServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t_.Import(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\Software\\Test]\n"
        "\"Ten\"=dword:0000000a\n"
        "\"MinusOne\"=dword:ffffffff\n"
        "\"Text\"=\"abc\"\n"
        "\"Expand\"=hex(2):25,77,69,6e,64,69,72,25,00\n"
        "\"EmptyText\"=hex(1):\n"
        "\"NoNul\"=hex(1):61,62\n"
        "\"Padded\"=hex(1):61,62,00,00,63,00\n"
        "\"Binary\"=hex:01,02\n"
        "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\n"
        "\"Multi\"=hex(7):61,00,00\n"
        "@=\"default\"\n");
  }

  System& system() { return t_.system(); }

  TestSystem t_;
};

TEST_F(RegistryServicesTest, QueryValueGivesTextForStringsAndNumbersOnly) {
  struct Case {
    std::string key;
    std::string value;
    bool ok;
    std::string text;
  };
  const Case cases[] = {
      {"Software\\Test", "Ten", true, "10"},
      {"Software\\Test", "MinusOne", true, "-1"},
      {"Software\\Test", "text", true, "abc"},
      {"SOFTWARE\\TEST", "Expand", true, "%windir%"},  // never expanded
      {"Software\\Test", "EmptyText", true, ""},
      {"Software\\Test", "NoNul", true, "a"},  // the last byte is taken for the NUL
      {"Software\\Test", "", true, "default"},
      {"Software\\Test", "Binary", false, ""},
      {"Software\\Test", "Quad", false, ""},
      {"Software\\Test", "Multi", false, ""},
      {"Software\\Test", "Missing", false, ""},
      {"Software\\Missing", "Ten", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.value);
    std::string text = "junk";
    EXPECT_EQ(QueryValue(system(), kHkeyCurrentUser, c.key, c.value, text), c.ok);
    EXPECT_EQ(text, c.text);
  }
}

TEST_F(RegistryServicesTest, QueryValueExGivesTextNumberOrStatus) {
  machine::RegHandle key = 0;
  ASSERT_EQ(t_.registry().OpenKey(kHkeyCurrentUser, "Software\\Test", key), 0);
  QueriedValue value;
  EXPECT_EQ(QueryValueEx(system(), key, "Ten", value), 0);
  EXPECT_EQ(value, QueriedValue(int32_t{10}));
  EXPECT_EQ(QueryValueEx(system(), key, "Text", value), 0);
  EXPECT_EQ(value, QueriedValue("abc"s));
  EXPECT_EQ(QueryValueEx(system(), key, "Missing", value), -1);
  EXPECT_EQ(value, QueriedValue(""s));
  EXPECT_EQ(QueryValueEx(system(), key, "Binary", value), -1);
  EXPECT_EQ(value, QueriedValue(""s));
  t_.registry().CloseKey(key);
  EXPECT_EQ(QueryValueEx(system(), key, "Ten", value), -1);  // a closed key reads nothing
}

TEST_F(RegistryServicesTest, ReadRegistryValueReadsTextsWholeAndNumbers) {
  SetRegistryValue(system(), kHkeyCurrentUser, "Software\\Test", "Long", std::string(1024, 'a'));
  struct Case {
    const char* key;
    const char* value;
    RegistryRead read;
    std::string data;
  };
  const Case cases[] = {
      {"Software\\Test", "Text", RegistryRead::kRead, "abc"},
      {"Software\\Test", "Ten", RegistryRead::kRead, "10"},
      // Both string types read whole, the expandable one unexpanded.
      {"Software\\Test", "Long", RegistryRead::kRead, std::string(1024, 'a')},
      {"Software\\Test", "Expand", RegistryRead::kRead, "%windir%"},
      // Text ends at its first NUL, whatever the stored size says.
      {"Software\\Test", "Padded", RegistryRead::kRead, "ab"},
      {"Software\\Test", "Binary", RegistryRead::kUnreadable, ""},
      {"Software\\Test", "Missing", RegistryRead::kAbsent, ""},
      {"Software\\Nope", "Text", RegistryRead::kAbsent, ""},
  };
  for (const Case& c : cases) {
    std::string data = "before";
    EXPECT_EQ(ReadRegistryValue(system(), kHkeyCurrentUser, c.key, c.value, data), c.read)
        << c.value;
    EXPECT_EQ(data, c.data) << c.value;
  }
}

TEST_F(RegistryServicesTest, SetRegistryValueWritesNumbersAsDwordAndTrimsText) {
  struct Case {
    std::string value;
    uint32_t type;
    std::string data;
  };
  const Case cases[] = {
      {"123", kRegDword, "\x7B\0\0\0"s},
      {" 42 ", kRegDword, "\x2A\0\0\0"s},
      {"-7", kRegDword, "\xF9\xFF\xFF\xFF"s},
      {"2.5", kRegDword, "\x02\0\0\0"s},  // rounded half to even
      {"3.5", kRegDword, "\x04\0\0\0"s},
      {"  C:\\Program Files\\App\\app.exe  ", kRegSz, "C:\\Program Files\\App\\app.exe\0"s},
      {"99999999999", kRegSz, "99999999999\0"s},  // no 32-bit number: kept as text
      {"", kRegSz, "\0"s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.value + "\"");
    SetRegistryValue(system(), kHkeyLocalMachine, "SOFTWARE\\New\\Run", "App", c.value);
    EXPECT_EQ(t_.Value(kHkeyLocalMachine, "SOFTWARE\\New\\Run", "App"),
              std::make_pair(c.type, c.data));
  }
}

TEST_F(RegistryServicesTest, SetCurrentUserValueNeverCreatesTheKey) {
  SetCurrentUserValue(system(), "Software\\Test", "Start Page", "http://home.example/", 1);
  EXPECT_EQ(t_.Value(kHkeyCurrentUser, "Software\\Test", "Start Page"),
            std::make_pair(kRegSz, "http://home.example/\0"s));
  SetCurrentUserValue(system(), "Software\\Test", "Count", "42", 4);
  EXPECT_EQ(t_.Value(kHkeyCurrentUser, "Software\\Test", "Count"),
            std::make_pair(kRegDword, "\x2A\0\0\0"s));

  SetCurrentUserValue(system(), "Software\\Absent", "Start Page", "http://x/", 1);
  EXPECT_FALSE(t_.KeyExists(kHkeyCurrentUser, "Software\\Absent"));
  // A number that is not one, and a type it does not write, leave the value alone.
  SetCurrentUserValue(system(), "Software\\Test", "Count", "many", 4);
  SetCurrentUserValue(system(), "Software\\Test", "Count", "01", 3);
  EXPECT_EQ(t_.Value(kHkeyCurrentUser, "Software\\Test", "Count"),
            std::make_pair(kRegDword, "\x2A\0\0\0"s));
}

TEST_F(RegistryServicesTest, KeyAndValueExistence) {
  EXPECT_TRUE(RegistryKeyExists(system(), kHkeyCurrentUser, "software\\test"));
  EXPECT_TRUE(RegistryKeyExists(system(), kHkeyCurrentUser, ""));
  EXPECT_FALSE(RegistryKeyExists(system(), kHkeyCurrentUser, "Software\\Test\\Sub"));
  EXPECT_FALSE(RegistryKeyExists(system(), kHkeyLocalMachine, "Software\\Test"));
  EXPECT_FALSE(RegistryKeyExists(system(), kNoRootKey, "Software"));

  for (const char* name : {"Ten", "Binary", "Quad", "EmptyText", ""})
    EXPECT_TRUE(RegistryValueExists(system(), kHkeyCurrentUser, "Software\\Test", name)) << name;
  EXPECT_FALSE(RegistryValueExists(system(), kHkeyCurrentUser, "Software\\Test", "Missing"));
  EXPECT_FALSE(RegistryValueExists(system(), kHkeyCurrentUser, "Software\\Nope", "Ten"));
}

TEST_F(RegistryServicesTest, DeleteRegistryKeyLogsTheRootHandleAndAllValues) {
  t_.Import("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X\\Deep]\n\"v\"=\"1\"\n");
  EXPECT_TRUE(DeleteRegistryKey(system(), kHkeyCurrentUser, "Software\\X"));
  EXPECT_FALSE(t_.KeyExists(kHkeyCurrentUser, "Software\\X"));
  ASSERT_EQ(t_.log.entries.size(), 1u);
  EXPECT_EQ(t_.log.entries[0].first, "-2147483647\\Software\\X");
  EXPECT_EQ(t_.log.entries[0].second, "All Values");

  // Nothing deleted: nothing logged.
  EXPECT_FALSE(DeleteRegistryKey(system(), kHkeyCurrentUser, "Software\\X"));
  for (const char* blank : {"", "   "})
    EXPECT_FALSE(DeleteRegistryKey(system(), kHkeyCurrentUser, blank)) << "\"" << blank << "\"";
  EXPECT_EQ(t_.log.entries.size(), 1u);
  EXPECT_TRUE(t_.KeyExists(kHkeyCurrentUser, "Software\\Test"));

  system().quarantine_log = nullptr;  // outside a removal there may be no log
  EXPECT_TRUE(DeleteRegistryKey(system(), kHkeyCurrentUser, "Software\\Test"));
}

TEST_F(RegistryServicesTest, DeleteRegistryValueLogsOnlyADeletionUnderTheGivenRootsName) {
  t_.Import(
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
      "\"Evil\"=\"C:\\\\evil.exe\"\n");
  RootKeyFromCode(system(), "1");  // the last mapping names another root
  const char* run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_TRUE(DeleteRegistryValue(system(), kHkeyLocalMachine, run, "evil"));
  EXPECT_EQ(t_.Value(kHkeyLocalMachine, run, "Evil").second, "missing");
  ASSERT_EQ(t_.log.entries.size(), 1u);
  EXPECT_EQ(t_.log.entries[0].first,
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(t_.log.entries[0].second, "evil");

  EXPECT_FALSE(DeleteRegistryValue(system(), kHkeyLocalMachine, run, "evil"));
  EXPECT_FALSE(DeleteRegistryValue(system(), kHkeyLocalMachine, "SOFTWARE\\Nope", "x"));
  EXPECT_EQ(t_.log.entries.size(), 1u);

  // The default value has the empty name.
  EXPECT_TRUE(DeleteRegistryValue(system(), kHkeyCurrentUser, "Software\\Test", ""));
  EXPECT_EQ(t_.log.entries.back(), std::make_pair("HKEY_CURRENT_USER\\Software\\Test"s, ""s));
}

}  // namespace
}  // namespace services
