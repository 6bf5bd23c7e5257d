#include "services/processes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "machine/http.h"
#include "machine/machine.h"
#include "machine/processes.h"
#include "machine/registry.h"
#include "machine/restore_points.h"
#include "services/system.h"
#include "support/temp_machine.h"
#include "support/test_process.h"

namespace services {
namespace {

// A machine over a temporary drive tree, with the real process table unless one is given.
class TestMachine {
 public:
  explicit TestMachine(machine::OsFamily family = machine::OsFamily::kNt,
                       std::unique_ptr<machine::ProcessTable> processes = nullptr) {
    machine::Profile profile = temp_.profile();
    profile.os_family = family;
    machine::MachineParts parts;
    parts.processes = std::move(processes);
    std::string error;
    machine_ = std::make_unique<machine::Machine>(std::move(profile), machine::VersionInfo{},
                                                  std::move(parts), error);
    EXPECT_TRUE(machine_->ok()) << error;
    system_ = std::make_unique<System>(*machine_);
  }

  System& system() { return *system_; }
  const hg_test::TempMachine& temp() const { return temp_; }

  const std::vector<machine::PrivilegeChange>& privilege_changes() {
    return dynamic_cast<machine::ProcfsProcessTable&>(machine_->processes()).privilege_changes();
  }

 private:
  hg_test::TempMachine temp_;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
};

// Pairs each listed name with its id, and checks the two vectors line up with the count.
std::multimap<std::string, uint32_t> Listing(System& system, std::string_view filter,
                                             bool use_enumeration) {
  std::vector<std::string> names{"stale"};
  std::vector<uint32_t> ids{7, 8};
  const int32_t count = GetProcessList(system, names, ids, filter, use_enumeration);
  EXPECT_GE(count, 0);
  EXPECT_EQ(names.size(), static_cast<size_t>(std::max(count, 0)));
  EXPECT_EQ(ids.size(), names.size());
  std::multimap<std::string, uint32_t> listing;
  for (size_t i = 0; i < names.size() && i < ids.size(); ++i)
    listing.emplace(names[i], ids[i]);
  return listing;
}

class ProcessServicesTest : public ::testing::Test {
 protected:
  TestMachine machine_;
  hg_test::TestProcess evil_{machine_.temp().host("C:\\Program Files\\Evil Co\\EVILAPP.EXE")};
  hg_test::TestProcess helper_{machine_.temp().host("C:\\WINDOWS\\system32\\helper.exe")};
};

TEST_F(ProcessServicesTest, EnumerationListsOnlyProgramsInsideTheDrives) {
  ASSERT_GT(evil_.pid(), 0);
  ASSERT_GT(helper_.pid(), 0);
  const auto listing = Listing(machine_.system(), "", true);

  const std::multimap<std::string, uint32_t> ours{{"EVILAPP.EXE", evil_.id()},
                                                  {"helper.exe", helper_.id()}};
  for (const auto& [name, id] : ours)
    EXPECT_EQ(listing.count(name), 1u) << name;
  for (const auto& [name, id] : listing) {
    // Only our programs have names here; id 2 is named without being opened.
    const bool reserved = name == "System" && id == 2;
    EXPECT_TRUE(reserved || ours.count(name) == 1) << name << " " << id;
    if (!reserved && ours.count(name) == 1) {
      EXPECT_EQ(ours.find(name)->second, id);
    }
    EXPECT_NE(id, static_cast<uint32_t>(getpid()));
  }
}

TEST_F(ProcessServicesTest, FilterKeepsNamesContainingItIgnoringCase) {
  ASSERT_GT(evil_.pid(), 0);
  ASSERT_GT(helper_.pid(), 0);
  const struct {
    const char* filter;
    bool use_enumeration;
    std::set<std::string> names;
  } cases[] = {
      {"evil", true, {"EVILAPP.EXE"}},
      {"APP.exe", true, {"EVILAPP.EXE"}},
      {".EXE", true, {"EVILAPP.EXE", "helper.exe"}},
      {"nothing-like-it", true, {}},
      // The snapshot form names each process by its full path.
      {"evil co", false, {"C:\\Program Files\\Evil Co\\EVILAPP.EXE"}},
      {"SYSTEM32\\", false, {"C:\\WINDOWS\\system32\\helper.exe"}},
  };
  for (const auto& c : cases) {
    std::set<std::string> names;
    for (const auto& [name, id] : Listing(machine_.system(), c.filter, c.use_enumeration))
      names.insert(name);
    EXPECT_EQ(names, c.names) << "filter " << c.filter;
  }
}

TEST_F(ProcessServicesTest, SnapshotFormPairsFullPathsWithIds) {
  ASSERT_GT(evil_.pid(), 0);
  const auto listing = Listing(machine_.system(), "", false);
  const auto it = listing.find("C:\\Program Files\\Evil Co\\EVILAPP.EXE");
  ASSERT_NE(it, listing.end());
  EXPECT_EQ(it->second, evil_.id());
  for (const auto& [name, id] : listing)
    EXPECT_EQ(name.rfind("C:\\", 0), 0u) << name;
}

TEST_F(ProcessServicesTest, NamesById) {
  ASSERT_GT(evil_.pid(), 0);
  System& system = machine_.system();
  EXPECT_EQ(GetProcessNameById(system, 0), "System Idle Process");
  EXPECT_EQ(GetProcessNameById(system, 2), "System");
  EXPECT_EQ(GetProcessNameById(system, evil_.id()), "EVILAPP.EXE");
  EXPECT_EQ(GetProcessNameById(system, static_cast<uint32_t>(getpid())), "");
}

// Ending a process: on both families it is ended; only the NT family raises the privilege.
TEST(TerminateProcessWithPrivilegeTest, EndsAProgramInsideTheDrives) {
  for (const auto family : {machine::OsFamily::kNt, machine::OsFamily::kWin9x}) {
    SCOPED_TRACE(family == machine::OsFamily::kNt ? "NT" : "95/98/ME");
    TestMachine machine(family);
    hg_test::TestProcess program(machine.temp().host("C:\\Program Files\\Evil Co\\EVILAPP.EXE"));
    ASSERT_GT(program.pid(), 0);

    EXPECT_TRUE(TerminateProcessWithPrivilege(machine.system(), program.id(), 0));
    EXPECT_TRUE(program.WaitKilled());

    const auto& changes = machine.privilege_changes();
    if (family == machine::OsFamily::kNt) {
      ASSERT_EQ(changes.size(), 2u);
      EXPECT_EQ(changes[0].name, "SeDebugPrivilege");
      EXPECT_TRUE(changes[0].enabled);
      EXPECT_EQ(changes[1].name, "SeDebugPrivilege");
      EXPECT_FALSE(changes[1].enabled);
    } else {
      EXPECT_TRUE(changes.empty());
    }
  }
}

TEST(TerminateProcessWithPrivilegeTest, RefusesProcessesOutsideTheDrives) {
  TestMachine machine;
  hg_test::TestProcess outside(machine.temp().root() / "outside" / "EVILAPP.EXE");
  ASSERT_GT(outside.pid(), 0);

  for (const uint32_t id : {outside.id(), 0u, 2u})
    EXPECT_FALSE(TerminateProcessWithPrivilege(machine.system(), id, 0)) << "id " << id;
  EXPECT_TRUE(hg_test::IsAlive(outside.pid()));
  // The privilege is lowered again after a failed attempt too.
  EXPECT_EQ(machine.privilege_changes().size(), 6u);
  EXPECT_FALSE(machine.privilege_changes().back().enabled);
}

// A table with many processes, each named after its id unless the id is listed as unnamed.
class FakeProcessTable final : public machine::ProcessTable {
 public:
  FakeProcessTable(size_t count, std::set<uint32_t> unnamed, bool fails = false)
      : unnamed_(std::move(unnamed)), fails_(fails) {
    for (size_t i = 0; i < count; ++i)
      ids_.push_back(static_cast<uint32_t>(100 + i));
  }

  bool EnumProcesses(std::span<uint32_t> ids, size_t& written) const override {
    written = std::min(ids.size(), ids_.size());
    std::copy_n(ids_.begin(), written, ids.begin());
    return !fails_;
  }
  std::unique_ptr<machine::OpenedProcess> OpenProcess(uint32_t id) const override {
    if (unnamed_.count(id) != 0)
      return nullptr;
    return std::make_unique<Process>(id);
  }
  std::optional<std::vector<machine::ProcessSnapshotEntry>> Snapshot() const override {
    return std::nullopt;
  }
  bool EnablePrivilege(std::string_view) override { return true; }
  bool DisablePrivilege(std::string_view) override { return true; }

 private:
  class Process final : public machine::OpenedProcess {
   public:
    explicit Process(uint32_t id) : id_(id), path_("C:\\P\\" + std::to_string(id) + ".exe") {}
    uint32_t Id() const override { return id_; }
    const std::string& ModuleFileName() const override { return path_; }
    bool Terminate(uint32_t) override { return false; }

   private:
    uint32_t id_;
    std::string path_;
  };

  std::vector<uint32_t> ids_;
  std::set<uint32_t> unnamed_;
  bool fails_;
};

TEST(GetProcessListTest, ListsEveryProcessBeyondTheFirstBuffer) {
  for (const size_t count : {127u, 128u, 129u, 300u}) {
    TestMachine machine(machine::OsFamily::kNt,
                        std::make_unique<FakeProcessTable>(count, std::set<uint32_t>{}));
    std::vector<std::string> names;
    std::vector<uint32_t> ids;
    ASSERT_EQ(GetProcessList(machine.system(), names, ids, "", true), static_cast<int32_t>(count));
    ASSERT_EQ(ids.size(), count);
    EXPECT_EQ(ids.back(), 100 + count - 1);
    EXPECT_EQ(names.back(), std::to_string(100 + count - 1) + ".exe");
  }
}

TEST(GetProcessListTest, LeavesOutUnnamedProcessesAndReportsFailure) {
  TestMachine partly(machine::OsFamily::kNt,
                     std::make_unique<FakeProcessTable>(5, std::set<uint32_t>{101, 103}));
  std::vector<std::string> names;
  std::vector<uint32_t> ids;
  ASSERT_EQ(GetProcessList(partly.system(), names, ids, "", true), 3);
  EXPECT_EQ(ids, (std::vector<uint32_t>{100, 102, 104}));

  TestMachine failing(machine::OsFamily::kNt,
                      std::make_unique<FakeProcessTable>(5, std::set<uint32_t>{}, true));
  EXPECT_EQ(GetProcessList(failing.system(), names, ids, "", true), -1);
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(ids.empty());
  EXPECT_EQ(GetProcessList(failing.system(), names, ids, "", false), -1);
}

TEST(WordsOfTest, SplitsIntoSignedHalves) {
  const struct {
    uint32_t value;
    int16_t hi;
    int16_t lo;
  } cases[] = {
      {0xFFFF0001u, -1, 1}, {0x00000000u, 0, 0},           {0x7FFF8000u, 32767, -32768},
      {0x0001FFFFu, 1, -1}, {0x12345678u, 0x1234, 0x5678},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HiWordOf(c.value), c.hi) << std::hex << c.value;
    EXPECT_EQ(LoWordOf(c.value), c.lo) << std::hex << c.value;
  }
}

TEST(DropLastCharTest, DropsOneCharacter) {
  EXPECT_EQ(DropLastChar(""), "");
  EXPECT_EQ(DropLastChar("a"), "");
  EXPECT_EQ(DropLastChar("C:\\Temp\\"), "C:\\Temp");
}

}  // namespace
}  // namespace services
