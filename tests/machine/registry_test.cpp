#include "machine/registry.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "machine/text.h"
#include "support/file_size_limit.h"

namespace machine {
namespace {

namespace fs = std::filesystem;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "hg-registry-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    registry_ = OpenHives();
    ASSERT_NE(registry_, nullptr);
  }
  void TearDown() override {
    registry_.reset();
    fs::remove_all(dir_);
  }

  std::unique_ptr<Registry> OpenHives() {
    std::string error;
    auto registry = Registry::Open(dir_ / "machine.hive", dir_ / "user.hive", error);
    EXPECT_EQ(error, "");
    return registry;
  }

  RegHandle Create(RegHandle root, std::string_view path) {
    RegHandle key = 0;
    EXPECT_EQ(registry_->CreateKey(root, path, key), kRegSuccess) << path;
    return key;
  }

  int32_t Exists(RegHandle root, std::string_view path) {
    RegHandle key = 0;
    const int32_t status = registry_->OpenKey(root, path, key);
    if (status == kRegSuccess)
      registry_->CloseKey(key);
    return status;
  }

  std::vector<std::string> SubKeys(RegHandle key) {
    std::vector<std::string> names;
    std::string name;
    for (uint32_t i = 0; registry_->EnumKey(key, i, name) == kRegSuccess; ++i)
      names.push_back(name);
    return names;
  }

  fs::path dir_;
  std::unique_ptr<Registry> registry_;
};

TEST_F(RegistryTest, CreateMakesEveryKeyAlongThePathAndNamesIgnoreCaseButKeepSpelling) {
  bool created = false;
  RegHandle key = 0;
  ASSERT_EQ(registry_->CreateKey(kHkeyLocalMachine, "Software\\Vendor\\Product", key, &created),
            kRegSuccess);
  EXPECT_TRUE(created);
  registry_->CloseKey(key);

  ASSERT_EQ(registry_->CreateKey(kHkeyLocalMachine, "SOFTWARE\\vendor\\", key, &created),
            kRegSuccess);
  EXPECT_FALSE(created);
  registry_->CloseKey(key);

  EXPECT_EQ(Exists(kHkeyLocalMachine, "software\\VENDOR\\product"), kRegSuccess);
  EXPECT_EQ(SubKeys(kHkeyLocalMachine), std::vector<std::string>{"Software"});

  // Windows-1252 letters fold too: "\xC4" and "\xE4" are the two cases of A-umlaut.
  const RegHandle accented = Create(kHkeyCurrentUser, "\xC4pfel");
  registry_->CloseKey(accented);
  EXPECT_EQ(Exists(kHkeyCurrentUser, "\xE4PFEL"), kRegSuccess);

  // The two hives hold different roots.
  EXPECT_EQ(Exists(kHkeyCurrentUser, "Software"), kRegNotFound);
  EXPECT_EQ(Exists(kHkeyClassesRoot, "Software"), kRegNotFound);
}

TEST_F(RegistryTest, ValuesOfEveryTypeRoundTrip) {
  struct Case {
    std::string name;
    uint32_t type;
    std::string data;
  };
  const std::vector<Case> cases = {
      {"", kRegSz, std::string("default\0", 8)},
      {"Text", kRegSz, std::string("C:\\Program Files\0", 17)},
      {"Expand", kRegExpandSz, std::string("%windir%\\x\0", 12)},
      {"Binary", kRegBinary, std::string("\0\xFF\x01\0", 4)},
      {"Number", kRegDword, std::string("\x0A\0\0\0", 4)},
      {"Big", kRegQword, std::string("\1\2\3\4\5\6\7\x08", 8)},
      {"Multi", kRegMultiSz, std::string("a\0b\0\0", 5)},
      {"Empty", kRegSz, ""},
      {"None", kRegNone, "raw"},
      {"\xC9t\xE9", kRegSz, std::string("\xE9t\xE9\0", 4)},
  };
  const RegHandle key = Create(kHkeyCurrentUser, "Values");
  for (const Case& c : cases)
    ASSERT_EQ(registry_->SetValue(key, c.name, c.type, c.data), kRegSuccess) << c.name;
  registry_->CloseKey(key);

  registry_ = OpenHives();  // what was written is in the file
  RegHandle reopened = 0;
  ASSERT_EQ(registry_->OpenKey(kHkeyCurrentUser, "VALUES", reopened), kRegSuccess);
  for (const Case& c : cases) {
    uint32_t type = 99;
    std::string data;
    EXPECT_EQ(registry_->GetValue(reopened, ToUpper(c.name), type, data), kRegSuccess) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(data, c.data) << c.name;
  }
  std::string name, data;
  uint32_t type = 0;
  EXPECT_EQ(registry_->EnumValue(reopened, 0, name, type, data), kRegSuccess);
  EXPECT_EQ(name, "");  // the default value sorts first
  EXPECT_EQ(registry_->EnumValue(reopened, static_cast<uint32_t>(cases.size()), name, type, data),
            kRegNoMoreItems);
}

TEST_F(RegistryTest, SettingAValueUnderAnotherCaseReplacesItAndKeepsTheFirstSpelling) {
  const RegHandle key = Create(kHkeyCurrentUser, "Case");
  ASSERT_EQ(registry_->SetValue(key, "MixedCase", kRegSz, std::string("one\0", 4)), kRegSuccess);
  ASSERT_EQ(registry_->SetValue(key, "MIXEDCASE", kRegDword, std::string("\2\0\0\0", 4)),
            kRegSuccess);
  std::string name, data;
  uint32_t type = 0;
  ASSERT_EQ(registry_->EnumValue(key, 0, name, type, data), kRegSuccess);
  EXPECT_EQ(name, "MixedCase");
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(registry_->EnumValue(key, 1, name, type, data), kRegNoMoreItems);

  EXPECT_EQ(registry_->DeleteValue(key, "mixedcase"), kRegSuccess);
  EXPECT_EQ(registry_->DeleteValue(key, "mixedcase"), kRegNotFound);
  EXPECT_EQ(registry_->GetValue(key, "MixedCase", type, data), kRegNotFound);
  registry_->CloseKey(key);
}

TEST_F(RegistryTest, QueryValueFollowsThePlatformsBufferRules) {
  const RegHandle key = Create(kHkeyLocalMachine, "Q");
  ASSERT_EQ(registry_->SetValue(key, "v", kRegSz, std::string("abcd\0", 5)), kRegSuccess);

  uint32_t type = 0, size = 0;
  EXPECT_EQ(registry_->QueryValue(key, "V", &type, nullptr, &size), kRegSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 5u);

  char buffer[8] = {};
  size = 3;
  EXPECT_EQ(registry_->QueryValue(key, "v", &type, buffer, &size), kRegMoreData);
  EXPECT_EQ(size, 5u);
  size = sizeof buffer;
  EXPECT_EQ(registry_->QueryValue(key, "v", nullptr, buffer, &size), kRegSuccess);
  EXPECT_EQ(std::string(buffer, size), std::string("abcd\0", 5));

  EXPECT_EQ(registry_->QueryValue(key, "v", &type, buffer, nullptr), kRegInvalidParameter);
  EXPECT_EQ(registry_->QueryValue(key, "missing", &type, nullptr, &size), kRegNotFound);
  registry_->CloseKey(key);

  // Sizes under a key with more values than are listed at once.
  const RegHandle many = Create(kHkeyLocalMachine, "Q\\Many");
  for (uint32_t i = 0; i < 40; ++i)
    registry_->SetValue(many, "v" + std::to_string(i), kRegBinary, std::string(i, 'x'));
  for (uint32_t i : {0u, 39u}) {
    EXPECT_EQ(registry_->QueryValue(many, "V" + std::to_string(i), &type, nullptr, &size), 0);
    EXPECT_EQ(size, i);
  }
  EXPECT_EQ(registry_->QueryValue(many, "missing", &type, nullptr, &size), kRegNotFound);
  registry_->CloseKey(many);
}

// A name holding a NUL would name another key or value if it were cut there.
TEST_F(RegistryTest, NamesHoldingANulAreRefused) {
  const RegHandle keep = Create(kHkeyCurrentUser, "Software\\Keep");
  ASSERT_EQ(registry_->SetValue(keep, "v", kRegSz, "keep"), kRegSuccess);
  const std::string key("Software\0evil", 13);
  const std::string value("v\0evil", 6);
  RegHandle out = 0;
  EXPECT_EQ(registry_->OpenKey(kHkeyCurrentUser, key, out), kRegBadPathName);
  EXPECT_EQ(registry_->CreateKey(kHkeyCurrentUser, key, out), kRegBadPathName);
  EXPECT_EQ(registry_->DeleteKeyTree(kHkeyCurrentUser, key), kRegBadPathName);
  EXPECT_EQ(registry_->DeleteKeyTree(kHkeyCurrentUser, std::string("\0Software", 9)),
            kRegBadPathName);
  uint32_t type = 0, size = 0;
  std::string name, data;
  EXPECT_EQ(registry_->QueryValue(keep, value, &type, nullptr, &size), kRegInvalidParameter);
  EXPECT_EQ(registry_->GetValue(keep, value, type, data), kRegInvalidParameter);
  EXPECT_EQ(registry_->SetValue(keep, value, kRegSz, "x"), kRegInvalidParameter);
  EXPECT_EQ(registry_->DeleteValue(keep, value), kRegInvalidParameter);

  EXPECT_EQ(registry_->GetValue(keep, "v", type, data), kRegSuccess);
  EXPECT_EQ(data, "keep");
  EXPECT_EQ(registry_->EnumValue(keep, 1, name, type, data), kRegNoMoreItems);
  EXPECT_EQ(SubKeys(kHkeyCurrentUser), std::vector<std::string>{"Software"});
  registry_->CloseKey(keep);
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesTheKeyItsSubKeysAndValuesOnly) {
  for (const char* path : {"A\\B\\C\\D", "A\\BC", "A\\B]", "A\\B[", "A\\B0", "AB"}) {
    const RegHandle key = Create(kHkeyLocalMachine, path);
    registry_->SetValue(key, "v", kRegSz, std::string("x\0", 2));
    registry_->CloseKey(key);
  }
  const RegHandle b = Create(kHkeyLocalMachine, "A\\B");
  registry_->SetValue(b, "own", kRegSz, std::string("x\0", 2));

  EXPECT_EQ(registry_->DeleteKeyTree(kHkeyLocalMachine, "a\\b"), kRegSuccess);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "A\\B"), kRegNotFound);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "A\\B\\C\\D"), kRegNotFound);
  for (const char* kept : {"A", "A\\BC", "A\\B]", "A\\B[", "A\\B0", "AB"})
    EXPECT_EQ(Exists(kHkeyLocalMachine, kept), kRegSuccess) << kept;
  EXPECT_EQ(registry_->DeleteKeyTree(kHkeyLocalMachine, "A\\B"), kRegNotFound);

  // A handle to the deleted key is stale; a key made again under the name starts empty.
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(registry_->SetValue(b, "own", kRegSz, "y"), kRegKeyDeleted);
  RegHandle child = 0;
  EXPECT_EQ(registry_->CreateKey(b, "C", child), kRegKeyDeleted);
  EXPECT_EQ(registry_->OpenKey(b, "", child), kRegKeyDeleted);
  registry_->CloseKey(b);
  const RegHandle again = Create(kHkeyLocalMachine, "A\\B");
  EXPECT_EQ(registry_->GetValue(again, "own", type, data), kRegNotFound);
  EXPECT_EQ(SubKeys(again), std::vector<std::string>{});
  // A handle to a key below a root may delete that key itself.
  EXPECT_EQ(registry_->DeleteKeyTree(again, ""), kRegSuccess);
  registry_->CloseKey(again);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "A\\B"), kRegNotFound);
}

// Every call on a handle to a deleted key, including after new keys took the freed place.
void ExpectKeyDeleted(Registry& registry, RegHandle gone) {
  uint32_t type = 0, size = 0;
  std::string name, data;
  RegHandle out = 0;
  EXPECT_EQ(registry.GetValue(gone, "v", type, data), kRegKeyDeleted);
  EXPECT_EQ(registry.QueryValue(gone, "v", &type, nullptr, &size), kRegKeyDeleted);
  EXPECT_EQ(registry.SetValue(gone, "w", kRegSz, "x"), kRegKeyDeleted);
  EXPECT_EQ(registry.DeleteValue(gone, "v"), kRegKeyDeleted);
  EXPECT_EQ(registry.EnumKey(gone, 0, name), kRegKeyDeleted);
  EXPECT_EQ(registry.EnumValue(gone, 0, name, type, data), kRegKeyDeleted);
  EXPECT_EQ(registry.OpenKey(gone, "", out), kRegKeyDeleted);
  EXPECT_EQ(registry.OpenKey(gone, "Sub", out), kRegKeyDeleted);
  EXPECT_EQ(registry.CreateKey(gone, "Made", out), kRegKeyDeleted);
  EXPECT_EQ(registry.DeleteKeyTree(gone, "Sub"), kRegKeyDeleted);
  EXPECT_EQ(registry.DeleteKeyTree(gone, ""), kRegKeyDeleted);
}

TEST_F(RegistryTest, AHandleToADeletedKeyNeverReachesAnotherKey) {
  const RegHandle gone = Create(kHkeyLocalMachine, "Gone");
  ASSERT_EQ(registry_->DeleteKeyTree(kHkeyLocalMachine, "Gone"), kRegSuccess);
  // The newest key was deleted: the next keys made would take its row if rows were reused.
  for (const char* path : {"Gone\\Sub", "Next\\Sub"}) {
    const RegHandle key = Create(kHkeyLocalMachine, path);
    registry_->SetValue(key, "v", kRegSz, "new");
    registry_->CloseKey(key);
  }
  ExpectKeyDeleted(*registry_, gone);
  registry_->CloseKey(gone);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "Gone\\Sub"), kRegSuccess);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "Next\\Sub"), kRegSuccess);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "Made"), kRegNotFound);
}

TEST_F(RegistryTest, AHiveOfTheFirstLayoutIsUpgradedWithItsKeys) {
  registry_.reset();
  const fs::path old_hive = dir_ / "old-user.hive";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(old_hive.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "PRAGMA journal_mode = WAL; PRAGMA application_id = 1212633672;"
                         "PRAGMA user_version = 1;"
                         "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL,"
                         " name BLOB NOT NULL, path BLOB NOT NULL UNIQUE);"
                         "CREATE INDEX keys_by_parent ON keys(parent, path);"
                         "CREATE TABLE vals(key INTEGER NOT NULL, folded BLOB NOT NULL,"
                         " name BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
                         " PRIMARY KEY(key, folded)) WITHOUT ROWID;"
                         "INSERT INTO keys VALUES(2, 0, CAST('HKEY_CURRENT_USER' AS BLOB),"
                         " CAST('HKEY_CURRENT_USER' AS BLOB)),"
                         " (8, 2, CAST('Software' AS BLOB),"
                         " CAST('HKEY_CURRENT_USER\\SOFTWARE' AS BLOB));"
                         "INSERT INTO vals VALUES(8, CAST('V' AS BLOB), CAST('v' AS BLOB), 1,"
                         " CAST('kept' AS BLOB));",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  std::string error;
  registry_ = Registry::Open(dir_ / "machine.hive", old_hive, error);
  ASSERT_NE(registry_, nullptr) << error;
  RegHandle software = 0;
  ASSERT_EQ(registry_->OpenKey(kHkeyCurrentUser, "SOFTWARE", software), kRegSuccess);
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(registry_->GetValue(software, "v", type, data), kRegSuccess);
  EXPECT_EQ(data, "kept");
  ASSERT_EQ(registry_->DeleteKeyTree(kHkeyCurrentUser, "Software"), kRegSuccess);
  registry_->CloseKey(Create(kHkeyCurrentUser, "Software\\Sub"));
  ExpectKeyDeleted(*registry_, software);
  registry_->CloseKey(software);
}

TEST_F(RegistryTest, ARootsWholeTreeIsNeverDeleted) {
  const RegHandle key = Create(kHkeyCurrentUser, "Software\\Keep");
  registry_->CloseKey(key);
  RegHandle root_copy = 0;
  ASSERT_EQ(registry_->OpenKey(kHkeyCurrentUser, "", root_copy), kRegSuccess);
  RegHandle made_root = 0;
  ASSERT_EQ(registry_->CreateKey(kHkeyCurrentUser, "", made_root), kRegSuccess);

  struct Case {
    RegHandle key;
    std::string path;
  };
  for (const Case& c : std::vector<Case>{
           {kHkeyCurrentUser, ""}, {kHkeyCurrentUser, "   "}, {root_copy, ""}, {made_root, " "}}) {
    EXPECT_EQ(registry_->DeleteKeyTree(c.key, c.path), kRegAccessDenied) << c.path;
  }
  EXPECT_EQ(registry_->DeleteKeyTree(kHkeyCurrentUser, "\\"), kRegBadPathName);
  EXPECT_EQ(Exists(kHkeyCurrentUser, "Software\\Keep"), kRegSuccess);
  registry_->CloseKey(root_copy);
  registry_->CloseKey(made_root);
}

TEST_F(RegistryTest, HandlesAreCheckedAndClosedOnce) {
  EXPECT_EQ(registry_->OpenHandleCount(), 0u);
  const RegHandle key = Create(kHkeyLocalMachine, "H");
  EXPECT_EQ(registry_->OpenHandleCount(), 1u);
  EXPECT_EQ(registry_->CloseKey(key), kRegSuccess);
  EXPECT_EQ(registry_->CloseKey(key), kRegInvalidHandle);
  EXPECT_EQ(registry_->OpenHandleCount(), 0u);

  uint32_t type = 0;
  std::string data;
  RegHandle out = 1;
  for (RegHandle bad : {key, RegHandle{0}, RegHandle{3}, RegHandle{4000},
                        static_cast<RegHandle>(0x80000004u), RegHandle{-1}}) {
    EXPECT_EQ(registry_->GetValue(bad, "", type, data), kRegInvalidHandle) << bad;
    EXPECT_EQ(registry_->SetValue(bad, "", kRegSz, ""), kRegInvalidHandle) << bad;
    EXPECT_EQ(registry_->OpenKey(bad, "", out), kRegInvalidHandle) << bad;
    EXPECT_EQ(out, 0);
    EXPECT_EQ(registry_->DeleteKeyTree(bad, "x"), kRegInvalidHandle) << bad;
  }
  EXPECT_EQ(registry_->CloseKey(kHkeyLocalMachine), kRegSuccess);  // roots stay usable
  EXPECT_EQ(Exists(kHkeyLocalMachine, "H"), kRegSuccess);
}

TEST_F(RegistryTest, BadKeyPathsAreRefused) {
  RegHandle key = 0;
  for (const char* path : {"\\Software", "a\\\\b", "\\", "a\\\\"}) {
    EXPECT_EQ(registry_->CreateKey(kHkeyLocalMachine, path, key), kRegBadPathName) << path;
    EXPECT_EQ(registry_->OpenKey(kHkeyLocalMachine, path, key), kRegBadPathName) << path;
  }
  EXPECT_EQ(SubKeys(kHkeyLocalMachine), std::vector<std::string>{});
}

TEST_F(RegistryTest, ReopeningKeepsEachRootInItsOwnHive) {
  registry_->CloseKey(Create(kHkeyCurrentUser, "Software\\Mine"));
  registry_->CloseKey(Create(kHkeyLocalMachine, "SOFTWARE\\Shared"));
  registry_.reset();

  std::string error;
  registry_ = Registry::Open(dir_ / "other-machine.hive", dir_ / "user.hive", error);
  ASSERT_NE(registry_, nullptr) << error;
  EXPECT_EQ(Exists(kHkeyCurrentUser, "Software\\Mine"), kRegSuccess);
  EXPECT_EQ(Exists(kHkeyLocalMachine, "SOFTWARE\\Shared"), kRegNotFound);
}

TEST_F(RegistryTest, TwoRegistriesOnTheSameFilesSeeEachOthersChanges) {
  auto other = OpenHives();
  ASSERT_NE(other, nullptr);
  const RegHandle key = Create(kHkeyLocalMachine, "Shared");
  ASSERT_EQ(registry_->SetValue(key, "n", kRegSz, std::string("1\0", 2)), kRegSuccess);
  RegHandle seen = 0;
  ASSERT_EQ(other->OpenKey(kHkeyLocalMachine, "SHARED", seen), kRegSuccess);
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(other->GetValue(seen, "N", type, data), kRegSuccess);
  EXPECT_EQ(other->DeleteKeyTree(kHkeyLocalMachine, "Shared"), kRegSuccess);
  EXPECT_EQ(registry_->GetValue(key, "n", type, data), kRegKeyDeleted);
}

TEST_F(RegistryTest, ReadsThroughOpenKeysSeeTheirOwnChangesAndOthersOnceKeysAreClosed) {
  auto other = OpenHives();
  ASSERT_NE(other, nullptr);
  const RegHandle key = Create(kHkeyCurrentUser, "Snap");
  ASSERT_EQ(registry_->SetValue(key, "n", kRegSz, "1"), kRegSuccess);
  uint32_t type = 0;
  std::string data;
  ASSERT_EQ(registry_->GetValue(key, "n", type, data), kRegSuccess);
  ASSERT_EQ(registry_->SetValue(key, "n", kRegSz, "2"), kRegSuccess);
  EXPECT_EQ(registry_->GetValue(key, "N", type, data), kRegSuccess);
  EXPECT_EQ(data, "2");  // a value just read and then changed is read again
  uint32_t size = 0;
  EXPECT_EQ(registry_->QueryValue(key, "n", &type, nullptr, &size), kRegSuccess);
  EXPECT_EQ(size, 1u);

  RegHandle seen = 0;
  ASSERT_EQ(other->OpenKey(kHkeyCurrentUser, "Snap", seen), kRegSuccess);
  ASSERT_EQ(other->SetValue(seen, "n", kRegSz, "three"), kRegSuccess);
  other->CloseKey(seen);
  registry_->CloseKey(key);
  RegHandle again = 0;
  ASSERT_EQ(registry_->OpenKey(kHkeyCurrentUser, "Snap", again), kRegSuccess);
  EXPECT_EQ(registry_->GetValue(again, "n", type, data), kRegSuccess);
  EXPECT_EQ(data, "three");
  registry_->CloseKey(again);
}

TEST_F(RegistryTest, AChangeWhileAnotherProcessLocksTheHiveFailsAsAnIoError) {
  const RegHandle key = Create(kHkeyLocalMachine, "Locked");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir_ / "machine.hive").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  registry_->SetBusyTimeout(0);
  EXPECT_EQ(registry_->SetValue(key, "v", kRegSz, "x"), kRegIoFailed);
  RegHandle child = 0;
  EXPECT_EQ(registry_->CreateKey(key, "Child", child), kRegIoFailed);
  EXPECT_EQ(registry_->DeleteKeyTree(kHkeyLocalMachine, "Locked"), kRegIoFailed);
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  EXPECT_EQ(registry_->SetValue(key, "v", kRegSz, "x"), kRegSuccess);
  registry_->CloseKey(key);
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST_F(RegistryTest, AFileThatIsNotAHiveIsRefusedAndLeftAsItIs) {
  registry_.reset();
  const fs::path text = dir_ / "notes.txt";
  std::ofstream(text) << "not a database\n";
  const fs::path empty = dir_ / "empty.db";
  std::ofstream(empty).flush();
  const fs::path foreign = dir_ / "foreign.db";
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE keys(id INTEGER); INSERT INTO keys VALUES(1);", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
  }
  const fs::path folder = dir_ / "folder";
  fs::create_directory(folder);

  for (const fs::path& bad : {text, empty, foreign, folder}) {
    const std::string before = fs::is_regular_file(bad) ? ReadBytes(bad) : "";
    for (bool as_machine : {true, false}) {
      std::string error;
      auto registry = as_machine ? Registry::Open(bad, dir_ / "u.hive", error)
                                 : Registry::Open(dir_ / "m.hive", bad, error);
      EXPECT_EQ(registry, nullptr) << bad;
      EXPECT_NE(error.find(bad.filename().string()), std::string::npos) << error;
      EXPECT_NE(error.find("not a registry hive"), std::string::npos) << error;
    }
    if (fs::is_regular_file(bad)) {
      EXPECT_EQ(ReadBytes(bad), before) << bad;
    }
    EXPECT_FALSE(fs::exists(bad.string() + "-wal")) << bad;
    EXPECT_FALSE(fs::exists(bad.string() + "-journal")) << bad;
  }

  // A machine hive is not a user hive.
  std::string error;
  EXPECT_EQ(Registry::Open(dir_ / "m.hive", dir_ / "m.hive", error), nullptr);
  EXPECT_NE(error.find("HKEY_CURRENT_USER"), std::string::npos) << error;

  // A hive in a folder that does not exist cannot be made.
  EXPECT_EQ(Registry::Open(dir_ / "missing" / "m.hive", dir_ / "u.hive", error), nullptr);
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST_F(RegistryTest, AHiveThatCannotBeReadOnAFullDiskIsReportedWithTheSystemsReason) {
  registry_.reset();
  std::string error;
  {
    const hg_test::FileSizeLimit full_disk(0);  // no room for the journal's index
    EXPECT_EQ(Registry::Open(dir_ / "machine.hive", dir_ / "user.hive", error), nullptr);
  }
  EXPECT_NE(error.find("cannot read the registry hive"), std::string::npos) << error;
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
  EXPECT_EQ(error.find("not a registry hive"), std::string::npos) << error;
  EXPECT_NE(OpenHives(), nullptr);
}

}  // namespace
}  // namespace machine
