#include "services/file_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "services/register_server.h"

namespace services {
namespace {

using namespace std::string_literals;

struct PathCase {
  std::string path;
  std::string expected;
};

TEST(FilePathsTest, GetFileExtension) {
  const PathCase cases[] = {
      {"C:\\WINDOWS\\system32\\evil.dll", "dll"},
      {"C:\\A\\SETUP.EXE ", "exe"},
      {"C:\\A\\SETUP. EXE  ", "exe"},
      {"C:\\My.Folder\\readme", ""},  // the last dot lies in a folder name
      {"C:\\My.Folder\\", ""},
      {"C:\\archive.tar.GZ", "gz"},
      {"C:\\a\\name.", ""},
      {"C:.ini", "ini"},
      {"C:ini", ""},
      {"D:", ""},
      {"notes.TXT", "txt"},
      {".hidden", "hidden"},
      {"no extension", ""},
      {"", ""},
      {"C:\\a\\CAF\xC9.\xC9X\xC9", "\xE9x\xE9"},  // Windows-1252 letters fold too
      {"C:/a.b/c", "b/c"},                        // only "\" ends a component here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileExtension(c.path), c.expected);
  }
}

TEST(FilePathsTest, GetFileNamePart) {
  const PathCase cases[] = {
      {"C:\\WINDOWS\\system32\\evil.dll", "evil.dll"},
      {"C:\\WINDOWS\\", ""},
      {"C:\\", ""},
      {"evil.dll", "evil.dll"},
      {"\\\\server\\share\\x.txt", "x.txt"},
      {"C:\\a\\ b .txt ", " b .txt "},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileNamePart(c.path), c.expected);
  }
}

TEST(FilePathsTest, GetFileNameFromBuffer) {
  const PathCase cases[] = {
      {"C:\\WINDOWS\\notepad.exe\0\0\0\0"s, "notepad.exe"},
      {"C:\\a.exe\0C:\\b\\other.exe\0"s, "a.exe"},
      {"explorer.exe\0\\x"s, "explorer.exe"},
      {"\0C:\\a.exe"s, ""},
      {"\\SystemRoot\\System32\\smss.exe", "smss.exe"},
      {"plain.exe", "plain.exe"},
      {std::string(255, ' '), std::string(255, ' ')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileNameFromBuffer(c.path), c.expected);
  }
}

TEST(RegisterServerTest, RecordsEveryCallAndNeverFails) {
  RegisterServerLog log;
  EXPECT_TRUE(RegisterServer(log, 0, "C:\\WINDOWS\\system32\\bad.dll", false));
  EXPECT_TRUE(RegisterServer(log, 1234, "C:\\missing\\nothing.ocx", true));
  EXPECT_TRUE(RegisterServer(log, 0, "", false));
  ASSERT_EQ(log.calls().size(), 3u);
  EXPECT_EQ(log.calls()[0].library_path, "C:\\WINDOWS\\system32\\bad.dll");
  EXPECT_FALSE(log.calls()[0].register_server);
  EXPECT_EQ(log.calls()[1].library_path, "C:\\missing\\nothing.ocx");
  EXPECT_TRUE(log.calls()[1].register_server);
  EXPECT_EQ(log.calls()[2].library_path, "");
}

}  // namespace
}  // namespace services
