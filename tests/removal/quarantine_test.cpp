// The quarantine folder and its log: what a removal leaves there, byte for byte; stored names
// when a name is taken; and that nothing is lost when the folder cannot be written, a source
// cannot be deleted, or a folder is only partly deleted.

#include "removal/quarantine.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "locked_path.h"
#include "machine_snapshot.h"
#include "removal/quarantine_log.h"
#include "removal/quarantine_store.h"
#include "removal/safe_path.h"
#include "removal_fixture.h"
#include "services/registry_related.h"
#include "support/file_size_limit.h"

namespace removal_test {
namespace {

using hg_test::FileSizeLimit;
using machine::kHkeyCurrentUser;
using model::ThreatIconKind;

constexpr const char* kCookie =
    "C:\\Documents and Settings\\Owner\\Cookies\\owner@acme-searchbar[1].txt";

std::string FileEntry(std::string_view name, std::string_view path) {
  return std::string(kStamp) + " - File: " + std::string(name) +
         "\r\n - Location: " + std::string(path) + "\r\n\r\n\r\n";
}

std::string KeyEntry(std::string_view key, std::string_view value) {
  return std::string(kStamp) + " - Key: " + std::string(key) + "\r\nValue: " + std::string(value) +
         "\r\n\r\n\r\n";
}

std::vector<std::string> Names(RemovalFixture& f, const std::string& folder) {
  std::vector<std::string> names;
  for (const machine::FolderEntry& entry : f.files().List(folder))
    names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(QuarantineTest, FirstPassFillsFolderAndLogByteForByte) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\bad.dat", "bad-data");
  f.temp.WriteFile("C:\\Program Files\\Acme SearchBar\\acmebar.dll", "bho");
  f.temp.WriteFile("C:\\Program Files\\Acme SearchBar\\sub\\readme.txt", "r");
  f.temp.WriteFile(kCookie, "id\n4411\n");
  f.Import(
      "REGEDIT4\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
      "\"FunnyCursor\"=\"C:\\\\fc.exe\"\n"
      "\"Keep\"=\"C:\\\\keep.exe\"\n"
      "[HKEY_CURRENT_USER\\Software\\Nameless Tracker Demo]\n"
      "@=\"default\"\n"
      "\"a\"=dword:00000001\n");
  f.AddThreat("Bad Data", "C:\\evil\\bad.dat");
  f.AddThreat("Acme SearchBar", "C:\\Program Files\\Acme SearchBar", ThreatIconKind::kFolder);
  f.AddThreat("FunnyCursor", "Run", ThreatIconKind::kRegistry);
  f.AddThreat("Cookie: owner@acme-searchbar[1].txt", kCookie, ThreatIconKind::kCookie);
  f.AddFile("C:\\evil\\bad.dat", "Bad Data");
  f.AddFile("C:\\Program Files\\Acme SearchBar", "Acme SearchBar");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                "FunnyCursor", "FunnyCursor");
  f.AddRegistry(kHkeyCurrentUser, " Software\\Nameless Tracker Demo ", "", "FunnyCursor");
  f.AddCookie(kCookie);

  const removal::RemovalPassResult first = f.Pass(true);
  EXPECT_EQ(first.removed, 5);
  EXPECT_EQ(first.refused, 0);

  const std::string expected_log =
      FileEntry("bad.dat", "C:\\evil\\bad.dat") +
      FileEntry("Acme SearchBar", "C:\\Program Files\\Acme SearchBar") +
      KeyEntry("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
               "FunnyCursor") +
      KeyEntry("HKEY_CURRENT_USER\\Software\\Nameless Tracker Demo", "") +
      KeyEntry("-2147483647\\Software\\Nameless Tracker Demo", "All Values") +
      FileEntry("owner@acme-searchbar[1].txt", kCookie);
  EXPECT_EQ(f.Log(), expected_log);

  const std::string q = f.quarantine();
  EXPECT_EQ(Names(f, q), (std::vector<std::string>{"Acme SearchBar", "QuarantineLog.txt", "bad.dat",
                                                   "owner@acme-searchbar[1].txt"}));
  EXPECT_EQ(f.Read(q + "\\bad.dat"), "bad-data");
  EXPECT_EQ(f.Read(q + "\\Acme SearchBar\\acmebar.dll"), "bho");
  EXPECT_EQ(f.Read(q + "\\Acme SearchBar\\sub\\readme.txt"), "r");
  EXPECT_EQ(f.Read(q + "\\owner@acme-searchbar[1].txt"), "id\n4411\n");
  EXPECT_FALSE(f.files().Attributes("C:\\evil\\bad.dat"));
  EXPECT_FALSE(f.files().Attributes("C:\\Program Files\\Acme SearchBar"));
  EXPECT_FALSE(f.files().Attributes(kCookie));
  EXPECT_FALSE(services::RegistryValueExists(f.app().system, kHkeyCurrentUser,
                                             "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                             "FunnyCursor"));
  EXPECT_TRUE(services::RegistryValueExists(f.app().system, kHkeyCurrentUser,
                                            "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                            "Keep"));
  EXPECT_FALSE(services::RegistryKeyExists(f.app().system, kHkeyCurrentUser,
                                           "Software\\Nameless Tracker Demo"));

  // The second pass finds nothing left: it writes nothing and lists nothing.
  const removal::RemovalPassResult second = f.Pass(false);
  EXPECT_EQ(second.removed, 0);
  EXPECT_EQ(second.leftovers, 0);
  EXPECT_EQ(f.Log(), expected_log);
  EXPECT_FALSE(f.app().frmDelete.Loaded());
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(f.FileRowChecked(i));
}

struct Collision {
  std::vector<std::string> present;  // already in the quarantine; a trailing "\" makes a folder
  std::string item;                  // the item's name; a trailing "\" makes a folder
  std::string stored;
};

// Short enough for a test list's line, and says which case failed.
void PrintTo(const Collision& c, std::ostream* out) {
  *out << '"' << c.item << "\" among {";
  for (size_t i = 0; i < c.present.size(); ++i)
    *out << (i ? ", " : "") << '"' << c.present[i] << '"';
  *out << "} -> \"" << c.stored << '"';
}

// The item and the names it meets, as a test name: "x_dat_over_X_DAT".
std::string CollisionName(const ::testing::TestParamInfo<Collision>& info) {
  std::string name = info.param.item;
  if (!info.param.present.empty())
    name += "_over";
  for (const std::string& present : info.param.present)
    name += "_" + present;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
}

class CollisionTest : public ::testing::TestWithParam<Collision> {};

TEST_P(CollisionTest, ItemGetsAFreeNameAndEarlierCopiesStayAsTheyWere) {
  const Collision& c = GetParam();
  RemovalFixture f;
  const std::string q = f.quarantine();
  for (const std::string& name : c.present) {
    if (name.back() == '\\')
      f.temp.WriteFile(q + "\\" + name + "old.txt", "old " + name);
    else
      f.temp.WriteFile(q + "\\" + name, "old " + name);
  }
  const bool folder = c.item.back() == '\\';
  const std::string name = folder ? c.item.substr(0, c.item.size() - 1) : c.item;
  const std::string source = "C:\\evil\\" + name;
  if (folder)
    f.temp.WriteFile(source + "\\new.txt", "new");
  else
    f.temp.WriteFile(source, "new");
  const TreeSnapshot before = SnapshotTree(f.temp.host(q));

  f.AddFile(source, "T");
  EXPECT_EQ(f.BothPasses().removed, 1);

  EXPECT_EQ(f.Read(q + "\\" + c.stored + (folder ? "\\new.txt" : "")), "new");
  EXPECT_EQ(f.Log(), FileEntry(c.stored, source));
  // Everything that was there before is still there, unchanged (no folder merged into).
  TreeSnapshot after = SnapshotTree(f.temp.host(q));
  for (const auto& [path, value] : before)
    EXPECT_EQ(after[path], value) << path;
  EXPECT_FALSE(f.files().Attributes(source));
}

INSTANTIATE_TEST_SUITE_P(
    Names, CollisionTest,
    ::testing::Values(Collision{{}, "x.dat", "x.dat"}, Collision{{"x.dat"}, "x.dat", "x (2).dat"},
                      Collision{{"X.DAT"}, "x.dat", "x (2).dat"},
                      Collision{{"x.dat", "X (2).Dat"}, "x.dat", "x (3).dat"},
                      Collision{{"x.dat\\"}, "x.dat", "x (2).dat"},
                      Collision{{"archive.tar.gz"}, "archive.tar.gz", "archive.tar (2).gz"},
                      Collision{{"README"}, "README", "README (2)"},
                      Collision{{}, "QuarantineLog.txt", "QuarantineLog (2).txt"},
                      Collision{{}, "quarantinelog.TXT", "quarantinelog (2).TXT"},
                      Collision{{"Bar\\"}, "Bar\\", "Bar (2)"},
                      Collision{{"bar"}, "Bar\\", "Bar (2)"},
                      Collision{{"BAR\\", "Bar (2)\\"}, "Bar\\", "Bar (3)"},
                      Collision{{"Bar.v1\\"}, "Bar.v1\\", "Bar.v1 (2)"}),
    CollisionName);

// Every kind of item, for the tests where the quarantine cannot take anything.
void PlantOneOfEach(RemovalFixture& f) {
  f.temp.WriteFile("C:\\evil\\bad.dat", "bad");
  f.temp.WriteFile("C:\\evil\\tool.exe", "exe");
  f.temp.WriteFile("C:\\evil\\hook.dll", "dll");
  f.temp.WriteFile("C:\\Program Files\\Acme SearchBar\\acmebar.ini", "ini");
  f.temp.WriteFile(kCookie, "cookie");
  f.AddThreat("Bad", "C:\\evil\\bad.dat");
  f.AddThreat("Acme", "C:\\Program Files\\Acme SearchBar", ThreatIconKind::kFolder);
  f.AddThreat("Cookie: owner@acme-searchbar[1].txt", kCookie, ThreatIconKind::kCookie);
  f.AddFile("C:\\evil\\bad.dat", "Bad");
  f.AddFile("C:\\evil\\tool.exe", "Bad");
  f.AddFile("C:\\evil\\hook.dll", "Bad");
  f.AddFile("C:\\Program Files\\Acme SearchBar", "Acme");
  f.AddCookie(kCookie);
}

void ExpectNothingMovedAndAllListed(RemovalFixture& f, const TreeSnapshot& before,
                                    const removal::RemovalPassResult& result) {
  EXPECT_EQ(SnapshotTree(f.temp.host("C:\\evil")), before);
  EXPECT_EQ(f.Read("C:\\Program Files\\Acme SearchBar\\acmebar.ini"), "ini");
  EXPECT_EQ(f.Read(kCookie), "cookie");
  EXPECT_EQ(result.removed, 0);
  EXPECT_EQ(f.Problems(), (std::vector<std::string>{"C:\\evil\\bad.dat", "C:\\evil\\tool.exe",
                                                    "C:\\evil\\hook.dll",
                                                    "C:\\Program Files\\Acme SearchBar", kCookie}));
  for (int i = 0; i < 4; ++i)
    EXPECT_FALSE(f.FileRowChecked(i)) << i;
  EXPECT_FALSE(f.main().lvwCookiesToDelete.Item(0).checked);
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(f.ThreatRowChecked(i)) << i;
  EXPECT_TRUE(f.app().frmDelete.Peek().Visible());
}

TEST(QuarantineTest, QuarantineThatIsAFileLosesNothing) {
  RemovalFixture f;
  ASSERT_TRUE(f.files().DeleteFolder(f.quarantine()));
  f.temp.WriteFile(f.quarantine(), "not a folder");
  PlantOneOfEach(f);
  const TreeSnapshot before = SnapshotTree(f.temp.host("C:\\evil"));

  const removal::RemovalPassResult result = f.BothPasses();
  ExpectNothingMovedAndAllListed(f, before, result);
  EXPECT_EQ(f.Read(f.quarantine()), "not a folder");
}

TEST(QuarantineTest, SourceThatCannotBeDeletedTakesItsCopyBackOut) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\locked.dat", "locked");
  f.temp.WriteFile("C:\\evil\\other.dat", "other");
  f.AddThreat("Locked", "C:\\evil\\locked.dat");
  f.AddThreat("Other", "C:\\evil\\other.dat", ThreatIconKind::kFile, false);
  f.AddFile("C:\\evil\\locked.dat", "Locked");
  f.AddFile("C:\\evil\\other.dat", "Other", false);  // unchecked: nothing happens to it
  LockedPath lock(f.temp.host("C:\\evil\\locked.dat"));
  if (!lock.ok())
    GTEST_SKIP() << "no way to keep a file from being deleted here";

  const removal::RemovalPassResult result = f.BothPasses();
  EXPECT_EQ(result.removed, 0);
  EXPECT_EQ(result.leftovers, 1);
  EXPECT_EQ(f.Read("C:\\evil\\locked.dat"), "locked");
  EXPECT_EQ(f.Read("C:\\evil\\other.dat"), "other");
  EXPECT_EQ(Names(f, f.quarantine()), std::vector<std::string>{});
  EXPECT_EQ(f.Problems(), std::vector<std::string>{"C:\\evil\\locked.dat"});
  EXPECT_FALSE(f.FileRowChecked(0));
  EXPECT_FALSE(f.ThreatRowChecked(0));
  EXPECT_TRUE(f.app().frmDelete.Peek().Visible());

  // Once it can be deleted, the next removal moves it once, under its own name.
  lock.Unlock();
  f.main().lvwFilesToBeDeleted.SetChecked(0, true);
  EXPECT_EQ(f.BothPasses().removed, 1);
  EXPECT_EQ(f.Log(), FileEntry("locked.dat", "C:\\evil\\locked.dat"));
  EXPECT_EQ(f.Read(f.quarantine() + "\\locked.dat"), "locked");
}

// A file saved over the source while it is copied (written aside, then renamed over it, as
// browsers save cookies), for a file item and for a file inside a folder item.
class SavedOverWhileCopiedTest : public ::testing::TestWithParam<bool> {};

TEST_P(SavedOverWhileCopiedTest, NewerFileStaysAndTheItemIsNotMoved) {
  const bool folder = GetParam();
  RemovalFixture f;
  const std::string item = folder ? std::string("C:\\evil\\Profile") : std::string(kCookie);
  const std::string file = folder ? item + "\\cookies.txt" : item;
  f.temp.WriteFile(file, "old");
  removal::Quarantine quarantine(f.app());
  quarantine.store.before_delete = [&] {
    f.temp.WriteFile(file + ".tmp", "new");
    std::filesystem::rename(f.temp.host(file + ".tmp"), f.temp.host(file));
  };

  const removal::QuarantineOutcome outcome =
      folder ? removal::QuarantineFolder(f.app(), quarantine, item)
             : removal::QuarantineCookieFile(f.app(), quarantine, item);
  EXPECT_EQ(outcome, removal::QuarantineOutcome::kNotMoved);
  EXPECT_EQ(f.Read(file), "new");
  EXPECT_EQ(Names(f, f.quarantine()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Items, SavedOverWhileCopiedTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& item) {
                           return item.param ? "Folder" : "File";
                         });

// Why the log cannot take an entry.
enum class Unwritable { kLogIsAFolder, kLogIsALink, kDiskIsFull };

class UnwritableLogTest : public ::testing::TestWithParam<Unwritable> {};

TEST_P(UnwritableLogTest, ItemStaysWhereItWasAndIsNotCounted) {
  RemovalFixture f;
  const std::string log = f.quarantine() + "\\QuarantineLog.txt";
  const std::string notes = "C:\\Documents and Settings\\Owner\\My Documents\\notes.txt";
  const std::string full_log(1 << 20, 'x');  // larger than anything else written meanwhile
  f.temp.WriteFile(notes, "notes");
  switch (GetParam()) {
    case Unwritable::kLogIsAFolder:
      f.temp.MakeFolder(log);
      break;
    case Unwritable::kLogIsALink:
      std::filesystem::create_symlink(f.temp.host(notes), f.temp.host(log));
      break;
    case Unwritable::kDiskIsFull:
      f.temp.WriteFile(log, full_log);
      break;
  }
  f.temp.WriteFile("C:\\evil\\bad.dat", "bad");
  f.AddThreat("Bad", "C:\\evil\\bad.dat");
  f.AddFile("C:\\evil\\bad.dat", "Bad");
  f.Import("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Acme]\n\"a\"=\"1\"\n");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Acme", "a", "Bad");

  removal::RemovalPassResult result;
  {
    const FileSizeLimit limit(GetParam() == Unwritable::kDiskIsFull ? full_log.size()
                                                                    : RLIM_INFINITY);
    result = f.BothPasses();
  }
  EXPECT_EQ(result.removed, 1);  // the registry value only
  EXPECT_EQ(f.Read("C:\\evil\\bad.dat"), "bad");
  EXPECT_EQ(f.Problems(), std::vector<std::string>{"C:\\evil\\bad.dat"});
  EXPECT_FALSE(f.files().Attributes(f.quarantine() + "\\bad.dat"));
  EXPECT_EQ(f.Read(notes), "notes");
  if (GetParam() == Unwritable::kDiskIsFull) {
    EXPECT_EQ(f.Read(log), full_log);
  }
}

INSTANTIATE_TEST_SUITE_P(Logs, UnwritableLogTest,
                         ::testing::Values(Unwritable::kLogIsAFolder, Unwritable::kLogIsALink,
                                           Unwritable::kDiskIsFull),
                         [](const ::testing::TestParamInfo<Unwritable>& item) {
                           switch (item.param) {
                             case Unwritable::kLogIsAFolder:
                               return "LogIsAFolder";
                             case Unwritable::kLogIsALink:
                               return "LogIsALink";
                             case Unwritable::kDiskIsFull:
                               return "DiskIsFull";
                           }
                           return "";
                         });

TEST(QuarantineTest, ItemMovedOnlyInTheSecondPassIsLoggedThen) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\late.dat", "late");
  f.AddThreat("Late", "C:\\evil\\late.dat");
  f.AddFile("C:\\evil\\late.dat", "Late");
  LockedPath lock(f.temp.host("C:\\evil\\late.dat"));
  if (!lock.ok())
    GTEST_SKIP() << "no way to keep a file from being deleted here";

  EXPECT_EQ(f.Pass(true).removed, 0);
  EXPECT_EQ(f.Log(), "");
  lock.Unlock();
  EXPECT_EQ(f.Pass(false).removed, 1);
  EXPECT_EQ(f.Log(), FileEntry("late.dat", "C:\\evil\\late.dat"));
  EXPECT_TRUE(f.Problems().empty());
  EXPECT_TRUE(f.FileRowChecked(0));
}

TEST(QuarantineTest, FolderThatIsOnlyPartlyDeletedLosesNothing) {
  RemovalFixture f;
  const std::string folder = "C:\\evil\\Nest";
  for (int i = 0; i < 8; ++i)
    f.temp.WriteFile(folder + "\\file" + std::to_string(i) + ".txt",
                     "content " + std::to_string(i));
  f.temp.WriteFile(folder + "\\keep\\stuck.txt", "stuck");
  const TreeSnapshot original = SnapshotTree(f.temp.host(folder));
  f.AddThreat("Nest", folder, ThreatIconKind::kFolder);
  f.AddFile(folder, "Nest");
  LockedPath lock(f.temp.host(folder + "\\keep\\stuck.txt"));
  if (!lock.ok())
    GTEST_SKIP() << "no way to keep a file from being deleted here";

  f.BothPasses();
  lock.Unlock();

  // Every file of the folder is still at its place or in a quarantined copy of the folder.
  const TreeSnapshot left = SnapshotTree(f.temp.host(folder));
  const std::vector<std::string> copies = Names(f, f.quarantine());
  for (const auto& [path, value] : original) {
    bool found = left.count(path) && left.at(path) == value;
    for (const std::string& copy : copies) {
      if (copy == "QuarantineLog.txt")
        continue;
      const TreeSnapshot stored = SnapshotTree(f.temp.host(f.quarantine() + "\\" + copy));
      found = found || (stored.count(path) && stored.at(path) == value);
    }
    EXPECT_TRUE(found) << path;
  }
  // A copy stays only when the folder lost something, and each copy kept is logged once.
  const bool lost_something = left != original;
  const size_t kept = copies.size() - (f.Log().empty() ? 0 : 1);
  EXPECT_EQ(kept > 0, lost_something);
  std::string expected_log;
  for (const std::string& copy : copies) {
    if (copy != "QuarantineLog.txt")
      expected_log += FileEntry(copy, folder);
  }
  EXPECT_EQ(f.Log(), expected_log);
  EXPECT_EQ(f.Problems(), std::vector<std::string>{folder});
}

TEST(QuarantineTest, PipesAndSocketsStayBehindAndTheRestOfTheFolderIsMoved) {
  RemovalFixture f;
  const std::string folder = "C:\\evil\\Pipes";
  f.temp.WriteFile(folder + "\\payload.txt", "payload");
  const std::filesystem::path pipe = f.temp.host(folder + "\\pipe");
  const std::filesystem::path socket_path = f.temp.host(folder + "\\sock");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.string().size(), sizeof address.sun_path);
  socket_path.string().copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  f.AddThreat("Pipes", folder, ThreatIconKind::kFolder);
  f.AddFile(folder, "Pipes");

  f.BothPasses();
  close(listener);

  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_TRUE(std::filesystem::is_socket(socket_path));
  EXPECT_FALSE(f.files().FileExists(folder + "\\payload.txt"));
  EXPECT_EQ(f.files().ReadFile(f.quarantine() + "\\Pipes\\payload.txt"), "payload");
  EXPECT_EQ(f.Log(), FileEntry("Pipes", folder));
  EXPECT_EQ(f.Problems(), std::vector<std::string>{folder});
}

TEST(QuarantineTest, RegistryEntriesAreLoggedOnlyDuringTheFirstPass) {
  RemovalFixture f;
  f.Import(
      "REGEDIT4\n"
      "[HKEY_CURRENT_USER\\Software\\Acme]\n"
      "\"a\"=\"1\"\n"
      "\"b\"=\"2\"\n");
  // Outside a removal (the run-at-start-up option deletes values too) nothing is logged.
  EXPECT_TRUE(
      services::DeleteRegistryValue(f.app().system, kHkeyCurrentUser, "Software\\Acme", "a"));
  EXPECT_EQ(f.Log(), "");

  f.app().removal.bQuarantinePass = true;
  removal::QuarantineLogWriter writer(f.app());
  f.app().system.quarantine_log = &writer;
  EXPECT_TRUE(
      services::DeleteRegistryValue(f.app().system, kHkeyCurrentUser, "Software\\Acme", "b"));
  EXPECT_FALSE(
      services::DeleteRegistryValue(f.app().system, kHkeyCurrentUser, "Software\\Acme", "b"));
  f.app().removal.bQuarantinePass = false;
  EXPECT_EQ(f.Log(), KeyEntry("HKEY_CURRENT_USER\\Software\\Acme", "b"));
}

TEST(QuarantineTest, FileSize) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\five.bin", "12345");
  EXPECT_EQ(removal::GetFileSizeBytes(f.app(), "C:\\evil\\five.bin"), 5);
  EXPECT_EQ(removal::GetFileSizeBytes(f.app(), "C:\\evil\\missing.bin"), 0);
  EXPECT_EQ(removal::GetFileSizeBytes(f.app(), "C:\\evil"), 0);
}

TEST(QuarantineTest, HiddenFileCountsAsAbsent) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\h.dat", "h");
  ASSERT_TRUE(f.files().SetHidden("C:\\evil\\h.dat", true));
  removal::Quarantine quarantine(f.app());
  EXPECT_EQ(removal::QuarantineFileRetrying(f.app(), quarantine, "C:\\evil\\h.dat"),
            removal::QuarantineOutcome::kNotThere);
  EXPECT_EQ(removal::QuarantineAndDeleteFile(f.app(), quarantine, "C:\\evil\\h.dat", 0),
            removal::QuarantineOutcome::kNotThere);
  EXPECT_EQ(f.Read("C:\\evil\\h.dat"), "h");
  EXPECT_EQ(f.Log(), "");
}

}  // namespace
}  // namespace removal_test
