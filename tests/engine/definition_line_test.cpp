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

}  // namespace
