#include "engine/definitions/sample_definitions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/definition_set.h"
#include "machine/text.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"

namespace {

const std::string kFolder = "C:\\Program Files\\Hearthguard";

// The readable source of one file, read here on its own: the lines between the literal's
// opening and closing lines.
std::vector<std::string> SourceLines(const std::string& file_name) {
  const std::filesystem::path source = std::filesystem::path(HG_SOURCE_DIR) / "data" /
                                       "definitions" /
                                       (file_name.substr(0, file_name.find('.')) + ".txt");
  std::ifstream in(source, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << source;
  std::vector<std::string> lines;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line == "R\"lines(")
      inside = true;
    else if (line == ")lines\"")
      inside = false;
    else if (inside)
      lines.push_back(line);
  }
  return lines;
}

class SampleDefinitionsTest : public ::testing::Test {
 protected:
  model::App& app() { return fixture_.app(); }
  machine::FileSystem& files() { return fixture_.machine().files(); }

  std::vector<std::string> DecodedLines(std::string_view file_name) {
    std::vector<std::string> lines;
    auto reader = engine::DefinitionReader::Open(app().system, file_name);
    EXPECT_TRUE(reader) << file_name;
    std::string line;
    while (reader && reader->ReadLine(line))
      lines.push_back(line);
    return lines;
  }

  hg_test::AppFixture fixture_;
};

TEST_F(SampleDefinitionsTest, FilesDecodeToTheReadableSource) {
  ASSERT_TRUE(engine::WriteSampleDefinitions(files(), kFolder));
  ASSERT_EQ(engine::SampleDefinitionFiles().size(), 5u);
  int32_t total = 0;
  for (const engine::SampleDefinitionFile& sample : engine::SampleDefinitionFiles()) {
    const std::string name(sample.file_name);
    SCOPED_TRACE(name);
    const std::vector<std::string> source = SourceLines(name);
    EXPECT_FALSE(source.empty());
    EXPECT_EQ(DecodedLines(name), source);
    // Stored whole under the codec, every line ended by CR LF.
    std::string expected;
    for (const std::string& line : source)
      expected += services::EncodeText(line) + "\r\n";
    EXPECT_EQ(files().ReadFile(kFolder + "\\" + name).value_or(""), expected);
    total += static_cast<int32_t>(source.size());
  }
  EXPECT_TRUE(engine::CheckDefinitionFiles(app()));
  EXPECT_EQ(engine::CountDefinitions(app()), total);
}

TEST_F(SampleDefinitionsTest, CoverEveryFolderTokenRootCodeAndLineForm) {
  const std::vector<std::string> tokens = {
      "[startsp]",    "[appdata]", "[recycle]", "[comstar]", "[comapp]",  "[desktop]", "[comdocs]",
      "[comfav]",     "[comprog]", "[comstam]", "[comtemp]", "[cookies]", "[comdesk]", "[favorit]",
      "[fonts]",      "[history]", "[netcach]", "[progs]",   "[progfil]", "[personl]", "[recent]",
      "[comprogfil]", "[sendto]",  "[startup]", "[strtmnu]", "[system]",  "[templat]", "[windir]",
      "[user]",       "[alluser]", "[drive]"};
  std::set<std::string> used;
  std::set<std::string> registry_forms;
  for (const engine::SampleDefinitionFile& sample : engine::SampleDefinitionFiles()) {
    for (std::string_view line : sample.lines) {
      SCOPED_TRACE(std::string(line));
      // Nothing in a line may turn into a line end once encoded.
      const std::string encoded = services::EncodeText(line);
      EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
      if (sample.file_name == engine::kBlockedCookiesFile) {
        EXPECT_EQ(line.find_first_of("=|^ "), std::string_view::npos);
        continue;
      }
      EXPECT_NE(line.find('='), std::string_view::npos);
      if (sample.file_name == engine::kRegistryDefinitionFile) {
        const std::string key_part(line.substr(0, line.rfind('=')));
        const std::vector<std::string> fields = machine::Split(key_part, "^");
        ASSERT_GE(fields.size(), 3u);
        const bool whole_key = fields[2].empty();
        registry_forms.insert(fields[0] + (whole_key ? " key" : " value"));
        continue;
      }
      EXPECT_NE(line.find('|'), std::string_view::npos);
      for (const std::string& token : tokens) {
        if (line.find(token) != std::string_view::npos)
          used.insert(token);
      }
    }
  }
  for (const std::string& token : tokens)
    EXPECT_TRUE(used.count(token)) << token;
  for (const char* root : {"0", "1", "2", "3", "4", "5"}) {
    EXPECT_TRUE(registry_forms.count(std::string(root) + " key")) << root;
    EXPECT_TRUE(registry_forms.count(std::string(root) + " value")) << root;
  }
}

TEST_F(SampleDefinitionsTest, NeverReplacesDefinitionsAlreadyThere) {
  const std::string live = kFolder + "\\FileDefinition.dat";
  ASSERT_TRUE(files().WriteFile(live, "the user's own lines\r\n"));
  EXPECT_TRUE(engine::WriteSampleDefinitions(files(), kFolder));
  EXPECT_EQ(files().ReadFile(live).value_or(""), "the user's own lines\r\n");
  EXPECT_TRUE(files().Attributes(kFolder + "\\ExeDefinition.dat"));
}

TEST_F(SampleDefinitionsTest, CreatesAMissingProgramFolder) {
  const std::string folder = "C:\\Program Files\\Elsewhere\\Hearthguard";
  EXPECT_TRUE(engine::WriteSampleDefinitions(files(), folder));
  for (const engine::SampleDefinitionFile& sample : engine::SampleDefinitionFiles())
    EXPECT_TRUE(files().Attributes(folder + "\\" + std::string(sample.file_name)));
}

}  // namespace
