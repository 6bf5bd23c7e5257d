// The main window's start-up as the program runs it before the message loop.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "ui/main/main_window_wiring.h"

namespace {

// A file that tells a size of a tebibyte and costs no disk.
void PlantHugeFile(hg_test::AppFixture& h, const std::string& name) {
  h.WriteProgramFile(name, "");
  const std::filesystem::path path =
      h.temp.host(h.machine().profile().program_folder + "\\" + name);
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(uint64_t{1} << 40)), 0);
}

TEST(StartUp, HugeFilesInTheProgramFolderAreLeftUnreadAndTheWindowComesUp) {
  hg_test::AppFixture h;
  const std::string line = services::EncodeText("bad.exe=Threat|[windir]") + "\r\n";
  h.WriteProgramFile("FileDefinition.dat", line + line);
  h.WriteProgramFile("RegistryDefinition.dat", line);
  h.WriteProgramFile("DirectoryDefinition.dat", line);
  for (const char* name : {"BlockedCookies.dat", "ExeDefinition.dat", "ENoSignature.txt"})
    PlantHugeFile(h, name);

  ASSERT_NO_THROW(ui::StartMainWindow(h.app()));
  EXPECT_TRUE(h.main().Visible());
  EXPECT_EQ(h.app().definitions.lngCookieDefinitionCount, 0);
  EXPECT_EQ(h.app().definitions.lngExeDefinitionCount, 0);
  EXPECT_EQ(h.main().lblDefCount.Caption(), "4");
  EXPECT_EQ(h.app().definitions.strIgnoreList, "");
}

}  // namespace
