#include "machine/registry_import.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace machine {
namespace {

namespace fs = std::filesystem;

class RegistryImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "hg-regimport-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::string error;
    registry_ = Registry::Open(dir_ / "m.hive", dir_ / "u.hive", error);
    ASSERT_NE(registry_, nullptr) << error;
  }
  void TearDown() override {
    registry_.reset();
    fs::remove_all(dir_);
  }

  bool Import(std::string_view text) {
    error_.clear();
    return ImportRegedit4(*registry_, text, error_);
  }

  // Type and data of a value; type 0 and "missing" when it is not there.
  std::pair<uint32_t, std::string> Value(RegHandle root, std::string_view key,
                                         std::string_view name) {
    RegHandle h = 0;
    uint32_t type = 0;
    std::string data = "missing";
    if (registry_->OpenKey(root, key, h) == kRegSuccess) {
      if (registry_->GetValue(h, name, type, data) != kRegSuccess)
        data = "missing";
      registry_->CloseKey(h);
    }
    return {type, data};
  }

  bool KeyExists(RegHandle root, std::string_view key) {
    RegHandle h = 0;
    if (registry_->OpenKey(root, key, h) != kRegSuccess)
      return false;
    registry_->CloseKey(h);
    return true;
  }

  fs::path dir_;
  std::unique_ptr<Registry> registry_;
  std::string error_;
};

TEST_F(RegistryImportTest, ReadsEveryValueForm) {
  ASSERT_TRUE(
      Import("REGEDIT4\r\n"
             "\r\n"
             "; a fixture\r\n"
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\r\n"
             "@=\"the default\"\r\n"
             "\"Path\"=\"C:\\\\Program Files\\\\App \\\"quoted\\\"\"\r\n"
             "\"Count\"=dword:0000000a\r\n"
             "\"Blob\"=hex:00,ff,\\\r\n"
             "    10\r\n"
             "\"Expand\"=hex(2):25,41,25,00\r\n"
             "\"Empty\"=hex:\r\n"
             "[hkey_current_user]\r\n"
             "\"AtRoot\"=\"yes\"\r\n"))
      << error_;
  const char* app = "SOFTWARE\\Vendor\\App";
  EXPECT_EQ(Value(kHkeyLocalMachine, app, ""),
            std::make_pair(kRegSz, std::string("the default\0", 12)));
  EXPECT_EQ(Value(kHkeyLocalMachine, app, "path"),
            std::make_pair(kRegSz, std::string("C:\\Program Files\\App \"quoted\"\0", 30)));
  EXPECT_EQ(Value(kHkeyLocalMachine, app, "Count"),
            std::make_pair(kRegDword, std::string("\x0A\0\0\0", 4)));
  EXPECT_EQ(Value(kHkeyLocalMachine, app, "Blob"),
            std::make_pair(kRegBinary, std::string("\0\xFF\x10", 3)));
  EXPECT_EQ(Value(kHkeyLocalMachine, app, "Expand"),
            std::make_pair(kRegExpandSz, std::string("%A%\0", 4)));
  EXPECT_EQ(Value(kHkeyLocalMachine, app, "Empty"), std::make_pair(kRegBinary, std::string()));
  EXPECT_EQ(Value(kHkeyCurrentUser, "", "AtRoot"), std::make_pair(kRegSz, std::string("yes\0", 4)));
}

TEST_F(RegistryImportTest, DeletesKeysAndValues) {
  ASSERT_TRUE(
      Import("REGEDIT4\n"
             "[HKEY_CURRENT_USER\\Old\\Deep]\n"
             "\"v\"=\"1\"\n"
             "[HKEY_CURRENT_USER\\Keep]\n"
             "\"a\"=\"1\"\n"
             "\"b\"=\"2\"\n"))
      << error_;
  ASSERT_TRUE(
      Import("REGEDIT4\n"
             "[-HKEY_CURRENT_USER\\Old]\n"
             "[-HKEY_CURRENT_USER\\NeverThere]\n"
             "[HKEY_CURRENT_USER\\Keep]\n"
             "\"a\"=-\n"
             "\"missing\"=-\n"))
      << error_;
  EXPECT_FALSE(KeyExists(kHkeyCurrentUser, "Old"));
  EXPECT_EQ(Value(kHkeyCurrentUser, "Keep", "a").second, "missing");
  EXPECT_EQ(Value(kHkeyCurrentUser, "Keep", "b").first, kRegSz);
}

TEST_F(RegistryImportTest, BadTextChangesNothingAndNamesTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"[HKEY_CURRENT_USER\\A]\n", "line 1: the text must begin with REGEDIT4"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n", "line 3:"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"C:\\Windows\"\n", "line 3: a backslash"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:1,zz\n", "line 3: hex data"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex(q):00\n", "line 3: hex type"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:00,-1\n", "line 3: hex data"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex(-1):00\n", "line 3: hex type"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"open\n", "line 3: missing closing quote"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\" \"y\"\n", "line 3: \"=\" expected"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=str:1\n", "line 3: unknown value data"},
      {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "line 2: unknown root \"HKEY_NOWHERE\""},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\n", "line 2: a key line must end with \"]\""},
      {"REGEDIT4\n[-HKEY_CURRENT_USER]\n", "line 2: a root cannot be deleted"},
      {"REGEDIT4\n\"x\"=\"1\"\n", "line 2: a value line must follow a key line"},
      {"REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n", "line 3: a value line must follow"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Import(c.text)) << c.text;
    EXPECT_EQ(error_.rfind(c.message, 0), 0u) << c.text << " gave " << error_;
    EXPECT_FALSE(KeyExists(kHkeyCurrentUser, "A")) << c.text;
  }
}

TEST_F(RegistryImportTest, AChangeTheRegistryRefusesIsReported) {
  EXPECT_FALSE(Import("REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n"));
  EXPECT_EQ(error_, "line 2: the registry refused the change (status 161)");
}

}  // namespace
}  // namespace machine
