#include "machine/file_system.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <ostream>
#include <set>
#include <sstream>

#include "machine/dos_attributes.h"
#include "machine/encoding.h"
#include "machine/host_files.h"
#include "support/temp_machine.h"

namespace machine {

// The drive kind by name in test lists, rather than as bytes.
static void PrintTo(DriveType type, std::ostream* out) {
  *out << (type == DriveType::kFixed    ? "fixed drive"
           : type == DriveType::kRemote ? "remote drive"
                                        : "other drive");
}

namespace {

namespace fs = std::filesystem;

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Names(const std::vector<FolderEntry>& entries) {
  std::vector<std::string> names;
  for (const FolderEntry& e : entries)
    names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

// Whether the host lets user.* extended attributes be written in the folder.
bool XattrsSupported(const fs::path& folder) {
  const fs::path probe = folder / "xattr-probe";
  std::ofstream(probe) << "x";
  const bool ok = setxattr(probe.c_str(), "user.DOSATTRIB", "0x0", 3, 0) == 0;
  fs::remove(probe);
  return ok;
}

// Every case runs on a fixed drive, whose folder listings the view keeps, and on a remote
// drive, which it reads afresh every time.
class FileSystemTest : public ::testing::TestWithParam<DriveType> {
 protected:
  const Profile& PreparedProfile() {
    machine_.profile().drives.at(0).type = GetParam();
    return machine_.profile();
  }

  hg_test::TempMachine machine_;
  FileSystem files_{PreparedProfile()};
};

INSTANTIATE_TEST_SUITE_P(Drives, FileSystemTest,
                         ::testing::Values(DriveType::kFixed, DriveType::kRemote),
                         [](const auto& param_info) {
                           return param_info.param == DriveType::kFixed ? "Listed" : "ReadAfresh";
                         });

TEST(ParseWindowsPathTest, NormalisesOrRefuses) {
  const struct {
    const char* text;
    const char* expected;  // nullptr: refused
  } kCases[] = {
      {"C:\\a\\b", "C:\\a\\b"},
      {"c:/a//b/", "C:\\a\\b"},
      {"C:\\a\\.\\b", "C:\\a\\b"},
      {"C:\\a\\..\\..\\..\\b", "C:\\b"},
      {"C:\\..", "C:\\"},
      {"C:", "C:\\"},
      {"C:\\", "C:\\"},
      {"C:\\a\\b.txt. . ", "C:\\a\\b.txt"},
      {"C:\\a.\\b", "C:\\a.\\b"},  // only the last name loses its trailing dots
      {"C:a", nullptr},
      {"\\a", nullptr},
      {"a\\b", nullptr},
      {"", nullptr},
      {"1:\\a", nullptr},
      {"\\\\?\\C:\\a", nullptr},
      {"\\\\.\\C:\\a", nullptr},
      {"\\\\server\\share\\a", nullptr},
      {"//server/share/a", nullptr},
      {"C:\\a\\*", nullptr},
      {"C:\\a\\b?.txt", nullptr},
      {"C:\\a\\b.txt:stream", nullptr},
      {"C:\\a<b", nullptr},
      {"C:\\a\\b\x01", nullptr},
      {"C:\\WINDOWS\\nul", nullptr},
      {"C:\\Con.txt", nullptr},
      {"C:\\com1\\x", nullptr},
      {"C:\\LPT9 .log", nullptr},
      {"C:\\console\\com10.txt", "C:\\console\\com10.txt"},
  };
  for (const auto& c : kCases) {
    const std::optional<WindowsPath> path = ParseWindowsPath(c.text);
    if (c.expected == nullptr) {
      EXPECT_FALSE(path.has_value()) << c.text;
    } else {
      ASSERT_TRUE(path.has_value()) << c.text;
      EXPECT_EQ(path->ToString(), c.expected) << c.text;
    }
  }
}

TEST_P(FileSystemTest, ResolvesIgnoringCaseWithWindowsFolding) {
  machine_.WriteFile("C:\\Program Files\\Evil Co\\Bad.exe", "MZ");
  machine_.WriteFile("C:\\Caf\xE9\\\x9A\xFF.txt", "accented");  // café\šÿ.txt

  EXPECT_EQ(files_.Resolve("c:\\PROGRAM FILES\\evil co\\BAD.EXE"),
            machine_.host("C:\\Program Files\\Evil Co\\Bad.exe"));
  EXPECT_EQ(files_.ReadFile("C:/program files/EVIL CO/bad.exe"), "MZ");
  EXPECT_EQ(files_.ReadFile("C:\\CAF\xC9\\\x8A\x9F.TXT"), "accented");
  // The host holds the name in UTF-8.
  EXPECT_TRUE(fs::exists(machine_.root() / "drive_c" / "Caf\xC3\xA9"));
  EXPECT_FALSE(files_.FileExists("C:\\Program Files\\Evil Co\\Bad.ex"));
  EXPECT_FALSE(files_.FileExists("D:\\Program Files\\Evil Co\\Bad.exe"));
}

TEST_P(FileSystemTest, ExactSpellingWinsOverOtherCases) {
  machine_.WriteFile("C:\\Twins\\readme.txt", "lower");
  machine_.WriteFile("C:\\Twins\\README.TXT", "upper");

  EXPECT_EQ(files_.ReadFile("C:\\Twins\\readme.txt"), "lower");
  EXPECT_EQ(files_.ReadFile("C:\\Twins\\README.TXT"), "upper");
  const std::optional<std::string> other = files_.ReadFile("C:\\twins\\ReadMe.txt");
  ASSERT_TRUE(other.has_value());
  EXPECT_EQ(files_.ReadFile("C:\\TWINS\\rEADME.TXT"), other);  // always the same one
}

TEST_P(FileSystemTest, DotDotNeverClimbsAboveTheDriveRoot) {
  std::ofstream(machine_.root() / "secret.txt") << "outside";
  EXPECT_EQ(files_.Resolve("C:\\..\\..\\WINDOWS"), files_.Resolve("C:\\WINDOWS"));
  EXPECT_FALSE(files_.FileExists("C:\\..\\secret.txt"));
  EXPECT_FALSE(files_.ReadFile("C:\\WINDOWS\\..\\..\\secret.txt").has_value());
  EXPECT_TRUE(files_.FolderExists("C:\\WINDOWS\\..\\..\\WINDOWS\\system32"));
}

TEST_P(FileSystemTest, WildcardsAndDevicePathsNeverMatch) {
  for (const char* path :
       {"C:\\WINDOWS\\*", "C:\\WINDOWS\\system3?", "C:\\*\\system32", "\\\\?\\C:\\WINDOWS",
        "\\\\.\\C:\\WINDOWS", "\\\\localhost\\C$\\WINDOWS", "WINDOWS", "\\WINDOWS"}) {
    EXPECT_FALSE(files_.Resolve(path).has_value()) << path;
    EXPECT_FALSE(files_.FolderExists(path)) << path;
    EXPECT_TRUE(files_.List(path).empty()) << path;
  }
  EXPECT_TRUE(files_.FolderExists("C:\\WINDOWS"));
  EXPECT_TRUE(files_.FolderExists("C:\\"));
}

TEST_P(FileSystemTest, DotNamesAreHidden) {
  machine_.WriteFile("C:\\Data\\.secret", "s");
  machine_.WriteFile("C:\\Data\\plain.txt", "12345");

  const auto hidden = files_.Attributes("C:\\Data\\.SECRET");
  ASSERT_TRUE(hidden.has_value());
  EXPECT_TRUE(hidden->hidden);
  EXPECT_FALSE(hidden->IsNormalFile());
  EXPECT_TRUE(files_.FileExists("C:\\Data\\.secret"));  // any file counts

  const auto plain = files_.Attributes("C:\\Data\\plain.txt");
  ASSERT_TRUE(plain.has_value());
  EXPECT_TRUE(plain->IsNormalFile());
  EXPECT_EQ(plain->size, 5u);
  EXPECT_FALSE(files_.SetHidden("C:\\Data\\.secret", false));
  EXPECT_TRUE(files_.SetHidden("C:\\Data\\.secret", true));
}

TEST_P(FileSystemTest, DosAttributesFromTheExtendedAttribute) {
  if (!XattrsSupported(machine_.host("C:\\")))
    GTEST_SKIP() << "the host file system keeps no user extended attributes";
  machine_.WriteFile("C:\\Data\\sys.dll", "x");
  machine_.WriteFile("C:\\Data\\ro.txt", "x");
  setxattr(machine_.host("C:\\Data\\sys.dll").c_str(), "user.DOSATTRIB", "0x6", 3, 0);
  setxattr(machine_.host("C:\\Data\\ro.txt").c_str(), "user.DOSATTRIB", "0x21", 4, 0);

  const auto sys = files_.Attributes("C:\\DATA\\SYS.DLL");
  ASSERT_TRUE(sys.has_value());
  EXPECT_TRUE(sys->hidden && sys->system);
  EXPECT_FALSE(sys->IsNormalFile());
  const auto ro = files_.Attributes("C:\\Data\\ro.txt");
  ASSERT_TRUE(ro.has_value());
  EXPECT_TRUE(ro->read_only && ro->IsNormalFile());

  // Changing the attribute is seen at once, also by a view that had read it before.
  EXPECT_TRUE(files_.SetHidden("C:\\Data\\ro.txt", true));
  EXPECT_TRUE(files_.Attributes("C:\\Data\\ro.txt")->hidden);
  EXPECT_EQ(ReadDosAttrib(machine_.host("C:\\Data\\ro.txt")), 0x23u);
  EXPECT_TRUE(files_.SetHidden("C:\\Data\\ro.txt", false));
  EXPECT_FALSE(files_.Attributes("C:\\Data\\ro.txt")->hidden);

  // A rewrite keeps the attributes, as it does on Windows.
  ASSERT_TRUE(files_.WriteFile("C:\\Data\\sys.dll", "new"));
  EXPECT_TRUE(files_.Attributes("C:\\Data\\sys.dll")->system);
}

TEST(DosAttribTest, ParsesTextAndBinaryForms) {
  const std::string v4("\x04\x00\x04\x00\x01\x00\x00\x00\x26\x00\x00\x00", 12);
  const std::string v1("\x01\x00\x01\x00\x02\x00\x00\x00", 8);
  const std::string mismatched("\x04\x00\x03\x00\x01\x00\x00\x00\x26\x00\x00\x00", 12);
  const struct {
    std::string value;
    std::optional<uint32_t> bits;
  } kCases[] = {
      {"0x2", 0x2},
      {"0X26", 0x26},
      {std::string("0x20\0", 5), 0x20},
      {"0x", std::nullopt},
      {"junk", std::nullopt},
      {"", std::nullopt},
      {v4, 0x26},
      {v1, 0x2},
      {mismatched, std::nullopt},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ParseDosAttrib(c.value), c.bits) << c.value;
}

TEST_P(FileSystemTest, SymbolicLinksLeadingOutsideTheDriveDoNotExist) {
  fs::create_directories(machine_.root() / "outside");
  std::ofstream(machine_.root() / "outside" / "loot.txt") << "outside";
  fs::create_directory_symlink(machine_.root() / "outside", machine_.host("C:\\escape"));
  fs::create_symlink("../../outside/loot.txt", machine_.host("C:\\WINDOWS\\loot.txt"));
  fs::create_directory_symlink("WINDOWS/system32", machine_.host("C:\\sys"));

  EXPECT_FALSE(files_.FolderExists("C:\\escape"));
  EXPECT_FALSE(files_.FileExists("C:\\escape\\loot.txt"));
  EXPECT_FALSE(files_.ReadFile("C:\\WINDOWS\\loot.txt").has_value());
  EXPECT_FALSE(files_.DeleteFile("C:\\WINDOWS\\loot.txt"));
  EXPECT_FALSE(files_.WriteFile("C:\\escape\\new.txt", "x"));
  EXPECT_FALSE(fs::exists(machine_.root() / "outside" / "new.txt"));
  const std::vector<std::string> root_names = Names(files_.List("C:\\"));
  EXPECT_EQ(std::count(root_names.begin(), root_names.end(), "escape"), 0);
  EXPECT_EQ(std::count(root_names.begin(), root_names.end(), "sys"), 1);

  // A link that stays inside the drive is followed.
  EXPECT_TRUE(files_.FolderExists("C:\\SYS"));
  EXPECT_TRUE(files_.WriteFile("C:\\sys\\via-link.dll", "x"));
  EXPECT_TRUE(files_.FileExists("C:\\WINDOWS\\system32\\VIA-LINK.DLL"));
}

TEST_P(FileSystemTest, SeesChangesMadeBehindItsBack) {
  machine_.WriteFile("C:\\Watch\\a.txt", "a");
  EXPECT_TRUE(files_.FileExists("C:\\WATCH\\A.TXT"));
  EXPECT_FALSE(files_.FileExists("C:\\WATCH\\B.TXT"));

  machine_.WriteFile("C:\\Watch\\b.txt", "b");
  fs::remove(machine_.host("C:\\Watch\\a.txt"));
  EXPECT_TRUE(files_.FileExists("C:\\WATCH\\B.TXT"));
  EXPECT_FALSE(files_.FileExists("C:\\WATCH\\A.TXT"));

  // A folder renamed, then another put in its place with a different spelling.
  fs::rename(machine_.host("C:\\Watch"), machine_.host("C:\\Moved"));
  EXPECT_FALSE(files_.FileExists("C:\\Watch\\b.txt"));
  EXPECT_EQ(files_.ReadFile("C:\\moved\\B.txt"), "b");
  machine_.WriteFile("C:\\WATCH\\c.txt", "c");
  EXPECT_EQ(files_.ReadFile("C:\\watch\\c.txt"), "c");
  EXPECT_FALSE(files_.FileExists("C:\\watch\\b.txt"));

  // An exact spelling that appears later wins from then on.
  machine_.WriteFile("C:\\Moved\\B.TXT", "B");
  EXPECT_EQ(files_.ReadFile("C:\\Moved\\B.TXT"), "B");
  EXPECT_EQ(files_.ReadFile("C:\\Moved\\b.txt"), "b");
  EXPECT_EQ(files_.Resolve("C:\\Moved\\B.TXT"), machine_.host("C:\\Moved\\B.TXT"));
  // Also when the exact spelling appears higher up the path.
  EXPECT_EQ(files_.Resolve("C:\\MOVED\\b.txt"), machine_.host("C:\\Moved\\b.txt"));
  machine_.WriteFile("C:\\MOVED\\b.txt", "other b");
  EXPECT_EQ(files_.Resolve("C:\\MOVED\\b.txt"), machine_.host("C:\\MOVED\\b.txt"));
  EXPECT_EQ(files_.Resolve("C:\\Moved\\b.txt"), machine_.host("C:\\Moved\\b.txt"));

  // A folder swapped for a link out of the drive.
  fs::remove_all(machine_.host("C:\\WATCH"));
  fs::create_directories(machine_.root() / "elsewhere");
  std::ofstream(machine_.root() / "elsewhere" / "c.txt") << "c";
  fs::create_directory_symlink(machine_.root() / "elsewhere", machine_.host("C:\\WATCH"));
  EXPECT_FALSE(files_.FileExists("C:\\watch\\c.txt"));
}

// A held listing answers Query without asking the host; after changes made behind its back,
// some through symbolic links whose folders it does not watch, it must still answer as the
// host (and Attributes) would.
TEST_P(FileSystemTest, QueryAnswersAsTheHostDoesAfterChanges) {
  const bool xattrs = XattrsSupported(machine_.host("C:\\"));
  machine_.WriteFile("C:\\Data\\gone.txt", "x");
  machine_.WriteFile("C:\\Data\\turns-folder", "x");
  machine_.WriteFile("C:\\Data\\marked.txt", "x");
  machine_.WriteFile("C:\\Deep\\a\\b\\inner.txt", "x");
  machine_.WriteFile("C:\\Targets\\target.txt", "x");
  fs::create_symlink("../Targets/target.txt", machine_.host("C:\\Data\\link.txt"));
  fs::create_directory_symlink("Deep/a/b", machine_.host("C:\\Linked"));

  const struct {
    const char* path;
    bool is_folder_after;
    bool exists_after;
    bool hidden_after;
  } kCases[] = {
      {"C:\\DATA\\GONE.TXT", false, false, false},    {"C:\\Data\\Turns-Folder", true, true, false},
      {"C:\\data\\marked.txt", false, true, xattrs},  {"C:\\Data\\Link.txt", false, false, false},
      {"C:\\linked\\INNER.TXT", false, false, false}, {"C:\\Linked", true, false, false},
  };
  // Looked at once, so that listings and DOS bits are held.
  for (const auto& c : kCases) {
    const std::optional<EntryInfo> before = files_.Query(c.path);
    ASSERT_TRUE(before.has_value()) << c.path;
    EXPECT_FALSE(before->hidden) << c.path;
  }
  EXPECT_EQ(files_.Query("C:\\DATA\\MARKED.TXT")->name, "marked.txt");

  fs::remove(machine_.host("C:\\Data\\gone.txt"));
  fs::remove(machine_.host("C:\\Data\\turns-folder"));
  fs::create_directory(machine_.host("C:\\Data\\turns-folder"));
  if (xattrs)
    setxattr(machine_.host("C:\\Data\\marked.txt").c_str(), "user.DOSATTRIB", "0x2", 3, 0);
  fs::remove(machine_.host("C:\\Targets\\target.txt"));
  fs::rename(machine_.host("C:\\Deep\\a"), machine_.host("C:\\Deep\\moved"));

  for (const auto& c : kCases) {
    const std::optional<EntryInfo> after = files_.Query(c.path);
    const std::optional<FileAttributes> attributes = files_.Attributes(c.path);
    ASSERT_EQ(after.has_value(), c.exists_after) << c.path;
    ASSERT_EQ(attributes.has_value(), c.exists_after) << c.path;
    if (!after)
      continue;
    EXPECT_EQ(after->is_folder, c.is_folder_after) << c.path;
    EXPECT_EQ(after->hidden, c.hidden_after) << c.path;
    EXPECT_EQ(attributes->is_folder, after->is_folder) << c.path;
    EXPECT_EQ(attributes->hidden, after->hidden) << c.path;
    EXPECT_EQ(files_.FileExists(c.path), !c.is_folder_after) << c.path;
  }
}

// What a descriptor from OpenForReading reads, closed after; nothing for -1.
std::optional<std::string> ReadAndClose(int fd) {
  if (fd < 0)
    return std::nullopt;
  std::string text;
  char buffer[256];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(got));
  close(fd);
  return text;
}

TEST_P(FileSystemTest, OpensFilesForReadingWhereTheyAreNow) {
  machine_.WriteFile("C:\\Data\\a.txt", "a");
  machine_.WriteFile("C:\\Data\\b.txt", "b");
  EXPECT_EQ(ReadAndClose(files_.OpenForReading("C:\\DATA\\A.TXT")), "a");
  EXPECT_EQ(ReadAndClose(files_.OpenForReading("C:\\Data\\b.txt")), "b");
  EXPECT_EQ(files_.OpenForReading("C:\\Data"), -1);
  EXPECT_EQ(files_.OpenForReading("C:\\Data\\"), -1);
  EXPECT_EQ(files_.OpenForReading("C:\\Data\\c.txt"), -1);
  ASSERT_EQ(mkfifo(machine_.host("C:\\Data\\pipe").c_str(), 0600), 0);
  EXPECT_EQ(files_.OpenForReading("C:\\Data\\pipe"), -1);  // not a file for the view

  // The folder moved away and another put in its place: the new one's file is read.
  fs::rename(machine_.host("C:\\Data"), machine_.host("C:\\Old"));
  machine_.WriteFile("C:\\Data\\a.txt", "new a");
  EXPECT_EQ(ReadAndClose(files_.OpenForReading("C:\\Data\\a.txt")), "new a");
  EXPECT_EQ(ReadAndClose(files_.OpenForReading("C:\\Old\\a.txt")), "a");
  EXPECT_EQ(ReadAndClose(files_.OpenForReading("C:\\data\\A.txt")), "new a");
}

// Within a Moment only the first look-up checks for changes made behind the view's back;
// changes made through the view are seen at once, and all changes once the Moment is over.
TEST_P(FileSystemTest, AMomentAnswersFromOneStateExceptForItsOwnChanges) {
  machine_.WriteFile("C:\\Data\\a.txt", "a");
  {
    const FileSystem::Moment moment(files_);
    EXPECT_TRUE(files_.FileExists("C:\\Data\\a.txt"));
    machine_.WriteFile("C:\\Data\\behind.txt", "b");
    // A listed folder answers from the state first seen; one read afresh sees the file.
    EXPECT_EQ(files_.FileExists("C:\\Data\\behind.txt"), GetParam() == DriveType::kRemote);

    ASSERT_TRUE(files_.WriteFile("C:\\Data\\own.txt", "o"));
    EXPECT_TRUE(files_.FileExists("C:\\Data\\OWN.TXT"));
    ASSERT_TRUE(files_.DeleteFile("C:\\Data\\a.txt"));
    EXPECT_FALSE(files_.FileExists("C:\\Data\\a.txt"));
    EXPECT_EQ(files_.OpenForReading("C:\\Data\\a.txt"), -1);
  }
  EXPECT_TRUE(files_.FileExists("C:\\Data\\behind.txt"));
}

TEST_P(FileSystemTest, WriteReplacesTheFileAsAWhole) {
  ASSERT_TRUE(files_.WriteFile("C:\\WINDOWS\\settings.ini", "old"));
  std::ifstream reader(machine_.host("C:\\WINDOWS\\settings.ini"), std::ios::binary);
  ASSERT_TRUE(files_.WriteFile("c:\\windows\\SETTINGS.INI", "new contents"));

  // A reader that had the old file open still reads it whole: it was replaced, not rewritten.
  std::string old_seen;
  reader >> old_seen;
  EXPECT_EQ(old_seen, "old");
  EXPECT_EQ(ReadHost(machine_.host("C:\\WINDOWS\\settings.ini")), "new contents");
  const std::vector<std::string> names = Names(files_.List("C:\\WINDOWS"));
  EXPECT_EQ(names, (std::vector<std::string>{"Fonts", "settings.ini", "system32"}));

  EXPECT_FALSE(files_.WriteFile("C:\\No Such Folder\\x.txt", "x"));
  EXPECT_FALSE(fs::exists(machine_.host("C:\\No Such Folder")));
  EXPECT_FALSE(files_.WriteFile("C:\\WINDOWS\\system32", "x"));
  EXPECT_TRUE(files_.FolderExists("C:\\WINDOWS\\system32"));

  EXPECT_TRUE(files_.AppendFile("C:\\WINDOWS\\log.txt", "one\n"));
  EXPECT_TRUE(files_.AppendFile("C:\\WINDOWS\\LOG.TXT", "two\n"));
  EXPECT_EQ(files_.ReadFile("C:\\WINDOWS\\log.txt"), "one\ntwo\n");
}

TEST_P(FileSystemTest, WritesNeverFollowALinkOnTheLastName) {
  fs::create_directories(machine_.root() / "outside");
  std::ofstream(machine_.root() / "outside" / "hosts") << "host file";
  machine_.WriteFile("C:\\Users\\notes.txt", "user's notes");
  const struct {
    const char* name;
    fs::path target;
  } kLinks[] = {
      {"inside.txt", "../Users/notes.txt"},
      {"outside.txt", machine_.root() / "outside" / "hosts"},
      {"dangling.txt", machine_.root() / "outside" / "created"},
  };
  for (const auto& link : kLinks) {
    const std::string path = std::string("C:\\WINDOWS\\") + link.name;
    fs::create_symlink(link.target, machine_.host(path));
    EXPECT_FALSE(files_.AppendFile(path, "appended")) << link.name;
    EXPECT_FALSE(files_.WriteFile(path, "written")) << link.name;
    EXPECT_TRUE(fs::is_symlink(machine_.host(path))) << link.name;
  }
  EXPECT_EQ(ReadHost(machine_.host("C:\\Users\\notes.txt")), "user's notes");
  EXPECT_EQ(ReadHost(machine_.root() / "outside" / "hosts"), "host file");
  EXPECT_FALSE(fs::exists(machine_.root() / "outside" / "created"));
}

// Each flush as "<what was flushed> / <what the written name held then>".
std::vector<std::string> flushes;
fs::path flushed_name;

int RecordFlush(int fd) {
  struct stat st {};
  fstat(fd, &st);
  const std::string what =
      S_ISDIR(st.st_mode) ? "folder" : ReadHost(fs::path("/proc/self/fd") / std::to_string(fd));
  flushes.push_back(what + " / " + ReadHost(flushed_name));
  return 0;
}

TEST_P(FileSystemTest, AReplacedFileIsOnTheDiskBeforeItsNameAndTheNameAfter) {
  ASSERT_TRUE(files_.WriteFile("C:\\WINDOWS\\date.dat", "old"));
  flushed_name = machine_.host("C:\\WINDOWS\\date.dat");
  flushes.clear();
  const FlushFunction real = SetFlushFunction(&RecordFlush);
  const bool written = files_.WriteFile("C:\\WINDOWS\\date.dat", "new");
  SetFlushFunction(real);

  EXPECT_TRUE(written);
  EXPECT_EQ(flushes, (std::vector<std::string>{"new / old", "folder / new"}));
}

TEST_P(FileSystemTest, CopiesFilesAndFolderTrees) {
  machine_.WriteFile("C:\\Src\\a.txt", "a");
  machine_.WriteFile("C:\\Src\\Sub\\.b", "b");
  ASSERT_TRUE(files_.Copy("C:\\SRC", "C:\\Dst"));
  EXPECT_EQ(files_.ReadFile("C:\\Dst\\A.TXT"), "a");
  EXPECT_EQ(files_.ReadFile("C:\\Dst\\sub\\.B"), "b");
  EXPECT_TRUE(files_.Copy("C:\\Src\\a.txt", "C:\\WINDOWS\\a-copy.txt"));
  EXPECT_EQ(files_.ReadFile("C:\\WINDOWS\\a-copy.txt"), "a");

  // An existing target is never touched.
  machine_.WriteFile("C:\\Kept\\a.txt", "kept");
  EXPECT_FALSE(files_.Copy("C:\\Src", "C:\\kept"));
  EXPECT_FALSE(files_.Copy("C:\\Src\\a.txt", "C:\\KEPT\\A.TXT"));
  EXPECT_EQ(ReadHost(machine_.host("C:\\Kept\\a.txt")), "kept");
  // Nor is a folder copied into itself.
  EXPECT_FALSE(files_.Copy("C:\\Src", "C:\\Src\\Sub\\Again"));
  EXPECT_FALSE(fs::exists(machine_.host("C:\\Src\\Sub\\Again")));
}

TEST_P(FileSystemTest, FailedCopyLeavesNothingBehind) {
  // A tree deeper than a copy follows: the copy fails part way.
  fs::path deep = machine_.host("C:\\Deep");
  for (int i = 0; i < 300; ++i)
    deep /= "d";
  fs::create_directories(deep);
  std::ofstream(deep / "bottom.txt") << "x";
  machine_.WriteFile("C:\\Deep\\top.txt", "top");

  EXPECT_FALSE(files_.Copy("C:\\Deep", "C:\\Copy"));
  EXPECT_FALSE(files_.FolderExists("C:\\Copy"));
  EXPECT_EQ(Names(files_.List("C:\\")), (std::vector<std::string>{"Deep", "Documents and Settings",
                                                                  "Program Files", "WINDOWS"}));
  std::vector<std::string> hidden_left;
  for (const auto& entry : fs::directory_iterator(machine_.host("C:\\")))
    hidden_left.push_back(entry.path().filename().string());
  EXPECT_EQ(hidden_left.size(), 4u);
}

TEST_P(FileSystemTest, CreatesFoldersInsideExistingSpellings) {
  EXPECT_TRUE(files_.CreateFolder("c:\\windows\\SYSTEM32\\New\\Deeper"));
  EXPECT_TRUE(fs::is_directory(machine_.host("C:\\WINDOWS\\system32\\New\\Deeper")));
  EXPECT_TRUE(files_.CreateFolder("C:\\WINDOWS"));  // already there

  machine_.WriteFile("C:\\Blocker", "a file");
  EXPECT_FALSE(files_.CreateFolder("C:\\Blocker\\x"));
  EXPECT_FALSE(files_.CreateFolder("C:\\blocker"));
  EXPECT_TRUE(fs::is_regular_file(machine_.host("C:\\Blocker")));
}

TEST_P(FileSystemTest, RenamesAndDeletes) {
  machine_.WriteFile("C:\\Data\\old.txt", "1");
  machine_.WriteFile("C:\\Data\\other.txt", "2");

  // Only the case changes.
  EXPECT_TRUE(files_.Rename("C:\\Data\\old.txt", "C:\\DATA\\OLD.TXT"));
  EXPECT_TRUE(fs::exists(machine_.host("C:\\Data\\OLD.TXT")));
  EXPECT_FALSE(fs::exists(machine_.host("C:\\Data\\old.txt")));
  // A file replaces a file.
  EXPECT_TRUE(files_.Rename("C:\\Data\\other.txt", "C:\\Data\\old.txt"));
  EXPECT_EQ(files_.ReadFile("C:\\Data\\old.txt"), "2");
  EXPECT_FALSE(files_.FileExists("C:\\Data\\other.txt"));
  // Never a folder, never across drives.
  EXPECT_FALSE(files_.Rename("C:\\Data\\old.txt", "C:\\WINDOWS"));
  EXPECT_FALSE(files_.Rename("C:\\WINDOWS", "C:\\Data\\old.txt"));
  EXPECT_FALSE(files_.Rename("C:\\Data\\old.txt", "D:\\old.txt"));

  EXPECT_FALSE(files_.DeleteFile("C:\\Data"));
  EXPECT_FALSE(files_.DeleteFolder("C:\\Data\\old.txt"));
  EXPECT_FALSE(files_.DeleteFolder("C:\\"));
  EXPECT_TRUE(files_.DeleteFile("C:\\data\\OLD.txt"));
  EXPECT_FALSE(files_.FileExists("C:\\Data\\old.txt"));
  EXPECT_TRUE(files_.DeleteFolder("C:\\DATA"));
  EXPECT_FALSE(fs::exists(machine_.host("C:\\Data")));
}

TEST_P(FileSystemTest, OnlyFilesAndFoldersExist) {
  ASSERT_EQ(mkfifo(machine_.host("C:\\WINDOWS\\pipe").c_str(), 0600), 0);
  EXPECT_FALSE(files_.FileExists("C:\\WINDOWS\\pipe"));
  EXPECT_FALSE(files_.ReadFile("C:\\WINDOWS\\pipe").has_value());  // and no hang
  EXPECT_EQ(Names(files_.List("C:\\WINDOWS")), (std::vector<std::string>{"Fonts", "system32"}));
}

TEST_P(FileSystemTest, ResolveForCreateKeepsExistingSpellings) {
  machine_.WriteFile("C:\\WINDOWS\\Existing.Txt", "x");
  EXPECT_EQ(files_.ResolveForCreate("C:\\windows\\EXISTING.TXT"),
            machine_.host("C:\\WINDOWS\\Existing.Txt"));
  EXPECT_EQ(files_.ResolveForCreate("C:\\windows\\New.Txt"), machine_.host("C:\\WINDOWS\\New.Txt"));
  EXPECT_FALSE(files_.ResolveForCreate("C:\\Missing\\New.Txt").has_value());
  EXPECT_FALSE(files_.ResolveForCreate("C:\\").has_value());
}

TEST_P(FileSystemTest, HostPathsBackToWindowsPaths) {
  const fs::path drive = machine_.root() / "drive_c";
  EXPECT_EQ(files_.ToWindowsPath(drive / "WINDOWS" / "system32" / "x.dll"),
            "C:\\WINDOWS\\system32\\x.dll");
  EXPECT_EQ(files_.ToWindowsPath(drive), "C:\\");
  EXPECT_EQ(files_.ToWindowsPath(drive / "a" / ".." / "Caf\xC3\xA9"), "C:\\Caf\xE9");
  EXPECT_FALSE(files_.ToWindowsPath(machine_.root() / "drive_cx" / "a").has_value());
  EXPECT_FALSE(files_.ToWindowsPath(machine_.root()).has_value());
  EXPECT_FALSE(files_.ToWindowsPath(drive / "a\\b").has_value());
}

// Runs `change` in a child process and waits for it: a change the view did not make.
void InAnotherProcess(const std::function<void()>& change) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    change();
    _exit(0);
  }
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
}

TEST_P(FileSystemTest, SeesChangesBehindEachKindOfLink) {
  machine_.WriteFile("C:\\Deep\\Real\\target\\old.txt", "x");
  machine_.WriteFile("C:\\Other\\file.txt", "x");
  machine_.MakeFolder("C:\\Links");
  fs::create_directory_symlink("../Deep/Real/target", machine_.host("C:\\Links\\Folder"));
  fs::create_symlink("../Other/file.txt", machine_.host("C:\\Links\\file.txt"));
  const fs::path real = machine_.host("C:\\Deep\\Real");
  const fs::path file = machine_.host("C:\\Other\\file.txt");
  const bool xattrs = XattrsSupported(machine_.host("C:\\"));
  EXPECT_FALSE(files_.FileExists("C:\\Links\\Folder\\new.txt"));
  EXPECT_FALSE(files_.Query("C:\\Links\\file.txt").value().hidden);

  // The linked folder comes back new under a parent renamed away and made again; the linked
  // file is marked hidden.
  InAnotherProcess([&] {
    std::error_code error;
    fs::rename(real, real.string() + ".old", error);
    fs::create_directories(real / "target", error);
    std::ofstream(real / "target" / "new.txt") << "new";
    setxattr(file.c_str(), "user.DOSATTRIB", "0x2", 3, 0);
  });
  EXPECT_EQ(ReadAndClose(files_.OpenForReading("C:\\Links\\Folder\\NEW.TXT")), "new");
  EXPECT_FALSE(files_.FileExists("C:\\Links\\Folder\\old.txt"));
  EXPECT_EQ(files_.Query("C:\\Links\\file.txt").value().hidden, xattrs);
}

TEST_P(FileSystemTest, LinksThatCameToLeadOutOfTheDriveAreNotFollowed) {
  machine_.WriteFile("C:\\A\\B\\inner.txt", "inside");
  const fs::path outside = machine_.root() / "outside";
  fs::create_directories(outside);
  std::ofstream(outside / "inner.txt") << "outside";
  fs::create_directory_symlink("A/B", machine_.host("C:\\Down"));
  fs::create_symlink("A/B/inner.txt", machine_.host("C:\\DownFile.txt"));
  const char* const kPaths[] = {"C:\\Down\\inner.txt", "C:\\DownFile.txt"};
  for (const char* path : kPaths)
    EXPECT_EQ(ReadAndClose(files_.OpenForReading(path)), "inside") << path;

  // The folder the links lead into is replaced by a link out of the drive.
  const fs::path b = machine_.host("C:\\A\\B");
  InAnotherProcess([&] {
    std::error_code error;
    fs::remove_all(b, error);
    fs::create_directory_symlink(outside, b, error);
  });
  for (const char* path : kPaths) {
    EXPECT_FALSE(files_.FileExists(path)) << path;
    EXPECT_EQ(files_.OpenForReading(path), -1) << path;
  }
  EXPECT_TRUE(files_.List("C:\\Down").empty());
}

// Every host entry lists under a name of its own, and that name reaches it and nothing else.
TEST_P(FileSystemTest, EveryHostNameListsUnderANameThatReachesItAlone) {
  const struct {
    const char* host;
    const char* windows;
  } kNames[] = {
      {"caf\xC3\xA9.txt", "caf\xE9.txt"},       // UTF-8: its natural spelling
      {"caf\xE9.txt", "caf%E9~2.txt"},          // Latin-1, escaped, which is taken
      {"caf%E9.txt", "caf%E9.txt"},             // natural: taken by it
      {"x\xE4\xB8\xAD.txt", "x%E4%B8%AD.txt"},  // UTF-8 beyond Windows-1252
      {"dot.", "dot%2E"},                       // a trailing dot no path can name last
  };
  const fs::path folder = machine_.host("C:\\WINDOWS");
  std::set<std::string> expected = {"Fonts", "system32"};
  for (const auto& n : kNames) {
    std::ofstream(folder / n.host) << n.host;
    expected.insert(n.windows);
  }
  const std::vector<std::string> listed = Names(files_.List("C:\\WINDOWS"));
  EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), expected);
  EXPECT_EQ(listed.size(), expected.size());

  for (const auto& n : kNames) {
    const std::string path = std::string("C:\\WINDOWS\\") + n.windows;
    EXPECT_EQ(ReadAndClose(files_.OpenForReading(path)), n.host) << path;
    EXPECT_EQ(files_.ToWindowsPath(folder / n.host), path) << path;
  }
  for (const auto& n : kNames) {
    const std::string path = std::string("C:\\WINDOWS\\") + n.windows;
    EXPECT_TRUE(files_.DeleteFile(path)) << path;
    EXPECT_FALSE(files_.FileExists(path)) << path;
    EXPECT_FALSE(fs::exists(folder / n.host)) << path;
  }
}

// Kernel file systems change their listings unannounced, also mounted below a drive's root.
TEST(FileSystemKernelTest, ProcfsIsReadAfresh) {
  for (const auto& [host_root, prefix] : {std::pair{"/proc", "C:\\"}, {"/", "C:\\proc\\"}}) {
    hg_test::TempMachine machine;
    machine.profile().drives.at(0).host_root = host_root;
    const FileSystem files(machine.profile());
    ASSERT_TRUE(files.FolderExists(prefix + std::to_string(getpid())));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;)
        pause();
    }
    const std::string path = prefix + std::to_string(child);
    EXPECT_TRUE(files.FolderExists(path)) << path;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(files.FolderExists(path)) << path;
  }
}

}  // namespace
}  // namespace machine
