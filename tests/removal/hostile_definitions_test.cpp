// Definitions are not trusted: a removal with hostile rows checked next to real threats removes
// the threats and changes nothing else on the drives or in the hives.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "machine/text.h"
#include "machine_snapshot.h"
#include "removal/safe_path.h"
#include "removal/safe_registry_key.h"
#include "removal_fixture.h"
#include "support/test_process.h"

namespace removal_test {
namespace {

using machine::kHkeyClassesRoot;
using machine::kHkeyCurrentUser;
using machine::kHkeyLocalMachine;
using machine::kHkeyUsers;
using model::ThreatIconKind;
using namespace std::string_literals;

constexpr const char* kCookies = "C:\\Documents and Settings\\Owner\\Cookies";
constexpr const char* kCookie = "C:\\Documents and Settings\\Owner\\Cookies\\owner@bad[1].txt";

// File and folder rows a hostile definition set could produce, with why each must be refused.
const std::vector<std::pair<std::string, removal::PathRefusal>>& HostilePaths() {
  using removal::PathRefusal;
  static const std::vector<std::pair<std::string, PathRefusal>> paths = {
      {"C:\\", PathRefusal::kDriveRoot},
      {"C:", PathRefusal::kDriveRoot},
      {"c:/", PathRefusal::kDriveRoot},
      {"C:WINDOWS", PathRefusal::kNotAbsolute},
      {"WINDOWS\\system32", PathRefusal::kNotAbsolute},
      {"\\WINDOWS", PathRefusal::kNotAbsolute},
      {"\\\\?\\C:\\WINDOWS", PathRefusal::kNotAbsolute},
      {"\\\\localhost\\C$\\WINDOWS", PathRefusal::kNotAbsolute},
      {" C:\\WINDOWS", PathRefusal::kNotAbsolute},
      {"C:\\WINDOWS", PathRefusal::kProtectedFolder},
      {"c:\\windows\\SYSTEM32", PathRefusal::kProtectedFolder},
      {"C:/Program Files", PathRefusal::kProgramFolder},  // above the program folder
      {"C:\\WINDOWS. ", PathRefusal::kProtectedFolder},
      {"C:\\Documents and Settings", PathRefusal::kProtectedFolder},
      {"C:\\Documents and Settings\\Owner", PathRefusal::kProtectedFolder},
      {"C:\\Documents and Settings\\All Users\\Start Menu", PathRefusal::kProtectedFolder},
      {"C:\\WINDOWS\\.", PathRefusal::kDotName},
      {"C:\\WINDOWS\\system32\\..", PathRefusal::kDotName},
      {"C:\\evil\\..\\WINDOWS", PathRefusal::kDotName},
      {"C:\\WINDOWS\\...", PathRefusal::kDotName},
      {"C:\\Documents and Settings\\Owner\\Cookies\\", PathRefusal::kTrailingBackslash},
      {"C:\\WINDOWS\\*.*", PathRefusal::kBadName},
      {"C:\\evil\\NUL", PathRefusal::kBadName},
      {"C:\\Program Files\\Hearthguard", PathRefusal::kProgramFolder},
      {"C:\\PROGRAM FILES\\hearthguard\\FileDefinition.dat", PathRefusal::kProgramFolder},
      {"C:\\Program Files\\Hearthguard\\quarantine", PathRefusal::kProgramFolder},
      {"C:\\Program Files\\Hearthguard\\hearthguard.exe", PathRefusal::kProgramFolder},
      {"C:\\Program Files\\Hearthguard\\helper.dll", PathRefusal::kProgramFolder},
      {"C:\\shortcut", PathRefusal::kProtectedFolder},    // a link to C:\WINDOWS
      {"C:\\innocent.dat", PathRefusal::kProgramFolder},  // a link into the program folder
  };
  return paths;
}

constexpr std::string_view kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr std::string_view kImageFileOptions =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";

struct HostileKey {
  std::string root;
  std::string key;
  std::string value;
};

std::vector<HostileKey> HostileKeys() {
  const auto root = [](machine::RegHandle handle) { return std::to_string(handle); };
  return {
      {root(kHkeyCurrentUser), "", ""},
      {root(kHkeyCurrentUser), "   ", ""},
      {root(kHkeyCurrentUser), "", "Keep"},
      {root(kHkeyLocalMachine), "Software\\Microsoft\\Windows\\CurrentVersion\\Run", ""},
      {root(kHkeyCurrentUser), " software\\MICROSOFT\\windows\\currentversion\\run\\ ", ""},
      {root(kHkeyLocalMachine), "Software", ""},
      {root(kHkeyLocalMachine), "SOFTWARE\\Microsoft", ""},
      {root(kHkeyLocalMachine), "Software\\Classes", ""},
      {root(kHkeyLocalMachine), "System\\CurrentControlSet", ""},
      {root(kHkeyLocalMachine), "\\System\\\\CurrentControlSet\\Services\\", ""},
      {root(kHkeyUsers), ".DEFAULT", ""},
      {root(kHkeyUsers), ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", ""},
      {root(kHkeyClassesRoot), "CLSID", ""},
      {"abc", "Software\\Keep", ""},
      {"", "Software\\Keep", "v"},
      {"-2147483644", "Software\\Keep", ""},  // HKEY_PERFORMANCE_DATA is not held
      {"1.5", "Software\\Keep", ""},
      // Cut at the NUL, these would name HKCU\Software and the value Keep\v.
      {root(kHkeyCurrentUser), "Software\0evil"s, ""},
      {root(kHkeyCurrentUser), "Software\\Keep\0evil"s, "v"},
      {root(kHkeyCurrentUser), "Software\\Keep", "v\0evil"s},
      // Keys and values the system cannot start or run programs without.
      {root(kHkeyClassesRoot), "exefile", ""},
      {root(kHkeyClassesRoot), "exefile\\shell\\open\\command", ""},
      {root(kHkeyClassesRoot), ".exe", ""},
      {root(kHkeyClassesRoot), "*", ""},
      {root(kHkeyClassesRoot), "Directory", ""},
      {root(kHkeyLocalMachine), "Software\\Classes\\exefile", ""},
      {root(kHkeyLocalMachine), "System\\ControlSet001", ""},
      {root(kHkeyLocalMachine), "SYSTEM\\controlset002\\Services", ""},
      {root(kHkeyLocalMachine), "SAM", ""},
      {root(kHkeyLocalMachine), "Security", ""},
      {root(kHkeyLocalMachine), "Hardware", ""},
      {root(kHkeyLocalMachine), "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", ""},
      {root(kHkeyLocalMachine), std::string(kImageFileOptions), ""},
      {root(kHkeyLocalMachine), std::string(kWinlogon), "Shell"},
      {root(kHkeyLocalMachine), std::string(kWinlogon), " userinit "},
  };
}

constexpr const char* kSystemKeys =
    "REGEDIT4\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
    "\"System\"=\"C:\\\\WINDOWS\\\\system.exe\"\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
    "\"Keep\"=\"C:\\\\keep.exe\"\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{00000000-0000-0000-0000-000000000001}]\n"
    "@=\"class\"\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Disk]\n"
    "\"Start\"=dword:00000000\n"
    "[HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
    "\"x\"=\"y\"\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-000000000002}]\n"
    "[HKEY_CURRENT_USER\\Software\\Keep]\n"
    "\"v\"=\"keep\"\n"
    "[HKEY_CLASSES_ROOT\\exefile\\shell\\open\\command]\n"
    "@=\"\\\"%1\\\" %*\"\n"
    "[HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers]\n"
    "[HKEY_LOCAL_MACHINE\\System\\ControlSet001\\Services\\Disk]\n"
    "[HKEY_LOCAL_MACHINE\\SAM\\SAM]\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\"
    "Image File Execution Options\\keep.exe]\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon]\n"
    "\"Shell\"=\"Explorer.exe\"\n"
    "\"Userinit\"=\"C:\\\\WINDOWS\\\\system32\\\\userinit.exe,\"\n";

constexpr const char* kThreatKeys =
    "REGEDIT4\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
    "\"FunnyCursor\"=\"C:\\\\fc.exe\"\n"
    "[HKEY_CURRENT_USER\\Software\\Nameless Tracker Demo]\n"
    "\"a\"=\"b\"\n";

TEST(HostileDefinitionsTest, GuardRefusesEachPathForItsReason) {
  RemovalFixture f;
  f.temp.WriteFile(f.program_folder() + "\\FileDefinition.dat", "defs");
  std::filesystem::create_directory_symlink(f.temp.host("C:\\WINDOWS"),
                                            f.temp.host("C:\\shortcut"));
  std::filesystem::create_symlink(f.temp.host(f.program_folder() + "\\FileDefinition.dat"),
                                  f.temp.host("C:\\innocent.dat"));
  const removal::PathGuard guard(f.app().system);
  for (const auto& [path, reason] : HostilePaths()) {
    EXPECT_EQ(removal::DescribeRefusal(guard.Check(path)), removal::DescribeRefusal(reason))
        << path;
  }
  for (const char* allowed :
       {"C:\\evil\\bad.dat", "C:\\WINDOWS\\system32\\evil.dll", "C:\\Program Files\\Acme",
        "C:\\Documents and Settings\\Owner\\Cookies\\a.txt", "C:\\walltheme.ini",
        "C:\\evil\\name with dots...x", "C:\\Program Files\\Hearthguard2\\x.dat"}) {
    EXPECT_TRUE(guard.Allows(allowed)) << allowed;
  }
  for (const HostileKey& key : HostileKeys()) {
    double number = 0;
    if (!machine::ParseNumber(key.root, number) || number != static_cast<int32_t>(number))
      continue;
    const auto root = static_cast<int32_t>(number);
    EXPECT_FALSE(key.value.empty() ? removal::IsDeletableRegistryKey(root, key.key)
                                   : removal::IsDeletableRegistryValue(root, key.key, key.value))
        << key.root << " " << key.key << " " << key.value;
  }
  EXPECT_TRUE(removal::IsDeletableRegistryKey(kHkeyCurrentUser, "Software\\Acme"));
  EXPECT_TRUE(removal::IsDeletableRegistryKey(kHkeyLocalMachine, "Software\\Classes\\CLSID\\{x}"));
  EXPECT_TRUE(removal::IsDeletableRegistryKey(kHkeyUsers, "S-1-5-21\\Software\\Acme"));
  // What lies below a protected key, and the values of the Run keys, stay removable.
  struct Allowed {
    machine::RegHandle root;
    std::string key;
    std::string value;
  };
  const Allowed allowed[] = {
      {kHkeyLocalMachine, std::string(kImageFileOptions) + "\\evil.exe", ""},
      {kHkeyLocalMachine, "System\\ControlSet001\\Services\\AcmeDriver", ""},
      {kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Acme"},
      {kHkeyLocalMachine, std::string(kWinlogon), "AcmeNotify"},
  };
  for (const Allowed& a : allowed) {
    EXPECT_TRUE(a.value.empty() ? removal::IsDeletableRegistryKey(a.root, a.key)
                                : removal::IsDeletableRegistryValue(a.root, a.key, a.value))
        << a.key << " " << a.value;
  }
}

// Drives mapped inside another, as SUBST maps them: D: over C:\Program Files, E: over C:\WINDOWS.
TEST(HostileDefinitionsTest, GuardComparesFilesNotNames) {
  RemovalFixture f([](hg_test::TempMachine& temp) {
    for (const auto& [letter, folder] :
         {std::pair{'D', "C:\\Program Files"}, {'E', "C:\\WINDOWS"}}) {
      machine::Drive drive;
      drive.letter = letter;
      drive.host_root = temp.host(folder);
      temp.profile().drives.push_back(drive);
    }
  });
  f.WriteProgramFile("ExeDefinition.dat", "definitions");
  f.temp.WriteFile("C:\\WINDOWS\\system32\\evil.dll", "evil");
  const removal::PathGuard guard(f.app().system);
  using removal::PathRefusal;
  for (const auto& [path, reason] : std::vector<std::pair<std::string, PathRefusal>>{
           {"D:\\Hearthguard\\ExeDefinition.dat", PathRefusal::kProgramFolder},
           {"D:\\Hearthguard", PathRefusal::kProgramFolder},
           {"E:\\system32", PathRefusal::kProtectedFolder},
           {"E:\\system32\\evil.dll", PathRefusal::kNone}}) {
    EXPECT_EQ(removal::DescribeRefusal(guard.Check(path)), removal::DescribeRefusal(reason))
        << path;
  }

  f.AddFile("D:\\Hearthguard\\ExeDefinition.dat", "Hostile");
  EXPECT_EQ(f.BothPasses().refused, 1);
  EXPECT_EQ(f.Read(f.program_folder() + "\\ExeDefinition.dat"), "definitions");
}

TEST(HostileDefinitionsTest, OnlyThePlantedThreatsChange) {
  RemovalFixture f;
  const std::string program = f.program_folder();
  f.temp.WriteFile(program + "\\FileDefinition.dat", "defs");
  f.temp.WriteFile(program + "\\helper.dll", "helper");
  f.temp.WriteFile("C:\\WINDOWS\\win.ini", "[windows]");
  f.temp.WriteFile("C:\\WINDOWS\\system32\\kernel32.dll", "kernel");
  f.temp.WriteFile(std::string(kCookies) + "\\owner@good[1].txt", "good cookie");
  f.temp.WriteFile("C:\\good\\evil.exe", "not the threat");
  std::filesystem::create_directory_symlink(f.temp.host("C:\\WINDOWS"),
                                            f.temp.host("C:\\shortcut"));
  std::filesystem::create_symlink(f.temp.host(program + "\\FileDefinition.dat"),
                                  f.temp.host("C:\\innocent.dat"));
  hg_test::TestProcess own(f.temp.host(program + "\\hearthguard.exe"));
  ASSERT_GT(own.pid(), 0);
  f.Import(kSystemKeys);

  const std::filesystem::path drive = f.temp.host("C:\\");
  const std::string quarantine =
      std::filesystem::relative(f.temp.host(f.quarantine()), drive).string();
  const TreeSnapshot tree_before = SnapshotTree(drive);
  const HiveSnapshot hives_before = SnapshotHives(f.registry());

  // The threats, each with its threat row.
  f.temp.WriteFile("C:\\evil\\bad.dat", "bad");
  f.temp.WriteFile("C:\\evil\\hook.dll", "hook");
  f.temp.WriteFile("C:\\Program Files\\Acme SearchBar\\acmebar.ini", "acme");
  f.temp.WriteFile(kCookie, "bad cookie");
  hg_test::TestProcess evil(f.temp.host("C:\\evil\\evil.exe"));
  ASSERT_GT(evil.pid(), 0);
  f.Import(kThreatKeys);
  f.AddThreat("Bad", "C:\\evil\\bad.dat");
  f.AddThreat("Acme", "C:\\Program Files\\Acme SearchBar", ThreatIconKind::kFolder);
  f.AddThreat("Cookie: owner@bad[1].txt", kCookie, ThreatIconKind::kCookie);
  f.AddThreat("Hostile", "C:\\");
  f.AddFile("C:\\evil\\bad.dat", "Bad");
  f.AddFile("C:\\evil\\hook.dll", "Bad");
  f.AddFile("C:\\evil\\evil.exe", "Bad");
  f.AddFile("C:\\Program Files\\Acme SearchBar", "Acme");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                "FunnyCursor", "Bad");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Nameless Tracker Demo", "", "Bad");
  f.AddCookie(kCookie);

  // The hostile rows, all checked.
  for (const auto& [path, reason] : HostilePaths())
    f.AddFile(path, "Hostile");
  for (const HostileKey& key : HostileKeys())
    f.AddRegistryText(key.root, key.key, key.value, "Hostile");
  for (const char* cookie : {kCookies, "C:\\Documents and Settings\\Owner\\Cookies\\",
                             "C:\\Program Files\\Hearthguard\\FileDefinition.dat", "C:\\"}) {
    f.AddCookie(cookie);
  }
  ASSERT_GE(HostilePaths().size() + HostileKeys().size(), 20u);

  const removal::RemovalPassResult result = f.BothPasses();
  EXPECT_EQ(result.removed, 7);

  // Nothing changed outside the threats and the quarantine folder.
  TreeSnapshot tree_after = SnapshotTree(drive);
  std::erase_if(tree_after, [&](const auto& entry) { return entry.first.starts_with(quarantine); });
  TreeSnapshot tree_expected = tree_before;
  std::erase_if(tree_expected,
                [&](const auto& entry) { return entry.first.starts_with(quarantine); });
  tree_expected["evil"] = "dir";  // the threats' folder stays, empty
  EXPECT_EQ(tree_after, tree_expected);
  EXPECT_EQ(SnapshotHives(f.registry()), hives_before);

  // The threats are in the quarantine, logged; the program's own process still runs.
  const std::string q = f.quarantine();
  for (const char* name : {"bad.dat", "hook.dll", "evil.exe", "owner@bad[1].txt"})
    EXPECT_TRUE(f.files().Attributes(q + "\\" + name)) << name;
  EXPECT_EQ(f.Read(q + "\\Acme SearchBar\\acmebar.ini"), "acme");
  EXPECT_TRUE(evil.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(own.pid()));
  for (const auto& call : f.app().system.register_server_log.calls())
    EXPECT_EQ(call.library_path, "C:\\evil\\hook.dll");
  EXPECT_EQ(f.Log().find("Hostile"), std::string::npos);
  EXPECT_EQ(f.Log().find("Hearthguard"), std::string::npos);

  // Every hostile row counts as not removed: unchecked, the files and cookies listed.
  const int threats = 4;
  for (size_t i = 0; i < HostilePaths().size(); ++i)
    EXPECT_FALSE(f.FileRowChecked(threats + static_cast<int>(i))) << HostilePaths()[i].first;
  for (size_t i = 0; i < HostileKeys().size(); ++i)
    EXPECT_FALSE(f.main().lvwRegistryToBeDeleted.Item(2 + static_cast<int>(i)).checked) << i;
  EXPECT_FALSE(f.ThreatRowChecked(3));
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(f.ThreatRowChecked(i)) << i;
  EXPECT_EQ(f.Problems().size(), HostilePaths().size() + 4);
}

}  // namespace
}  // namespace removal_test
