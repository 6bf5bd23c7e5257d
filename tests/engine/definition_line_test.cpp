#include "engine/scan/definition_line.h"

#include <gtest/gtest.h>

namespace {

using engine::ParseDefinitionLine;

TEST(DefinitionLineTest, Parse) {
  struct Case {
    const char* line;
    const char* name;
    const char* threat;
    const char* folder;
    const char* extra;
    bool has_folder;
  };
  const Case cases[] = {
      {"bar.dll=Acme Bar|[system]|Adware", "bar.dll", "Acme Bar", "[system]", "Adware", true},
      {"bar.dll=Acme Bar|[system]", "bar.dll", "Acme Bar", "[system]", "", true},
      {"bar.dll=Acme Bar", "bar.dll", "Acme Bar", "", "", false},
      {"a=b=c|f|x|y", "a", "b", "f", "x", true},
      {"no equals here|[windir]", "no equals here", "", "[windir]", "", true},
      {"noequals", "noequals", "", "", "", false},
      {"name=|[windir]", "name", "", "[windir]", "", true},
      {" spaced.exe =Threat||", " spaced.exe ", "Threat", "", "", true},
      {"", "", "", "", "", false},
  };
  for (const Case& c : cases) {
    const engine::DefinitionLine line = ParseDefinitionLine(c.line);
    EXPECT_EQ(line.name, c.name) << c.line;
    EXPECT_EQ(line.threat_name, c.threat) << c.line;
    EXPECT_EQ(line.folder, c.folder) << c.line;
    EXPECT_EQ(line.extra_text, c.extra) << c.line;
    EXPECT_EQ(line.has_folder, c.has_folder) << c.line;
  }
}

// What a file or folder line makes of its (already expanded) folder: whether it counts, whether
// it is looked for, and where.
TEST(DefinitionLineTest, FileAndFolderLineRules) {
  struct Case {
    bool file_stage;
    const char* line;
    bool folder_ok;
    const char* folder;
    bool counted;
    bool testable;
    const char* shown;
    const char* path;
  };
  const Case cases[] = {
      {true, " a.dll =T|x", true, "C:\\W\\", true, true, "a.dll", "C:\\W\\a.dll"},
      {true, "a.dll=|x", true, "C:\\W", true, true, "a.dll", "C:\\W\\a.dll"},
      {true, "a.dll|x", true, "C:\\W", true, false, "a.dll", "C:\\W\\a.dll"},
      {true, "a.dll=T|x", false, "", true, false, "a.dll", "a.dll"},
      {true, "a.dll=T", true, "", true, false, "a.dll", "a.dll"},
      {true, "a.dll=T|x", true, "W\\Sub", true, false, "a.dll", "W\\Sub\\a.dll"},
      {false, "Evil\tFolder\r\n=T|x", true, "C:\\Evil", true, true, "EvilFolder", "C:\\Evil"},
      {false, "F|x", true, "C:\\Evil", true, false, "F", "C:\\Evil"},
      {false, "F=T", true, "", false, false, "", ""},
      {false, "F=T|x", false, "", false, false, "", ""},
      {false, "F=T|x", true, "Relative", false, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    engine::LineTarget target;
    const engine::DefinitionLine line = ParseDefinitionLine(c.line);
    if (c.file_stage)
      engine::PrepareFileLine(line, c.folder_ok, c.folder, target);
    else
      engine::PrepareFolderLine(line, c.folder_ok, c.folder, target);
    EXPECT_EQ(target.counted, c.counted);
    EXPECT_EQ(target.testable, c.testable);
    if (c.counted) {
      EXPECT_EQ(target.shown_name, c.shown);
      EXPECT_EQ(target.path, c.path);
    }
  }
}

}  // namespace
