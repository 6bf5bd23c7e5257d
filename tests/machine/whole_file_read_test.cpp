#include "machine/whole_file_read.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "machine/file_system.h"
#include "support/temp_machine.h"

namespace machine {
namespace {

constexpr uint64_t kTebibyte = uint64_t{1} << 40;

// A file of `size` bytes that costs no disk: nothing but a hole.
void MakeSparse(const std::filesystem::path& path, uint64_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  close(fd);
}

TEST(WholeFileReadTest, AFileOverItsCapCannotBeRead) {
  hg_test::TempMachine temp;
  FileSystem files(temp.profile());
  MakeSparse(temp.host("C:\\huge.txt"), kTebibyte);
  temp.WriteFile("C:\\ten.txt", "0123456789");
  EXPECT_FALSE(files.ReadFile("C:\\huge.txt", ReadCap::kDefinitionFile).has_value());
  EXPECT_EQ(files.ReadFile("C:\\ten.txt", 10), "0123456789");
  EXPECT_FALSE(files.ReadFile("C:\\ten.txt", 9).has_value());
  std::string buffer;
  EXPECT_FALSE(files.ReadFile("C:\\huge.txt", ReadCap::kExecutable, buffer).has_value());
  EXPECT_LE(buffer.size(), size_t{64 * 1024});  // nothing set aside by the size it told
}

// A file that tells no size (procfs) is read to its end, and never past the cap.
TEST(WholeFileReadTest, AFileThatTellsNoSizeIsReadWithinTheCap) {
  const std::optional<std::string> status = ReadWholeFile("/proc/self/status", 1 << 20);
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(status->find("Pid:"), std::string::npos);
  EXPECT_FALSE(ReadWholeFile("/proc/self/status", 16).has_value());
}

TEST(WholeFileReadTest, AFileCutShortUnderTheReadCannotBeRead) {
  hg_test::TempMachine temp;
  const std::filesystem::path path = temp.host("C:\\big.dll");
  const std::string content(3 << 20, 'x');
  temp.WriteFile("C:\\big.dll", content);
  const int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::string buffer;
  ASSERT_EQ(ReadOpenFile(fd, ReadCap::kExecutable, buffer), content);

  // Another writer cuts the file down after the first part has come in.
  int reads = 0;
  const auto cut_after_first = [&] {
    if (++reads == 1) {
      ASSERT_EQ(truncate(path.c_str(), 100), 0);
    }
  };
  std::string fresh;
  EXPECT_FALSE(ReadOpenFile(fd, ReadCap::kExecutable, fresh, cut_after_first).has_value());
  EXPECT_EQ(reads, 1);
  close(fd);
}

}  // namespace
}  // namespace machine
