#include "machine/processes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "machine/file_system.h"
#include "machine/profile.h"
#include "support/temp_machine.h"
#include "support/test_process.h"

namespace machine {
namespace {

namespace fs = std::filesystem;

class ProcfsProcessTableTest : public ::testing::Test {
 protected:
  ProcfsProcessTableTest() : files_(machine_.profile()), table_(files_) {}

  bool Listed(uint32_t id) const {
    std::vector<uint32_t> ids(1 << 16);
    size_t written = 0;
    EXPECT_TRUE(table_.EnumProcesses(ids, written));
    return std::find(ids.begin(), ids.begin() + written, id) != ids.begin() + written;
  }

  hg_test::TempMachine machine_;
  FileSystem files_;
  ProcfsProcessTable table_;
};

TEST_F(ProcfsProcessTableTest, ProgramInsideDriveShowsUnderItsWindowsPath) {
  hg_test::TestProcess program(machine_.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
  ASSERT_GT(program.pid(), 0);

  EXPECT_TRUE(Listed(program.id()));
  const auto process = table_.OpenProcess(program.id());
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(process->Id(), program.id());
  EXPECT_EQ(process->ModuleFileName(), "C:\\Program Files\\Evil Co\\EVILAPP.EXE");
  EXPECT_EQ(process->ModuleBaseName(), "EVILAPP.EXE");

  const auto snapshot = table_.Snapshot();
  ASSERT_TRUE(snapshot.has_value());
  const auto entry = std::find_if(snapshot->begin(), snapshot->end(),
                                  [&](const auto& e) { return e.id == program.id(); });
  ASSERT_NE(entry, snapshot->end());
  EXPECT_EQ(entry->exe_file, "C:\\Program Files\\Evil Co\\EVILAPP.EXE");
}

TEST_F(ProcfsProcessTableTest, ProcessesOutsideTheDrivesCannotBeOpened) {
  // A program in the temporary folder but beside the drive, and this test itself.
  hg_test::TestProcess outside(machine_.root() / "outside" / "EVILAPP.EXE");
  ASSERT_GT(outside.pid(), 0);
  const uint32_t own_id = static_cast<uint32_t>(getpid());

  EXPECT_TRUE(Listed(outside.id()));
  EXPECT_TRUE(Listed(own_id));
  for (const uint32_t id : {outside.id(), own_id, 0u, 2u, 0xFFFFFFFFu})
    EXPECT_EQ(table_.OpenProcess(id), nullptr) << "id " << id;

  const auto snapshot = table_.Snapshot();
  ASSERT_TRUE(snapshot.has_value());
  for (const auto& entry : *snapshot) {
    EXPECT_NE(entry.id, outside.id());
    EXPECT_NE(entry.id, own_id);
    EXPECT_EQ(entry.exe_file.rfind("C:\\", 0), 0u) << entry.exe_file;
  }
  EXPECT_TRUE(hg_test::IsAlive(outside.pid()));
}

TEST_F(ProcfsProcessTableTest, ProgramWhoseFileWasDeletedShowsWhereItLayAndCanBeEnded) {
  const struct {
    const char* path;
    bool deleted;
  } cases[] = {
      {"C:\\Temp\\gone.exe", true},
      // Names that end as the host marks a deleted file, once kept and once deleted.
      {"C:\\Temp\\kept.exe (deleted)", false},
      {"C:\\Temp\\both.exe (deleted)", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    hg_test::TestProcess program(machine_.host(c.path));
    ASSERT_GT(program.pid(), 0);
    if (c.deleted) {
      ASSERT_TRUE(fs::remove(machine_.host(c.path)));
    }

    const auto snapshot = table_.Snapshot();
    ASSERT_TRUE(snapshot.has_value());
    const auto entry = std::find_if(snapshot->begin(), snapshot->end(),
                                    [&](const auto& e) { return e.id == program.id(); });
    ASSERT_NE(entry, snapshot->end());
    EXPECT_EQ(entry->exe_file, c.path);

    const auto process = table_.OpenProcess(program.id());
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(process->ModuleFileName(), c.path);
    EXPECT_TRUE(process->Terminate(0));
    EXPECT_TRUE(program.WaitKilled());
  }
}

TEST_F(ProcfsProcessTableTest, TerminateEndsTheOpenedProcessOnly) {
  hg_test::TestProcess program(machine_.host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
  ASSERT_GT(program.pid(), 0);
  const auto process = table_.OpenProcess(program.id());
  ASSERT_NE(process, nullptr);

  EXPECT_TRUE(process->Terminate(0));
  EXPECT_TRUE(program.WaitKilled());
  EXPECT_FALSE(hg_test::IsAlive(program.pid()));
  // Reaped: the handle reaches nobody, even were the id given to a new process.
  EXPECT_FALSE(process->Terminate(0));
  EXPECT_EQ(table_.OpenProcess(program.id()), nullptr);
}

TEST_F(ProcfsProcessTableTest, EnumerationReportsAFullBufferWhenCutShort) {
  hg_test::TestProcess program(machine_.host("C:\\Temp\\a.exe"));
  ASSERT_GT(program.pid(), 0);

  std::vector<uint32_t> one(1);
  size_t written = 99;
  ASSERT_TRUE(table_.EnumProcesses(one, written));
  EXPECT_EQ(written, 1u);  // this test and its child at least: cut short

  std::vector<uint32_t> none;
  ASSERT_TRUE(table_.EnumProcesses(none, written));
  EXPECT_EQ(written, 0u);
}

TEST_F(ProcfsProcessTableTest, PrivilegeChangesAlwaysSucceedAndAreRecorded) {
  EXPECT_TRUE(table_.EnablePrivilege("SeDebugPrivilege"));
  EXPECT_TRUE(table_.DisablePrivilege("SeDebugPrivilege"));
  ASSERT_EQ(table_.privilege_changes().size(), 2u);
  EXPECT_EQ(table_.privilege_changes()[0].name, "SeDebugPrivilege");
  EXPECT_TRUE(table_.privilege_changes()[0].enabled);
  EXPECT_FALSE(table_.privilege_changes()[1].enabled);
}

}  // namespace
}  // namespace machine
