#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "machine/text.h"
#include "services/text_codec.h"
#include "update_server.h"

namespace {

using update_server::BuildUpdatePackage;
using update_server::DefinitionFiles;

// What a client holds after applying a package, following the program's merge rules: items
// split at "[BR]", kind decoded, data encoded but for "|" and "="; an ADD appends its line, a
// DEL removes every line of that name (text before the first "=", ignoring case) so far.
struct Item {
  std::string kind;
  std::string op;
  std::string data;  // decoded, separators kept
};

std::vector<Item> Items(const std::string& package) {
  std::vector<Item> items;
  for (const std::string& text : machine::Split(package, "[BR]")) {
    if (text.empty())
      continue;
    const size_t mark = text.find("[DEF]");
    const size_t bar = text.find('|');
    std::string data = services::DecodeText(text.substr(mark + 5));
    for (size_t i = mark + 5; i < text.size(); ++i) {
      if (text[i] == '|' || text[i] == '=')
        data[i - mark - 5] = text[i];
    }
    items.push_back(
        {services::DecodeText(text.substr(0, bar)), text.substr(bar + 1, mark - bar - 1), data});
  }
  return items;
}

std::string Name(const std::string& line) {
  return machine::ToUpper(line.substr(0, line.find('=')));
}

void ApplyTo(std::vector<std::string>& lines, const Item& item, std::vector<std::string> kinds) {
  if (std::find(kinds.begin(), kinds.end(), item.kind) == kinds.end())
    return;
  if (item.op == "DEL") {
    std::erase_if(lines, [&](const std::string& line) { return Name(line) == Name(item.data); });
    return;
  }
  if (item.kind == "COOK") {
    lines.push_back(item.data.substr(0, item.data.find('=')));
  } else if (item.kind == "REG") {
    const std::vector<std::string> parts =
        machine::Split(item.data.substr(item.data.find('=') + 1), "|");
    lines.push_back(parts[1] + "^=" + parts[0] + "|" + parts[2]);
  } else {
    lines.push_back(item.data);
  }
}

DefinitionFiles Apply(DefinitionFiles files, const std::string& package) {
  for (const Item& item : Items(package)) {
    ApplyTo(files.file, item, {"FILE", "EXE", "DLL"});
    ApplyTo(files.exe, item, {"EXE"});
    ApplyTo(files.registry, item, {"REG"});
    ApplyTo(files.cookies, item, {"COOK"});
    ApplyTo(files.directory, item, {"DIR"});
  }
  return files;
}

// Blank lines do not count: the merge drops them.
std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return machine::TrimBlanks(line).empty(); });
  std::sort(lines.begin(), lines.end());
  return lines;
}

void ExpectSameFiles(const DefinitionFiles& a, const DefinitionFiles& b) {
  EXPECT_EQ(Sorted(a.file), Sorted(b.file));
  EXPECT_EQ(Sorted(a.exe), Sorted(b.exe));
  EXPECT_EQ(Sorted(a.registry), Sorted(b.registry));
  EXPECT_EQ(Sorted(a.cookies), Sorted(b.cookies));
  EXPECT_EQ(Sorted(a.directory), Sorted(b.directory));
}

// The package as readable lines "KIND OP data".
std::vector<std::string> Readable(const std::string& package) {
  std::vector<std::string> lines;
  for (const Item& item : Items(package))
    lines.push_back(item.kind + " " + item.op + " " + item.data);
  return lines;
}

const DefinitionFiles kOld = {
    {"popuppal.lnk=Popup Pal Adware|[startsp]", "keypeek.log=KeyPeek Demo Logger|[comdocs]",
     "acmebar.exe=Acme SearchBar|[progfil]Acme SearchBar"},
    {"acmebar.exe=Acme SearchBar|[progfil]Acme SearchBar",
     "dialdemo.exe=Evil Dialer Demo|[system]"},
    {"1^Software\\Acme SearchBar^=Acme SearchBar", "2^Software\\KeyPeek Demo^Hotkeys=KeyPeek Demo",
     "0^.fcur^Content Type^=FunnyCursor Toolbar"},
    {"acme-searchbar.example", "*funnycursor.example"},
    {"KeyPeek=KeyPeek Demo Logger|[personl]KeyPeek|Keylogger"}};

struct Change {
  const char* what;
  void (*change)(DefinitionFiles&);
  std::vector<std::string> items;  // the package, readable
};

void PrintTo(const Change& change, std::ostream* out) {
  *out << change.what;
}

class PackageBuilderTest : public testing::TestWithParam<Change> {};

TEST_P(PackageBuilderTest, TurnsTheOldFilesIntoTheNewOnes) {
  DefinitionFiles now = kOld;
  GetParam().change(now);
  const update_server::Package package = BuildUpdatePackage(kOld, now);
  EXPECT_EQ(Readable(package.text), GetParam().items);
  EXPECT_TRUE(package.notes.empty());
  DefinitionFiles expected = now;
  // A registry line arrives in the form the merge writes.
  for (std::string& line : expected.registry) {
    if (line == "1^Software\\ClickPal^Start=ClickPal")
      line = "1^Software\\ClickPal^Start^=ClickPal|";
  }
  ExpectSameFiles(Apply(kOld, package.text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, PackageBuilderTest,
    testing::Values(
        Change{"nothing", [](DefinitionFiles&) {}, {}},
        Change{"file added",
               [](DefinitionFiles& f) { f.file.push_back("clickpal.dll=ClickPal|[system]|BHO"); },
               {"FILE ADD clickpal.dll=ClickPal|[system]|BHO"}},
        Change{"file changed",
               [](DefinitionFiles& f) { f.file[1] = "keypeek.log=KeyPeek Demo Logger|[personl]"; },
               {"FILE DEL keypeek.log=", "FILE ADD keypeek.log=KeyPeek Demo Logger|[personl]"}},
        // The EXE item lands in FileDefinition.dat as well, where it is wanted too.
        Change{"exe added to both",
               [](DefinitionFiles& f) {
                 f.exe.push_back("clickpal.exe=ClickPal|[windir]");
                 f.file.push_back("clickpal.exe=ClickPal|[windir]");
               },
               {"EXE ADD clickpal.exe=ClickPal|[windir]"}},
        // ... and where it is not, a FILE DEL takes it out again.
        Change{"exe added alone",
               [](DefinitionFiles& f) { f.exe.push_back("clickpal.exe=ClickPal|[windir]"); },
               {"EXE ADD clickpal.exe=ClickPal|[windir]", "FILE DEL clickpal.exe="}},
        // An EXE DEL clears FileDefinition.dat too; the file line it should keep comes back.
        Change{"exe removed, file line kept",
               [](DefinitionFiles& f) { f.exe.erase(f.exe.begin()); },
               {"EXE DEL acmebar.exe=",
                "FILE ADD acmebar.exe=Acme SearchBar|[progfil]Acme SearchBar"}},
        Change{"registry key added",
               [](DefinitionFiles& f) {
                 f.registry.push_back("1^Software\\ClickPal^=ClickPal|Adware");
               },
               {"REG ADD 1^Software\\ClickPal^=ClickPal|1^Software\\ClickPal|Adware"}},
        Change{
            "registry value added in the old form",
            [](DefinitionFiles& f) { f.registry.push_back("1^Software\\ClickPal^Start=ClickPal"); },
            {"REG ADD 1^Software\\ClickPal^Start^=ClickPal|1^Software\\ClickPal^Start|"}},
        // The DEL names the line as the client may hold it: as released and as delivered.
        Change{"registry value removed",
               [](DefinitionFiles& f) { f.registry.erase(f.registry.begin() + 1); },
               {"REG DEL 2^Software\\KeyPeek Demo^Hotkeys=|2^Software\\KeyPeek Demo^Hotkeys|",
                "REG DEL 2^Software\\KeyPeek Demo^Hotkeys^=|2^Software\\KeyPeek Demo^Hotkeys|"}},
        Change{"cookie added and removed",
               [](DefinitionFiles& f) {
                 f.cookies = {"acme-searchbar.example", "clickpal.example"};
               },
               {"COOK ADD clickpal.example", "COOK DEL *funnycursor.example="}},
        Change{"folder removed",
               [](DefinitionFiles& f) { f.directory.clear(); },
               {"DIR DEL KeyPeek="}},
        Change{"blank lines ignored", [](DefinitionFiles& f) { f.directory.push_back(" "); }, {}}),
    [](const testing::TestParamInfo<Change>& param) {
      std::string name = param.param.what;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
      return name;
    });

// Names are compared ignoring case: dropping one of two such lines removes both and re-adds one.
TEST(PackageBuilder, KeepsOneOfTwoLinesOfOneName) {
  DefinitionFiles old;
  old.cookies = {"acme.example", "ACME.EXAMPLE"};
  DefinitionFiles now;
  now.cookies = {"ACME.EXAMPLE"};
  const std::string package = BuildUpdatePackage(old, now).text;
  EXPECT_EQ(Readable(package),
            (std::vector<std::string>{"COOK DEL acme.example=", "COOK ADD ACME.EXAMPLE"}));
  ExpectSameFiles(Apply(old, package), now);
}

TEST(PackageBuilder, LeavesOutLinesNoItemCanCarry) {
  DefinitionFiles now = kOld;
  // "<" is encoded as "|", which the merge takes for a separator.
  now.file.push_back("a<b.exe=Odd Name|[system]");
  const update_server::Package package = BuildUpdatePackage(kOld, now);
  EXPECT_EQ(package.text, "");
  ASSERT_EQ(package.notes.size(), 1u);
  EXPECT_NE(package.notes[0].find("a<b.exe"), std::string::npos);
}

TEST(PackageBuilder, EncodesKindsAndDataButNotTheSeparators) {
  DefinitionFiles now = kOld;
  now.directory.push_back("A=B|C");
  const std::string enc = services::EncodeText("DIR") + "|ADD[DEF]" + services::EncodeText("A") +
                          "=" + services::EncodeText("B") + "|" + services::EncodeText("C");
  EXPECT_EQ(BuildUpdatePackage(kOld, now).text, enc);
}

}  // namespace
