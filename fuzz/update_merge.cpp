// The update merge: the input is the five definition files as stored and an update package,
// separated by the line "%%" (a file whose part is missing does not exist). The merge runs on the
// program folder and must leave exactly what a plain model of its documented behaviour gives,
// with the same count; the same package applied again must change nothing.

#include "engine/definitions/update_merge.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "services/text_codec.h"
#include "support/fuzz_app.h"
#include "support/fuzz_machine.h"

namespace {

constexpr std::string_view kPartSeparator = "\n%%\n";
constexpr size_t kFileCount = 5;
constexpr std::array<std::string_view, kFileCount> kFiles = {
    engine::kFileDefinitionFile, engine::kExeDefinitionFile, engine::kRegistryDefinitionFile,
    engine::kBlockedCookiesFile, engine::kDirectoryDefinitionFile};
// The kinds each file takes, in file order.
constexpr std::array<std::array<std::string_view, 3>, kFileCount> kKinds = {
    {{"FILE", "EXE", "DLL"}, {"EXE"}, {"REG"}, {"COOK"}, {"DIR"}}};

using Files = std::array<std::optional<std::string>, kFileCount>;

struct Item {
  std::string kind;  // decoded
  std::string op;
  std::string data;
};

// The package's items: split at "[BR]" in any case, blanks trimmed, header "kind|op", "[DEF]",
// data; data with a CR LF pair or a NUL cannot be a line and is no item.
std::vector<Item> Items(std::string_view package) {
  std::vector<Item> items;
  std::vector<std::string_view> texts;
  size_t start = 0;
  for (size_t at = 0; at + 4 <= package.size(); ++at) {
    if (package[at] == '[' && (package[at + 1] | 0x20) == 'b' && (package[at + 2] | 0x20) == 'r' &&
        package[at + 3] == ']') {
      texts.push_back(package.substr(start, at - start));
      start = at + 4;
      at += 3;
    }
  }
  texts.push_back(package.substr(start));
  for (std::string_view text : texts) {
    while (!text.empty() && text.front() == ' ')
      text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
      text.remove_suffix(1);
    const size_t marker = text.find("[DEF]");
    const size_t bar = text.substr(0, marker).find('|');
    if (marker == std::string_view::npos || bar == std::string_view::npos)
      continue;
    Item item{services::DecodeText(text.substr(0, bar)),
              std::string(text.substr(bar + 1, marker - bar - 1)),
              std::string(text.substr(marker + 5))};
    if (item.data.find("\r\n") == std::string::npos && item.data.find('\0') == std::string::npos)
      items.push_back(item);
  }
  return items;
}

std::string Encoded(char c) {
  return services::EncodeText(std::string(1, c));
}

// The stored line an ADD writes into file `f`; nothing when the data lacks its parts.
std::optional<std::string> AddedLine(size_t f, const std::string& data) {
  if (f == 2) {  // name "=" threat "|" key part "|" type  ->  key part "^=" threat "|" type
    const size_t equals = data.find('=');
    const size_t bar1 = equals == std::string::npos ? equals : data.find('|', equals + 1);
    const size_t bar2 = bar1 == std::string::npos ? bar1 : data.find('|', bar1 + 1);
    if (bar2 == std::string::npos)
      return std::nullopt;
    return data.substr(bar1 + 1, bar2 - bar1 - 1) + services::EncodeText("^=") +
           data.substr(equals + 1, bar1 - equals - 1) + Encoded('|') + data.substr(bar2 + 1);
  }
  if (f == 3)
    return data.substr(0, data.find('='));
  return machine::ReplaceAll(machine::ReplaceAll(data, "|", Encoded('|')), "=", Encoded('='));
}

// A name: the decoded text before the first "=".
std::string NameOf(std::string_view encoded) {
  const std::string decoded = services::DecodeText(encoded);
  return decoded.substr(0, decoded.find('='));
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(' ') == std::string::npos;
}

// Each file's items applied one after the other to its list of lines.
Files Model(const Files& before, const std::vector<Item>& items, int& count) {
  Files after = before;
  count = 0;
  for (size_t f = 0; f < kFileCount; ++f) {
    std::vector<std::string> lines;
    if (before[f]) {
      lines = machine::Split(*before[f], "\r\n");
      if (lines.back().empty())  // the last line end, or an empty file
        lines.pop_back();
    }
    bool touched = false;
    bool deleted = false;
    for (const Item& item : items) {
      bool taken = false;
      for (std::string_view kind : kKinds[f])
        taken = taken || (!kind.empty() && item.kind == kind);
      if (!taken)
        continue;
      if (item.op == "ADD") {
        const std::optional<std::string> line = AddedLine(f, item.data);
        if (!line)
          continue;
        std::erase(lines, *line);
        lines.push_back(*line);
        ++count;
        touched = true;
      } else if (item.op == "DEL") {
        const std::string name = services::DecodeText(item.data.substr(0, item.data.find('=')));
        std::erase_if(lines, [&](const std::string& line) {
          return machine::EqualsIgnoreCase(NameOf(line), name);
        });
        touched = deleted = true;
      }
    }
    if (deleted) {
      std::erase_if(lines, IsBlank);
      ++count;
    }
    if (touched || !before[f]) {
      after[f] = "";
      for (const std::string& line : lines)
        *after[f] += line + "\r\n";
    }
  }
  return after;
}

std::string ProgramFile(model::App& app, std::string_view name) {
  return app.machine.profile().program_folder + "\\" + std::string(name);
}

Files ReadFiles(model::App& app) {
  Files files;
  for (size_t f = 0; f < kFileCount; ++f)
    files[f] = app.machine.files().ReadFile(ProgramFile(app, kFiles[f]));
  return files;
}

std::string Shown(const Files& files) {
  std::string text;
  for (size_t f = 0; f < kFileCount; ++f)
    text += std::string(kFiles[f]) + ": " + (files[f] ? "[" + *files[f] + "]" : "missing") + "\n";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  model::App& app = hg_fuzz::SharedApp();
  std::string_view input = hg_fuzz::AsText(data, size);
  Files before;
  for (size_t f = 0; f < kFileCount; ++f) {
    const size_t end = input.find(kPartSeparator);
    if (end == std::string_view::npos)
      break;
    before[f] = std::string(input.substr(0, end));
    input.remove_prefix(end + kPartSeparator.size());
  }
  const std::string_view package = input;
  for (size_t f = 0; f < kFileCount; ++f) {
    const std::string path = ProgramFile(app, kFiles[f]);
    if (before[f])
      HG_FUZZ_CHECK(hg_fuzz::PlantFile(path, *before[f]), "cannot plant " + path);
    else
      hg_fuzz::RemovePlantedFile(path);
  }

  int count = 0;
  const Files expected = Model(before, Items(package), count);
  const engine::UpdateMergeResult first = engine::ApplyDefinitionUpdate(app, package);
  HG_FUZZ_CHECK(!first.failed, first.reason);
  HG_FUZZ_CHECK(first.count == count,
                "count " + std::to_string(first.count) + ", model " + std::to_string(count));
  const Files merged = ReadFiles(app);
  HG_FUZZ_CHECK(merged == expected, "merged:\n" + Shown(merged) + "model:\n" + Shown(expected));

  const engine::UpdateMergeResult again = engine::ApplyDefinitionUpdate(app, package);
  HG_FUZZ_CHECK(!again.failed && again.count == count, "second run " + std::to_string(again.count));
  HG_FUZZ_CHECK(ReadFiles(app) == merged, "the second run changed:\n" + Shown(ReadFiles(app)));
  return 0;
}
