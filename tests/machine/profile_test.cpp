#include "machine/profile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <fstream>
#include <sstream>

#include "machine/csidl.h"
#include "machine/file_system.h"
#include "machine/profile_format.h"
#include "machine/profile_message.h"
#include "removal/machine_snapshot.h"
#include "support/scoped_env.h"
#include "support/temp_machine.h"

namespace machine {

void PrintTo(const ProfileProblem& problem, std::ostream* out) {
  *out << problem.line << ": " << problem.text;
}

namespace {

namespace fs = std::filesystem;

void ExpectSameMachine(const Profile& a, const Profile& b) {
  ASSERT_EQ(a.drives.size(), b.drives.size());
  for (size_t i = 0; i < a.drives.size(); ++i) {
    EXPECT_EQ(a.drives[i].letter, b.drives[i].letter);
    EXPECT_EQ(a.drives[i].host_root, b.drives[i].host_root);
    EXPECT_EQ(a.drives[i].type, b.drives[i].type);
    EXPECT_EQ(a.drives[i].label, b.drives[i].label);
    EXPECT_EQ(a.drives[i].serial, b.drives[i].serial);
  }
  EXPECT_EQ(a.special_folders, b.special_folders);
  EXPECT_EQ(a.os_family, b.os_family);
  EXPECT_EQ(a.os_major, b.os_major);
  EXPECT_EQ(a.os_minor, b.os_minor);
  EXPECT_EQ(a.system_folder, b.system_folder);
  EXPECT_EQ(a.program_folder, b.program_folder);
  EXPECT_EQ(a.machine_hive, b.machine_hive);
  EXPECT_EQ(a.user_hive, b.user_hive);
  EXPECT_EQ(a.update_server_url, b.update_server_url);
}

using hg_test::ScopedEnv;

class ProfileTest : public ::testing::Test {
 protected:
  // A profile file whose drive C: is the temporary machine's.
  fs::path WriteIni(const std::string& body) {
    const fs::path file = machine_.root() / "test.ini";
    std::ofstream(file, std::ios::binary) << body;
    return file;
  }

  hg_test::TempMachine machine_;
};

TEST_F(ProfileTest, DefaultIsAWindowsXpMachine) {
  const Profile p = DefaultProfile(machine_.root());
  EXPECT_EQ(p.os_family, OsFamily::kNt);
  EXPECT_EQ(p.os_major * 10 + p.os_minor, 51);
  ASSERT_NE(p.FindDrive('c'), nullptr);
  EXPECT_EQ(p.FindDrive('C')->host_root, machine_.root() / "drive_c");
  EXPECT_EQ(p.FindDrive('D'), nullptr);
  for (const CsidlInfo& csidl : KnownCsidls())
    EXPECT_EQ(p.special_folders.count(csidl.number), csidl.has_path ? 1u : 0u) << csidl.name;
  EXPECT_EQ(p.special_folders.at(CSIDL_PROGRAMS),
            "C:\\Documents and Settings\\Owner\\Start Menu\\Programs");
  EXPECT_EQ(p.special_folders.at(CSIDL_ALTSTARTUP), p.special_folders.at(CSIDL_STARTUP));
  EXPECT_EQ(p.special_folders.at(CSIDL_COMMON_ALTSTARTUP),
            "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup");

  // Its folder tree exists, each folder under the spelling the profile gives.
  FileSystem files(machine_.profile());
  for (const auto& [number, path] : p.special_folders) {
    EXPECT_TRUE(files.FolderExists(path)) << path;
    EXPECT_EQ(files.ToWindowsPath(*files.Resolve(path)), path);
  }
  EXPECT_TRUE(files.FolderExists("C:\\Program Files\\Hearthguard"));
}

TEST_F(ProfileTest, SavedProfileReadsBackTheSame) {
  Profile p = DefaultProfile(machine_.root());
  p.os_family = OsFamily::kWin9x;
  p.os_major = 4;
  p.os_minor = 90;
  p.drives[0].type = DriveType::kRemovable;
  p.drives[0].label = "Caf\xE9";
  p.special_folders.erase(CSIDL_COMMON_APPDATA);
  p.special_folders[CSIDL_APPDATA] = "C:\\Dokumente und Einstellungen\\B\xFCro\\Anwendungsdaten";
  p.update_server_url = "http://127.0.0.1:9999/base";
  const fs::path file = machine_.root() / "saved.ini";
  ASSERT_TRUE(SaveProfile(p, file));

  const ProfileLoadResult loaded = LoadProfile(file);
  EXPECT_TRUE(loaded.errors.empty()) << loaded.errors.front().text;
  ExpectSameMachine(loaded.profile, p);
  EXPECT_EQ(loaded.profile.file, file);

  // Host paths below the file's folder are kept relative, so the folder can move.
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  EXPECT_NE(text.str().find("path = drive_c\n"), std::string::npos);
  EXPECT_NE(text.str().find("B\xC3\xBCro"), std::string::npos);  // UTF-8 in the file
}

// Written after " = ", a value that begins with ";" would read back as a comment: such a
// profile is refused, not saved changed.
TEST_F(ProfileTest, AValueThatWouldReadBackAsACommentIsNotSaved) {
  Profile p = DefaultProfile(machine_.root());
  p.drives[0].label = ";label";
  EXPECT_FALSE(SaveProfile(p, machine_.root() / "saved.ini"));
}

TEST_F(ProfileTest, ErrorsNameTheLineAndNothingOfTheFileIsKept) {
  const std::string head =
      "[machine]\n"
      "os_version = 4.90\n"
      "[drive C]\n"
      "path = drive_c\n";
  const struct {
    std::string body;
    ProfileProblem error;
  } kCases[] = {
      {head + "[machine2]\nx = 1\n", {6, "unknown section [machine2]"}},
      {"; comment\n[machine]\ncolour = blue\n[drive C]\npath = drive_c\n",
       {3, "unknown key 'colour' in [machine]"}},
      {head + "[folders]\nCSIDL_BITBUCKET = C:\\Recycled\n",
       {6, "unknown key 'CSIDL_BITBUCKET' in [folders]"}},
      {head + "[folders]\nCSIDL_APPDATA = Application Data\n",
       {6,
        "bad value 'Application Data' for CSIDL_APPDATA (a full Windows path such as "
        "C:\\WINDOWS)"}},
      {"[machine]\nos_family = os2\n[drive C]\npath = drive_c\n",
       {2, "bad value 'os2' for os_family (nt or 9x)"}},
      {head + "type = floppy\n",
       {5, "bad value 'floppy' for type (removable, fixed, remote, cdrom or ramdisk)"}},
      {head + "serial = 12345678A\n",
       {5, "bad value '12345678A' for serial (up to 8 hexadecimal digits)"}},
      {head + "path = drive_c\n", {5, "key 'path' given twice in [drive C]"}},
      {"[drive C]\npath = drive_c\n[machine]\nupdate_server = ftp://x\n",
       {4, "bad value 'ftp://x' for update_server (an http:// or https:// address)"}},
      {head + "[drive D]\npath = no_such_folder\n",
       {6, "drive D: folder 'no_such_folder' does not exist"}},
      {head + "[drive E]\ntype = cdrom\n", {6, "drive E: has no path"}},
      {head + "this line has no equals sign\n", {5, "not a [section] or a 'key = value' line"}},
      {head + "label = " + std::string(kMaxProfileLine, 'x') + "\n",
       {5, "line too long or holding a NUL character"}},
      {"[machine]\nos_version = 4.90\n", {0, "it has no [drive X] section"}},
  };
  for (const auto& c : kCases) {
    const ProfileLoadResult loaded = LoadProfile(WriteIni(c.body));
    ASSERT_EQ(loaded.errors.size(), 1u) << c.body;
    EXPECT_EQ(loaded.errors[0], c.error);
    // Nothing of the file is kept, not even what was right in it.
    EXPECT_TRUE(loaded.profile.drives.empty());
    EXPECT_TRUE(loaded.profile.machine_hive.empty());
  }
}

TEST_F(ProfileTest, InlineCommentsAndIndentationAreAllowed) {
  const fs::path file = WriteIni(
      "[Machine]\n"
      "  os_family = 9x   ; the old family\n"
      "  os_version = 4.10\n"
      "[drive c:]\n"
      "path = drive_c\n"
      "serial = 00ff00FF\n"
      "[folders]\n"
      "csidl_windows = c:/windows/\n"
      "CSIDL_FONTS =\n");
  const ProfileLoadResult loaded = LoadProfile(file);
  ASSERT_TRUE(loaded.errors.empty()) << loaded.errors.front().text;
  EXPECT_EQ(loaded.profile.os_family, OsFamily::kWin9x);
  EXPECT_EQ(loaded.profile.os_minor, 10);
  EXPECT_EQ(loaded.profile.drives.at(0).serial, 0x00FF00FFu);
  EXPECT_EQ(loaded.profile.special_folders,
            (std::map<int, std::string>{{CSIDL_WINDOWS, "C:\\windows"}}));
}

TEST_F(ProfileTest, AHugeProfileIsRefusedUnread) {
  const fs::path file = WriteIni("");
  fs::resize_file(file, uint64_t{256} << 20);  // a hole: no disk, no bytes to read
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const long peak_before = usage.ru_maxrss;
  const ProfileLoadResult loaded = LoadProfile(file);
  getrusage(RUSAGE_SELF, &usage);
  EXPECT_LT(usage.ru_maxrss - peak_before, 16 * 1024);  // kilobytes
  EXPECT_EQ(loaded.errors, (std::vector<ProfileProblem>{{0, "it is too large for a profile"}}));
}

TEST_F(ProfileTest, EnvironmentChoosesTheProfile) {
  // A chosen profile that exists is read.
  Profile custom = DefaultProfile(machine_.root());
  custom.os_family = OsFamily::kWin9x;
  ASSERT_TRUE(SaveProfile(custom, machine_.root() / "custom.ini"));
  {
    ScopedEnv env("HEARTHGUARD_PROFILE", (machine_.root() / "custom.ini").string());
    const OpenedProfile opened = OpenProfile();
    EXPECT_EQ(opened.profile.os_family, OsFamily::kWin9x);
    EXPECT_TRUE(opened.problems.empty());
    EXPECT_FALSE(opened.made_default);
  }
  // Without one, the data folder's profile is made on first start, with its folder tree.
  ScopedEnv no_choice("HEARTHGUARD_PROFILE", "");
  ScopedEnv data("XDG_DATA_HOME", (machine_.root() / "data").string());
  const fs::path expected = machine_.root() / "data" / "hearthguard" / "profile.ini";
  EXPECT_EQ(ProfilePath(), expected);
  const OpenedProfile created = OpenProfile();
  EXPECT_TRUE(created.problems.empty());
  EXPECT_TRUE(created.setup_errors.empty());
  EXPECT_TRUE(created.made_default);
  EXPECT_TRUE(fs::exists(expected));
  EXPECT_EQ(created.profile.file, expected);
  EXPECT_TRUE(fs::is_directory(expected.parent_path() / "drive_c" / "WINDOWS" / "system32"));
  const OpenedProfile again = OpenProfile();
  ExpectSameMachine(again.profile, created.profile);
  EXPECT_TRUE(again.problems.empty());
  EXPECT_FALSE(again.made_default);
}

TEST_F(ProfileTest, ADataFolderThatCannotBeWrittenIsToldOnceAndTheProgramGoesOn) {
  ASSERT_TRUE(SaveProfile(DefaultProfile(machine_.root()), machine_.root() / "custom.ini"));
  const fs::path file = machine_.root() / "a-file";
  std::ofstream(file) << "the data folder cannot be made below a file";
  ScopedEnv chosen("HEARTHGUARD_PROFILE", (machine_.root() / "custom.ini").string());
  ScopedEnv data("XDG_DATA_HOME", file.string());
  const OpenedProfile opened = OpenProfile();
  EXPECT_TRUE(opened.problems.empty());
  EXPECT_EQ(DescribeProfileProblems(opened),
            "The program's data folder cannot be written, so settings will not be kept:\n" +
                (file / "hearthguard").string());
}

TEST_F(ProfileTest, AProfileThatCannotBeUsedLeavesItsFolderAlone) {
  // Beside each chosen profile lies a tree like a Wine prefix's; the default machine stands in
  // from the data folder only.
  const fs::path prefix = machine_.root() / "prefix";
  fs::create_directories(prefix / "drive_c" / "windows");
  const std::string broken = "[drive C]\npath = drive_c\n[machine]\nos_family = os2\n";
  std::ofstream(prefix / "broken.ini") << broken;
  const fs::path data = machine_.root() / "data" / "hearthguard";
  const struct {
    fs::path chosen;
    ProfileProblem problem;
  } kCases[] = {
      {prefix / "broken.ini", {4, "bad value 'os2' for os_family (nt or 9x)"}},
      {prefix / "drive_c", {0, "it is a folder, not a profile file"}},
      {prefix / "missing.ini", {0, "it does not exist"}},
  };
  const removal_test::TreeSnapshot before = removal_test::SnapshotTree(prefix);
  ScopedEnv env("XDG_DATA_HOME", data.parent_path().string());
  bool first = true;
  for (const auto& c : kCases) {
    ScopedEnv chosen("HEARTHGUARD_PROFILE", c.chosen.string());
    const OpenedProfile opened = OpenProfile();
    EXPECT_EQ(opened.chosen, c.chosen);
    EXPECT_EQ(opened.problems, std::vector<ProfileProblem>{c.problem});
    EXPECT_EQ(opened.made_default, first);  // written once, then found there
    first = false;
    EXPECT_EQ(opened.profile.file, data / "profile.ini");
    ExpectSameMachine(opened.profile, DefaultProfile(data));
    EXPECT_EQ(removal_test::SnapshotTree(prefix), before);
  }
  EXPECT_TRUE(fs::is_directory(data / "drive_c" / "WINDOWS" / "system32"));

  // A broken profile in the data folder is not written over either.
  std::ofstream(data / "profile.ini", std::ios::trunc) << broken;
  const removal_test::TreeSnapshot data_before = removal_test::SnapshotTree(data);
  ScopedEnv no_choice("HEARTHGUARD_PROFILE", "");
  const OpenedProfile opened = OpenProfile();
  EXPECT_EQ(opened.problems.size(), 1u);
  EXPECT_FALSE(opened.made_default);
  ExpectSameMachine(opened.profile, DefaultProfile(data));
  EXPECT_EQ(removal_test::SnapshotTree(data), data_before);
}

TEST_F(ProfileTest, LongFoldersAndOddCharactersReadBackTheSame) {
  // A drive outside the profile's folder is saved as a whole host path.
  fs::path folder = machine_.root() / "elsewhere";
  for (const char* part : {"Caf\xC3\xA9 #1;x=y", "[brackets] & 'quotes'", "raw \xFF byte"})
    folder /= part;
  folder /= std::string(240, 'd');
  fs::create_directories(folder);
  Profile p = DefaultProfile(machine_.root() / "profile");
  p.drives.push_back({'D', folder, DriveType::kRemote, "a=b:c #d", 7});
  fs::create_directories(p.drives[0].host_root);
  const fs::path file = machine_.root() / "profile" / "long.ini";
  ASSERT_TRUE(SaveProfile(p, file));
  const ProfileLoadResult loaded = LoadProfile(file);
  EXPECT_TRUE(loaded.errors.empty()) << loaded.errors.front().text;
  ExpectSameMachine(loaded.profile, p);

  // What the reader would refuse is not written.
  p.drives[1].label = std::string(kMaxProfileLine, 'x');
  EXPECT_FALSE(SaveProfile(p, machine_.root() / "profile" / "too_long.ini"));
  EXPECT_FALSE(fs::exists(machine_.root() / "profile" / "too_long.ini"));
}

}  // namespace
}  // namespace machine
