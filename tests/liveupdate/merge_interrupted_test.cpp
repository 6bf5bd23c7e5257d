// A merge killed at any moment leaves every definition file whole: its old content or its new;
// the update tried again then leaves the files as one whole merge does.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/definitions/update_merge.h"
#include "liveupdate/definition_files.h"
#include "machine/host_files.h"
#include "model/app.h"
#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;
using Files = std::map<std::string, std::string>;

constexpr int kKills = 200;

const std::map<std::string, std::string>& KindOfFile() {
  static const std::map<std::string, std::string> kKinds = {{"FileDefinition.dat", "FILE"},
                                                            {"ExeDefinition.dat", "EXE"},
                                                            {"RegistryDefinition.dat", "REG"},
                                                            {"BlockedCookies.dat", "COOK"},
                                                            {"DirectoryDefinition.dat", "DIR"}};
  return kKinds;
}

Files OldFiles() {
  Files files;
  for (const auto& [name, kind] : KindOfFile()) {
    std::vector<std::string> lines;
    for (int i = 0; i < 2000; ++i)
      lines.push_back(kind + std::to_string(i) + "=Threat|" + std::to_string(i));
    files[name] = hg_test::StoredFile(lines);
  }
  return files;
}

std::string MixedPackage() {
  std::vector<std::string> items;
  for (const auto& [name, kind] : KindOfFile()) {
    for (int i = 0; i < 2000; i += 40) {
      items.push_back(hg_test::Item(kind, "DEL", kind + std::to_string(i)));
      items.push_back(hg_test::Item(kind, "ADD", "new" + kind + std::to_string(i) + "=T|a|b"));
    }
  }
  return hg_test::Package(items);
}

void Plant(AppFixture& h, const Files& files) {
  for (const auto& [name, content] : files)
    h.WriteProgramFile(name, content);
}

Files ReadFiles(AppFixture& h) {
  Files files;
  for (const auto& [name, kind] : KindOfFile()) {
    files[name] = h.machine()
                      .files()
                      .ReadFile(h.machine().profile().program_folder + "\\" + name)
                      .value_or("<missing>");
  }
  return files;
}

TEST(UpdateMergeKilled, EveryFileIsOldOrNewWhereverTheMergeStops) {
  // A killed process loses nothing the kernel already holds; flushing to the disk only slows the
  // runs down.
  const machine::FlushFunction flush = machine::SetFlushFunction([](int) { return 0; });
  const Files old_files = OldFiles();
  const std::string package = MixedPackage();
  AppFixture h;
  Plant(h, old_files);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_FALSE(engine::ApplyDefinitionUpdate(h.app(), package).failed);
  const auto merge_time = std::chrono::steady_clock::now() - start;
  const Files new_files = ReadFiles(h);

  std::mt19937 random(20261207);
  std::uniform_int_distribution<int64_t> delay_us(
      0, std::chrono::duration_cast<std::chrono::microseconds>(merge_time).count() * 3 / 2 + 100);
  int stopped_midway = 0;
  const std::filesystem::path program_folder = h.temp.host(h.machine().profile().program_folder);
  for (int kill_number = 0; kill_number < kKills; ++kill_number) {
    Plant(h, old_files);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      engine::ApplyDefinitionUpdate(h.app(), package);
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    const Files now = ReadFiles(h);
    bool some_old = false;
    bool some_new = false;
    for (const auto& [name, content] : now) {
      SCOPED_TRACE(name + " after kill " + std::to_string(kill_number));
      EXPECT_TRUE(content == old_files.at(name) || content == new_files.at(name));
      some_old = some_old || content == old_files.at(name);
      some_new = some_new || content == new_files.at(name);
    }
    // Either some files were in place and others not yet, or new ones were still being made.
    bool temporaries_left = false;
    for (const auto& entry : std::filesystem::directory_iterator(program_folder))
      temporaries_left =
          temporaries_left || machine::IsTemporaryName(entry.path().filename().string());
    if ((some_old && some_new) || temporaries_left)
      ++stopped_midway;
    h.machine().files().RemoveTemporaryFiles(h.machine().profile().program_folder);

    ASSERT_FALSE(engine::ApplyDefinitionUpdate(h.app(), package).failed);
    EXPECT_EQ(ReadFiles(h), new_files) << "tried again after kill " << kill_number;
  }
  // The kills did land inside merges, not only before or after them.
  EXPECT_GT(stopped_midway, 0);
  machine::SetFlushFunction(flush);
}

}  // namespace
