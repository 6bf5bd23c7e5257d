// Removal of checked items: progress display, the ways by kind (libraries unregistered first,
// programs ended only when they run from that very file), what survives, and lists that change
// while the removal yields.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "locked_path.h"
#include "machine/processes.h"
#include "removal/kill_process.h"
#include "removal_fixture.h"
#include "services/registry_related.h"
#include "support/planted_scan.h"
#include "support/test_process.h"

namespace removal_test {
namespace {

using machine::kHkeyCurrentUser;
using machine::kHkeyLocalMachine;
using model::ThreatIconKind;

TEST(RemovalTest, PercentageAndBarFollowTheRows) {
  RemovalFixture f;
  f.AddThreat("Eight", "C:\\evil\\f0.dat");
  for (int i = 0; i < 8; ++i) {
    const std::string path = "C:\\evil\\F" + std::to_string(i) + ".dat";
    f.temp.WriteFile(path, "x");
    f.AddFile(path, "Eight");
  }
  f.Import("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Acme]\n\"v\"=\"1\"\n");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Acme", "V", "Eight");

  std::vector<std::string> labels;
  std::vector<double> positions;
  std::vector<std::string> captions;
  hg_test::YieldProbe probe(f.backend, [&](int) {
    labels.push_back(f.main().lblDeletingPercentageCompleted.Caption());
    positions.push_back(f.main().pgbDeleteSpywaresFound.Value());
    captions.push_back(f.main().lblDeletingCaption.Caption());
  });
  f.Pass(true);
  probe.Stop();

  EXPECT_EQ(labels,
            (std::vector<std::string>{"Removing : 12% Completed.", "Removing : 25% Completed.",
                                      "Removing : 38% Completed.", "Removing : 50% Completed.",
                                      "Removing : 62% Completed.", "Removing : 75% Completed.",
                                      "Removing : 88% Completed.", "Removing : 100% Completed.",
                                      "Removing : 100% Completed."}));
  EXPECT_EQ(positions, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(f.main().pgbDeleteSpywaresFound.Max(), 9);
  EXPECT_EQ(captions.front(), "c:\\evil\\f0.dat");
  EXPECT_EQ(captions.back(), "software\\acme\\v");
  EXPECT_TRUE(f.main().pgbDeleteSpywaresFound.Visible());
  EXPECT_TRUE(f.main().lblDeletingPercentageCompleted.Visible());
}

TEST(RemovalTest, EmptyThreatListSkipsTheProgressButStillRemoves) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\a.dat", "a");
  f.AddFile("C:\\evil\\a.dat", "A");
  EXPECT_EQ(f.BothPasses().removed, 1);
  EXPECT_FALSE(f.main().pgbDeleteSpywaresFound.Visible());
  EXPECT_FALSE(f.main().lblDeletingPercentageCompleted.Visible());
  EXPECT_FALSE(f.files().Attributes("C:\\evil\\a.dat"));
}

TEST(RemovalTest, LibraryIsUnregisteredAndQuarantined) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\hook.dll", "dll");
  f.AddThreat("Hook", "C:\\evil\\hook.dll");
  f.AddFile("C:\\evil\\hook.dll", "Hook");
  f.Pass(true);
  const auto& calls = f.app().system.register_server_log.calls();
  ASSERT_EQ(calls.size(), 2u);
  for (const auto& call : calls) {
    EXPECT_EQ(call.library_path, "C:\\evil\\hook.dll");
    EXPECT_FALSE(call.register_server);
  }
  EXPECT_FALSE(f.files().Attributes("C:\\evil\\hook.dll"));
  EXPECT_EQ(f.Read(f.quarantine() + "\\hook.dll"), "dll");
  // One move, one entry, although the folder routine runs on the same path afterwards.
  EXPECT_EQ(f.Log(), std::string(kStamp) +
                         " - File: hook.dll\r\n - Location: C:\\evil\\hook.dll\r\n\r\n\r\n");
}

TEST(RemovalTest, ProgramsAreEndedOnlyWhenTheyRunFromThatFile) {
  RemovalFixture f;
  hg_test::TestProcess bad(f.temp.host("C:\\evil\\evil.exe"));
  hg_test::TestProcess same_name(f.temp.host("C:\\good\\EVIL.EXE"));
  ASSERT_GT(bad.pid(), 0);
  ASSERT_GT(same_name.pid(), 0);
  f.AddThreat("Evil", "C:\\evil\\evil.exe");
  f.AddFile("C:\\EVIL\\Evil.exe", "Evil");

  EXPECT_EQ(f.BothPasses().removed, 1);
  EXPECT_TRUE(bad.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(same_name.pid()));
  EXPECT_FALSE(f.files().Attributes("C:\\evil\\evil.exe"));
  EXPECT_TRUE(f.files().Attributes("C:\\good\\EVIL.EXE"));
  EXPECT_TRUE(f.files().Attributes(f.quarantine() + "\\Evil.exe"));
  EXPECT_TRUE(f.Problems().empty());
}

TEST(RemovalTest, KillByNameEndsEveryMatchingProgram) {
  RemovalFixture f;
  hg_test::TestProcess first(f.temp.host("C:\\a\\NOTEPAD.EXE"));
  hg_test::TestProcess second(f.temp.host("C:\\b\\notepad.exe"));
  hg_test::TestProcess other(f.temp.host("C:\\b\\notepad2.exe"));
  ASSERT_GT(first.pid(), 0);
  ASSERT_GT(second.pid(), 0);
  ASSERT_GT(other.pid(), 0);

  EXPECT_TRUE(f.app().hooks.KillProcessByExeName("notepad.exe"));
  EXPECT_TRUE(first.WaitKilled());
  EXPECT_TRUE(second.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(other.pid()));
  // Nothing of that name runs any more: nothing to end, and that is success.
  EXPECT_TRUE(removal::KillProcessByExeName(f.app(), "notepad.exe"));
  EXPECT_TRUE(removal::KillProcessByExeName(f.app(), "  "));
}

TEST(RemovalTest, KillByNameMatchesShortAndLongNames) {
  RemovalFixture f;
  hg_test::TestProcess short_listed(f.temp.host("C:\\x\\VERYLO~1.EXE"));
  hg_test::TestProcess long_listed(f.temp.host("C:\\x\\averyveryverylongname.exe"));
  ASSERT_GT(short_listed.pid(), 0);
  ASSERT_GT(long_listed.pid(), 0);
  EXPECT_TRUE(removal::KillProcessByExeName(f.app(), "verylongname.exe"));
  EXPECT_TRUE(short_listed.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(long_listed.pid()));
  EXPECT_TRUE(removal::KillProcessByExeName(f.app(), "AVERYVERYVERYLONGNAME.EXE"));
  EXPECT_TRUE(long_listed.WaitKilled());
}

TEST(RemovalTest, KillByNameNeverEndsTheProgramsOwnFolder) {
  RemovalFixture f;
  hg_test::TestProcess own(f.temp.host(f.program_folder() + "\\hearthguard.exe"));
  ASSERT_GT(own.pid(), 0);
  EXPECT_FALSE(removal::KillProcessByExeName(f.app(), "hearthguard.exe"));
  EXPECT_TRUE(hg_test::IsAlive(own.pid()));
}

// The host's processes, except that the privilege needed to end one cannot be raised the
// first few times it is asked for.
class StubbornPrivilege final : public machine::ProcessTable {
 public:
  explicit StubbornPrivilege(int refusals) : refusals_(refusals) {}
  void Use(machine::ProcessTable& real) { real_ = &real; }
  int asked() const { return asked_; }

  bool EnumProcesses(std::span<uint32_t> ids, size_t& written) const override {
    return real_->EnumProcesses(ids, written);
  }
  std::unique_ptr<machine::OpenedProcess> OpenProcess(uint32_t id) const override {
    return real_->OpenProcess(id);
  }
  std::optional<std::vector<machine::ProcessSnapshotEntry>> Snapshot() const override {
    return real_->Snapshot();
  }
  bool EnablePrivilege(std::string_view name) override {
    return ++asked_ > refusals_ && real_->EnablePrivilege(name);
  }
  bool DisablePrivilege(std::string_view name) override { return real_->DisablePrivilege(name); }

 private:
  machine::ProcessTable* real_ = nullptr;
  int refusals_;
  int asked_ = 0;
};

TEST(RemovalTest, EndingAProgramYieldsBetweenAttempts) {
  machine::MachineParts parts;
  auto stubborn = std::make_unique<StubbornPrivilege>(3);
  StubbornPrivilege& table = *stubborn;
  parts.processes = std::move(stubborn);
  hg_test::AppFixture f({}, hg_test::TestVersionInfo(), std::move(parts));
  machine::ProcfsProcessTable real(f.machine().files());
  table.Use(real);
  hg_test::TestProcess bad(f.temp.host("C:\\evil\\evil.exe"));
  ASSERT_GT(bad.pid(), 0);

  // What the window saw of the attempts at each of its yields.
  std::set<int> attempts_seen;
  hg_test::YieldProbe probe(f.backend, [&](int) { attempts_seen.insert(table.asked()); });
  EXPECT_TRUE(removal::KillProcessByExeName(f.app(), "evil.exe"));
  probe.Stop();

  EXPECT_TRUE(bad.WaitKilled());
  EXPECT_EQ(table.asked(), 4);
  for (int attempt : {1, 2, 3})
    EXPECT_TRUE(attempts_seen.contains(attempt)) << "no yield after attempt " << attempt;
}

TEST(RemovalTest, NameRules) {
  struct Case {
    const char* name;
    const char* reduced;
  };
  for (const Case& c : {Case{"notepad.exe", "NOTEPAD"}, Case{"NoDot", "NoDot"},
                        Case{"verylongname.exe", "verylongname.ex"}, Case{"a.b.c", "A"},
                        Case{"exactly15chars.", "EXACTLY15CHARS"}}) {
    EXPECT_EQ(removal::ReduceProcessName(c.name), c.reduced) << c.name;
  }
  EXPECT_EQ(removal::ShortExeName("VeryLongName.exe"), "VERYLO~1");
  EXPECT_EQ(removal::ShortExeName("a.EXE.exe"), "A~1");
  EXPECT_EQ(removal::ShortExeName("tool"), "TOOL~1");
}

TEST(RemovalTest, FileLockedThroughBothPassesIsListedOnce) {
  RemovalFixture f;
  f.temp.WriteFile("C:\\evil\\stuck.dat", "stuck");
  f.temp.WriteFile("C:\\evil\\gone.dat", "gone");
  f.AddThreat("Stuck", "C:\\evil\\stuck.dat");
  f.AddThreat("Gone", "C:\\evil\\gone.dat");
  f.AddFile("C:\\evil\\stuck.dat", "Stuck");
  f.AddFile("C:\\evil\\gone.dat", "Gone");
  f.AddFile("C:\\evil\\stuck.dat", "Stuck", false);
  LockedPath lock(f.temp.host("C:\\evil\\stuck.dat"));
  if (!lock.ok())
    GTEST_SKIP() << "no way to keep a file from being deleted here";

  const removal::RemovalPassResult result = f.BothPasses();
  EXPECT_EQ(result.removed, 1);
  EXPECT_EQ(result.leftovers, 1);
  EXPECT_EQ(f.Problems(), std::vector<std::string>{"C:\\evil\\stuck.dat"});
  EXPECT_FALSE(f.FileRowChecked(0));
  EXPECT_FALSE(f.ThreatRowChecked(0));
  EXPECT_TRUE(f.FileRowChecked(1));
  EXPECT_TRUE(f.ThreatRowChecked(1));
  EXPECT_TRUE(f.app().frmDelete.Peek().Visible());
}

TEST(RemovalTest, RegistryEntriesThatSurviveStayListedAndUnchecked) {
  RemovalFixture f;
  f.Import(
      "REGEDIT4\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{0}]\n"
      "[HKEY_CURRENT_USER\\Software\\Bad]\n");
  f.AddThreat("Protected", "Software\\Classes", ThreatIconKind::kRegistry);
  f.AddThreat("Bad", "Software\\Bad", ThreatIconKind::kRegistry);
  f.AddRegistry(kHkeyLocalMachine, "Software\\Classes", "", "Protected");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Bad", "", "Bad");
  f.AddRegistry(kHkeyCurrentUser, "Software\\Never There", "", "Bad");

  const removal::RemovalPassResult result = f.BothPasses();
  EXPECT_EQ(result.removed, 1);
  EXPECT_EQ(result.refused, 1);
  EXPECT_EQ(result.leftovers, 1);
  const forms::ListView& rows = f.main().lvwRegistryToBeDeleted;
  EXPECT_FALSE(rows.Item(0).checked);
  EXPECT_TRUE(rows.Item(1).checked);
  EXPECT_TRUE(rows.Item(2).checked);
  EXPECT_FALSE(f.ThreatRowChecked(0));
  EXPECT_TRUE(f.ThreatRowChecked(1));
  EXPECT_TRUE(services::RegistryKeyExists(f.app().system, kHkeyLocalMachine,
                                          "Software\\Classes\\CLSID\\{0}"));
  // Registry entries are not files: the delete-failed window is not for them.
  EXPECT_FALSE(f.app().frmDelete.Loaded());
}

TEST(RemovalTest, RowsThatGoDuringAYieldAreNotTouched) {
  RemovalFixture f;
  for (const char* name : {"a", "b", "c"}) {
    const std::string path = std::string("C:\\evil\\") + name + ".dat";
    f.temp.WriteFile(path, name);
    f.AddFile(path, "T");
  }
  f.temp.WriteFile("C:\\evil\\k.txt", "k");
  f.AddCookie("C:\\evil\\k.txt");
  // The user deletes every row while the first row's removal yields.
  f.backend.AtYield(1, "clear", [&] {
    f.main().lvwFilesToBeDeleted.Clear();
    f.main().lvwCookiesToDelete.Clear();
  });
  EXPECT_EQ(f.BothPasses().removed, 1);
  EXPECT_FALSE(f.files().Attributes("C:\\evil\\a.dat"));
  EXPECT_EQ(f.Read("C:\\evil\\b.dat"), "b");
  EXPECT_EQ(f.Read("C:\\evil\\k.txt"), "k");
}

TEST(RemovalTest, FolderSwappedForALinkDuringThePassIsJudgedWhereItIsThen) {
  RemovalFixture f;
  f.WriteProgramFile("ExeDefinition.dat", "definitions");
  f.temp.WriteFile("C:\\evil\\a.dat", "a");
  f.AddFile("C:\\evil\\a.dat", "T");
  f.AddFile("C:\\evil\\ExeDefinition.dat", "T");
  // Once the first row is done, its folder is swapped for a link to the program folder.
  f.backend.AtYield(1, "swap", [&] {
    std::filesystem::rename(f.temp.host("C:\\evil"), f.temp.host("C:\\old"));
    std::filesystem::create_directory_symlink(f.temp.host(f.program_folder()),
                                              f.temp.host("C:\\evil"));
  });
  const removal::RemovalPassResult result = f.Pass(true);
  EXPECT_EQ(result.removed, 1);
  EXPECT_EQ(result.refused, 1);
  EXPECT_EQ(f.Read(f.program_folder() + "\\ExeDefinition.dat"), "definitions");
  EXPECT_FALSE(f.files().Attributes(f.quarantine() + "\\ExeDefinition.dat"));
}

}  // namespace
}  // namespace removal_test
