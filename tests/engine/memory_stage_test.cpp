#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/encoded_process_list.h"
#include "engine/scan/inspect_memory.h"
#include "engine/scan/memory_stage_nt.h"
#include "engine/scan/system32_path.h"
#include "machine/text.h"
#include "model/result_rows.h"
#include "services/processes.h"
#include "services/prompts.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "support/test_process.h"
#include "support/unkillable_table.h"
#include "version_resource.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using model::ThreatIconKind;

const std::string kProgramFolder = "C:\\Program Files\\Hearthguard\\";

machine::MachineParts ProgramParts(bool unkillable) {
  machine::MachineParts parts;
  if (unkillable)
    parts.processes = std::make_unique<hg_test::UnkillableTable>();
  return parts;
}

// An application on a fresh machine of the given family, optionally with unkillable programs.
class ProgramsApp : public hg_test::AppFixture {
 public:
  explicit ProgramsApp(machine::OsFamily family, bool unkillable = false)
      : AppFixture([family](hg_test::TempMachine& temp) { temp.profile().os_family = family; },
                   hg_test::TestVersionInfo(), ProgramParts(unkillable)) {
    if (auto* table = dynamic_cast<hg_test::UnkillableTable*>(&machine().processes()))
      table->SetInner(std::make_unique<machine::ProcfsProcessTable>(machine().files()));
  }
};

// The sleeper with a version block naming `company` after its code, started from `host_path`.
// (TestProcess starts the plain sleeper, which names no company.)
class CompanyProgram {
 public:
  CompanyProgram(const fs::path& host_path, std::string_view company) {
    fs::create_directories(host_path.parent_path());
    {
      std::ifstream in(HG_TEST_SLEEPER, std::ios::binary);
      std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
      out << in.rdbuf() << hg_test::FileWithCompany(company);
    }
    fs::permissions(host_path, fs::perms::owner_all, fs::perm_options::replace);
    const std::string program = host_path.string();
    std::string lifetime = "30";
    char* argv[] = {const_cast<char*>(program.c_str()), lifetime.data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
      ADD_FAILURE() << "cannot start " << program;
      pid_ = 0;
      return;
    }
    const fs::path exe = fs::canonical(host_path);
    for (int tries = 0; tries < 10000; ++tries) {
      std::error_code error;
      if (fs::read_symlink("/proc/" + std::to_string(pid_) + "/exe", error) == exe)
        return;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ADD_FAILURE() << program << " did not start";
  }
  ~CompanyProgram() {
    if (pid_ <= 0)
      return;
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = 0;
};

std::string Encoded(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += services::EncodeText(line) + "\r\n";
  return text;
}

void WriteExeDefinitions(model::App& app, const hg_test::TempMachine& temp,
                         const std::vector<std::string>& lines) {
  temp.WriteFile(kProgramFolder + "ExeDefinition.dat", Encoded(lines));
  app.definitions.lngExeDefinitionCount = static_cast<int32_t>(lines.size());
  app.definitions.lngTotalDefinitions = static_cast<int32_t>(lines.size());
}

// Makes the main window look as it does while a scan runs (or not).
void SetScanRunning(model::App& app, bool running) {
  app.frmMain.cmdScan.SetEnabled(!running);
  app.frmMain.cmdScanNow.SetEnabled(!running);
  app.scan.strScanPhaseCaption = "Inspecting Memory: ";
}

// The scan log, sorted: rows of several programs come in process-id order.
std::vector<std::pair<std::string, ThreatIconKind>> SortedLog(model::App& app) {
  std::vector<std::pair<std::string, ThreatIconKind>> rows;
  model::RowView<model::ScanLogRow> log(app.frmMain.lvwSpywareFound);
  for (int i = 0; i < log.Count(); ++i)
    rows.emplace_back(log[i].message, log[i].icon);
  std::sort(rows.begin(), rows.end());
  return rows;
}

int32_t ListedProcessCount(model::App& app, bool use_enumeration) {
  std::vector<std::string> names;
  std::vector<uint32_t> ids;
  return services::GetProcessList(app.system, names, ids, "", use_enumeration);
}

TEST(MemoryStageTest, ExeDefinitionPath) {
  hg_test::AppFixture fixture;
  struct Case {
    const char* line;
    std::optional<std::string> path;
  };
  const Case cases[] = {
      {"evil.exe=Evil|[progfil]\\Evil Co", "C:\\Program Files\\Evil Co\\evil.exe"},
      {"evil.exe=Evil|[WINDIR]|Dialer", "C:\\WINDOWS\\evil.exe"},
      {"evil.exe=Evil|[system]", "C:\\WINDOWS\\system32\\evil.exe"},
      {"evil.exe=Evil|[windir]\\Sub", "C:\\WINDOWS\\Sub\\evil.exe"},
      // Without "|" the text after "=" is the folder: a threat name names no folder.
      {"evil.exe=Evil", std::nullopt},
      {"evil.exe=C:\\Tools", "C:\\Tools\\evil.exe"},
      {"evil.exe=", std::nullopt},
      {"evil.exe|[windir]", std::nullopt},
      {"evil.exe", std::nullopt},
      // A token with no folder here would leave a path naming something else.
      {"evil.exe=Evil|[recycle][windir]", std::nullopt},
      // The rest ends at a second "=", and "|" inside it splits off the threat name.
      {"evil.exe=T=U|[windir]", std::nullopt},
      {"evil.exe=Evil|[windir]=More", "C:\\WINDOWS\\evil.exe"},
      {"evil.exe=Evil|[windir]|Type=More", "C:\\WINDOWS\\evil.exe"},
      {"evil.exe=Evil|Relative\\Folder", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(engine::ExeDefinitionPath(fixture.app(), c.line), c.path) << c.line;
}

TEST(MemoryStageTest, ExpandSystem32Path) {
  hg_test::AppFixture fixture;
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\WINNT\\SYSTEM32\\DRIVERS\\X.SYS", "C:\\WINDOWS\\system32\\DRIVERS\\X.SYS"},
      {"\\SystemRoot\\System32\\smss.exe ", "C:\\WINDOWS\\system32\\SMSS.EXE"},
      {"C:\\A\\system32\\B\\System32\\c.exe", "C:\\WINDOWS\\system32\\C.EXE"},
      {"C:\\Other\\Mixed.exe", "C:\\Other\\Mixed.exe"},
      {"C:\\SYSTEM32", "C:\\SYSTEM32"},
  };
  for (const auto& [path, expected] : cases)
    EXPECT_EQ(engine::ExpandSystem32Path(fixture.app(), path), expected) << path;
}

TEST(MemoryStageTest, NtScanEndsMatchingProgramsOnly) {
  ProgramsApp fixture(machine::OsFamily::kNt);
  model::App& app = fixture.app();
  const hg_test::TempMachine& temp = fixture.temp;
  temp.WriteFile(kProgramFolder + "ENoSignature.txt", "excl.exe\r\n");
  engine::LoadIgnoreList(app);
  WriteExeDefinitions(app, temp,
                      {
                          "evilapp.exe=Evil|[progfil]\\Evil Co",
                          "SYSEVIL.EXE=Sys Evil|[system]",
                          "msapp.exe=Fake|[progfil]\\MS",
                          "excl.exe=Excluded|[progfil]\\Excl",
                          "VereveDedodurAvodiz.exe=Companion|[progfil]\\Hearthguard",
                          "a line without an equals sign",
                      });

  hg_test::TestProcess evil(temp.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
  hg_test::TestProcess elsewhere(temp.host("C:\\Other\\EVILAPP.EXE"));
  hg_test::TestProcess system_folder(temp.host("C:\\WINDOWS\\system32\\sysevil.exe"));
  CompanyProgram microsoft(temp.host("C:\\Program Files\\MS\\msapp.exe"),
                           " microsoft CORPORATION ");
  hg_test::TestProcess excluded(temp.host("C:\\Program Files\\Excl\\excl.exe"));
  hg_test::TestProcess companion(
      temp.host("C:\\Program Files\\Hearthguard\\VereveDedodurAvodiz.exe"));
  const int32_t listed = ListedProcessCount(app, false);

  SetScanRunning(app, true);
  app.frmMain.lblTotalNoOfRunningItems.SetCaption("0");
  engine::InspectMemory(app);

  EXPECT_TRUE(evil.WaitKilled());
  EXPECT_TRUE(system_folder.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(elsewhere.pid()));
  EXPECT_TRUE(hg_test::IsAlive(microsoft.pid()));
  EXPECT_TRUE(hg_test::IsAlive(excluded.pid()));
  EXPECT_TRUE(hg_test::IsAlive(companion.pid()));

  const std::vector<std::pair<std::string, ThreatIconKind>> expected = {
      {"Detected in the memory : EVILAPP.EXE was stopped from running.", ThreatIconKind::kFile},
      {"Detected in the memory : SYSEVIL.EXE was stopped from running.", ThreatIconKind::kFile},
      {"EXCLUDED: EXCL.EXE", ThreatIconKind::kExcluded},
  };
  EXPECT_EQ(SortedLog(app), expected);
  EXPECT_EQ(app.scan.lngThreatsFound, 2);
  EXPECT_EQ(app.frmMain.lblTotalNoOfRunningItems.Caption(), std::to_string(listed));
  EXPECT_EQ(app.scan.lngMemoryItemsInspected, 6 + listed);
  EXPECT_EQ(machine::FindIgnoreCase(app.scan.strExeDefinitionPaths,
                                    "|C:\\PROGRAM FILES\\EVIL CO\\"
                                    "EVILAPP.EXE|"),
            0u);

  // The privilege is raised around each end and dropped again.
  const auto& changes =
      dynamic_cast<machine::ProcfsProcessTable&>(fixture.machine().processes()).privilege_changes();
  ASSERT_EQ(changes.size(), 4u);
  EXPECT_EQ(changes[0].name, "SeDebugPrivilege");
  EXPECT_TRUE(changes[0].enabled);
  EXPECT_FALSE(changes[1].enabled);
}

TEST(MemoryStageTest, NtOutsideAScanAlertsAndIgnoresAStaleStop) {
  ProgramsApp fixture(machine::OsFamily::kNt);
  model::App& app = fixture.app();
  const hg_test::TempMachine& temp = fixture.temp;
  temp.WriteFile(kProgramFolder + "ENoSignature.txt", "EXCL.EXE\r\n");
  engine::LoadIgnoreList(app);
  WriteExeDefinitions(app, temp,
                      {"evilapp.exe=Evil|[progfil]\\Evil Co", "excl.exe=Excluded|[progfil]\\Excl"});
  CompanyProgram evil(temp.host("C:\\Program Files\\Evil Co\\EvilApp.exe"), "Evil Co Inc");
  hg_test::TestProcess excluded(temp.host("C:\\Program Files\\Excl\\excl.exe"));

  // A scan cancelled earlier leaves the stop request set; the shield must still see.
  app.scan.bStopScan = true;
  SetScanRunning(app, false);
  std::vector<engine::DetectedProgram> alerts;
  engine::InspectMemory(
      app, [&](model::App&, const engine::DetectedProgram& program) { alerts.push_back(program); });

  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].file_name, "EVILAPP.EXE");
  EXPECT_EQ(alerts[0].path, "C:\\PROGRAM FILES\\EVIL CO\\EVILAPP.EXE");
  EXPECT_EQ(alerts[0].company_name, "Evil Co Inc");
  EXPECT_EQ(alerts[0].process_id, static_cast<uint32_t>(evil.pid()));
  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
  // No scan, so no rows: the shield would otherwise grow the scan log every ten seconds.
  EXPECT_EQ(app.frmMain.lvwSpywareFound.Count(), 0);
  EXPECT_EQ(app.scan.lngThreatsFound, 1);

  // The alert's STOP can end the program it was shown for.
  EXPECT_TRUE(engine::EndDetectedProgram(app, alerts[0]));
}

TEST(MemoryStageTest, NtOutsideAScanSeesAChangedDefinitionFile) {
  ProgramsApp fixture(machine::OsFamily::kNt);
  model::App& app = fixture.app();
  hg_test::TestProcess evil(fixture.temp.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
  SetScanRunning(app, false);
  int alerts = 0;
  const engine::DetectionAlert count = [&](model::App&, const engine::DetectedProgram&) {
    ++alerts;
  };
  // The same size, written at once: only the content tells the two apart.
  WriteExeDefinitions(app, fixture.temp, {"xvilapp.exe=Evil|[progfil]\\Evil Co"});
  engine::InspectMemory(app, count);
  WriteExeDefinitions(app, fixture.temp, {"evilapp.exe=Evil|[progfil]\\Evil Co"});
  engine::InspectMemory(app, count);
  EXPECT_EQ(alerts, 1);
}

TEST(MemoryStageTest, NtStopDuringAScanIsHonoured) {
  ProgramsApp fixture(machine::OsFamily::kNt);
  model::App& app = fixture.app();
  WriteExeDefinitions(app, fixture.temp,
                      {"other.exe=Other|[windir]", "evilapp.exe=Evil|[progfil]\\Evil Co"});
  hg_test::TestProcess evil(fixture.temp.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
  SetScanRunning(app, true);
  fixture.backend.AtYield(1, "stop", [&] { app.scan.bStopScan = true; });
  engine::InspectMemory(app);

  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
  EXPECT_EQ(app.scan.strExeDefinitionPaths, "");
  EXPECT_EQ(app.frmMain.lvwSpywareFound.Count(), 0);
  EXPECT_EQ(app.scan.lngThreatsFound, 0);
  // One definition line, then the walk's first process, which sees the stop.
  EXPECT_EQ(app.scan.lngMemoryItemsInspected, 2);
}

TEST(MemoryStageTest, ProgramThatSurvivesIsNotClaimedStopped) {
  for (const machine::OsFamily family : {machine::OsFamily::kNt, machine::OsFamily::kWin9x}) {
    ProgramsApp fixture(family, /*unkillable=*/true);
    model::App& app = fixture.app();
    WriteExeDefinitions(app, fixture.temp, {"evilapp.exe=Evil|[progfil]\\Evil Co"});
    hg_test::TestProcess evil(fixture.temp.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
    SetScanRunning(app, true);
    engine::InspectMemory(app);

    EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
    const std::vector<std::pair<std::string, ThreatIconKind>> expected = {
        {"Detected in the memory : EVILAPP.EXE could not be stopped.", ThreatIconKind::kFile}};
    EXPECT_EQ(SortedLog(app), expected);
    EXPECT_EQ(app.scan.lngThreatsFound, 1);
  }
}

TEST(MemoryStageTest, TerminateProcessByIdEndsOnlyTheMatchedExecutable) {
  ProgramsApp fixture(machine::OsFamily::kWin9x);
  model::App& app = fixture.app();
  hg_test::TestProcess evil(fixture.temp.host("C:\\evil.exe"));
  EXPECT_FALSE(engine::TerminateProcessById(app, evil.pid(), "C:\\OTHER.EXE"));
  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
  EXPECT_TRUE(engine::TerminateProcessById(app, evil.pid(), "C:\\EVIL.EXE"));
  EXPECT_TRUE(evil.WaitKilled());
}

TEST(MemoryStageTest, ProgramWhoseFileWasDeletedIsFoundAndEnded) {
  for (const machine::OsFamily family : {machine::OsFamily::kNt, machine::OsFamily::kWin9x}) {
    SCOPED_TRACE(static_cast<int>(family));
    ProgramsApp fixture(family);
    model::App& app = fixture.app();
    WriteExeDefinitions(app, fixture.temp, {"evilapp.exe=Evil|[progfil]\\Evil Co"});
    const fs::path exe = fixture.temp.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE");
    hg_test::TestProcess evil(exe);
    ASSERT_TRUE(fs::remove(exe));
    SetScanRunning(app, true);
    engine::InspectMemory(app);

    EXPECT_TRUE(evil.WaitKilled());
    EXPECT_EQ(app.scan.lngThreatsFound, 1);
    ASSERT_EQ(app.frmMain.lvwSpywareFound.Count(), 1);
    EXPECT_TRUE(SortedLog(app)[0].first.starts_with("Detected in the memory : EVILAPP.EXE "));
  }
}

TEST(MemoryStageTest, Win9xAsksOutsideAScanAndEndsDuringOne) {
  ProgramsApp fixture(machine::OsFamily::kWin9x);
  model::App& app = fixture.app();
  const hg_test::TempMachine& temp = fixture.temp;
  forms::HeadlessBackend& backend = fixture.backend;
  // The folder field plays no part: programs match by file name wherever they lie. A line
  // without "=" is a name field as a whole.
  WriteExeDefinitions(app, temp,
                      {"evil1.exe=Evil One|[windir]", "other.exe=Other", "evil3.exe=Three",
                       "msapp.exe=Fake|[system]", "evil4.exe|[windir]"});
  CompanyProgram microsoft(temp.host("C:\\Tools\\msapp.exe"), "Microsoft Corporation");
  SetScanRunning(app, false);

  {
    hg_test::TestProcess evil1(temp.host("C:\\Games\\Evil1.exe"));
    backend.ExpectMsgBox(services::vbYes, "[EVIL1.EXE]");
    engine::InspectMemory(app);
    EXPECT_TRUE(evil1.WaitKilled());
  }
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  const forms::ShownMessageBox& box = backend.MessageBoxes()[0];
  EXPECT_EQ(box.title, "Hearthguard  - Alert");
  EXPECT_EQ(box.style, 36);
  EXPECT_EQ(box.prompt,
            "Hearthguard has found  [EVIL1.EXE] using you system memory.Click YES to stop "
            "[EVIL1.EXE] from using your system memory. Otherwise click No.");
  EXPECT_EQ(app.scan.lngThreatsFound, 1);
  EXPECT_EQ(app.scan.lngMemoryItemsInspected, 5);

  // A changed file (a Live Update) is read again: the definition it dropped no longer
  // matches, the one it added does.
  WriteExeDefinitions(app, temp,
                      {" Evil2.exe =Evil Two", "other.exe=Other", "evil3.exe=Three",
                       "msapp.exe=Fake|[system]", "evil4.exe|[windir]"});
  hg_test::TestProcess evil1_again(temp.host("C:\\Games\\Evil1.exe"));
  hg_test::TestProcess evil2(temp.host("C:\\Other\\EVIL2.EXE"));
  backend.ExpectMsgBox(services::vbNo, "[EVIL2.EXE]");
  engine::InspectMemory(app);
  EXPECT_TRUE(hg_test::IsAlive(evil1_again.pid()));
  EXPECT_TRUE(hg_test::IsAlive(evil2.pid()));
  EXPECT_TRUE(engine::IsIgnored(app, "EVIL2.EXE"));
  EXPECT_EQ(app.scan.lngThreatsFound, 1);
  EXPECT_EQ(app.scan.lngMemoryItemsInspected, 10);

  // Now on the ignore list: no question, and no row outside a scan.
  engine::InspectMemory(app);
  EXPECT_EQ(app.frmMain.lvwSpywareFound.Count(), 0);

  hg_test::TestProcess evil3(temp.host("C:\\evil3.exe"));
  hg_test::TestProcess evil4(temp.host("C:\\WINDOWS\\evil4.exe"));
  SetScanRunning(app, true);
  engine::InspectMemory(app);
  EXPECT_TRUE(evil3.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(evil4.pid()));
  EXPECT_TRUE(hg_test::IsAlive(evil2.pid()));
  EXPECT_TRUE(hg_test::IsAlive(microsoft.pid()));
  const std::vector<std::pair<std::string, ThreatIconKind>> expected = {
      {"Detected in the memory : EVIL3.EXE and was stopped being from ruuning.",
       ThreatIconKind::kFile},
      {"EXCLUDED: EVIL2.EXE", ThreatIconKind::kExcluded},
  };
  EXPECT_EQ(SortedLog(app), expected);
  EXPECT_EQ(app.scan.lngThreatsFound, 2);
  EXPECT_TRUE(backend.PromptsUsedUp());
  EXPECT_EQ(backend.MessageBoxes().size(), 2u);
}

TEST(MemoryStageTest, Win9xStopOnlyDuringAScan) {
  ProgramsApp fixture(machine::OsFamily::kWin9x);
  model::App& app = fixture.app();
  WriteExeDefinitions(app, fixture.temp, {"evil.exe=Evil", "other.exe=Other"});
  hg_test::TestProcess evil(fixture.temp.host("C:\\Games\\evil.exe"));

  app.scan.bStopScan = true;
  SetScanRunning(app, true);
  engine::InspectMemory(app);
  EXPECT_EQ(app.scan.strExeDefinitionLines, "");
  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
  EXPECT_EQ(app.frmMain.lvwSpywareFound.Count(), 0);

  // The scan has ended with the request still set: the next shield run reads and asks.
  SetScanRunning(app, false);
  fixture.backend.ExpectMsgBox(services::vbNo, "[EVIL.EXE]");
  engine::InspectMemory(app);
  EXPECT_EQ(app.scan.strExeDefinitionLines, "evil.exe=Evil\r\nother.exe=Other\r\n");
  EXPECT_TRUE(fixture.backend.PromptsUsedUp());
}

TEST(MemoryStageTest, RunningItemCountStartsAgainAtEachWalk) {
  for (const machine::OsFamily family : {machine::OsFamily::kNt, machine::OsFamily::kWin9x}) {
    ProgramsApp fixture(family);
    model::App& app = fixture.app();
    WriteExeDefinitions(app, fixture.temp, {"nothing.exe=Nothing"});
    hg_test::TestProcess one(fixture.temp.host("C:\\A\\one.exe"));
    hg_test::TestProcess two(fixture.temp.host("C:\\A\\two.exe"));
    app.frmMain.lblTotalNoOfRunningItems.SetCaption("57");
    engine::InspectMemory(app);
    engine::InspectMemory(app);
    // Both families count the programs a snapshot lists (the reserved ids name none).
    EXPECT_EQ(app.frmMain.lblTotalNoOfRunningItems.Caption(),
              std::to_string(ListedProcessCount(app, false)));
  }
}

TEST(MemoryStageTest, EncodedProcessList) {
  hg_test::AppFixture fixture;
  model::App& app = fixture.app();
  {
    hg_test::TestProcess svchost(fixture.temp.host("C:\\WINDOWS\\system32\\svchost.exe"));
    hg_test::TestProcess explorer(fixture.temp.host("C:\\WINDOWS\\explorer.exe"));
    // Only the system's own programs and the browsers: nothing to send.
    EXPECT_EQ(engine::GetEncodedProcessList(app), "");
  }
  hg_test::TestProcess tool(fixture.temp.host("C:\\Tools\\Tool.exe"));
  // The names are compared exactly: this one is not the browser's.
  hg_test::TestProcess browser(fixture.temp.host("C:\\Program Files\\Web\\IEXPLORE.EXE"));
  std::vector<std::string> sent = machine::Split(engine::GetEncodedProcessList(app), "|");
  std::sort(sent.begin(), sent.end());
  std::vector<std::string> expected = {services::EncodeText("IEXPLORE.EXE"),
                                       services::EncodeText("Tool.exe")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(sent, expected);
}

}  // namespace
