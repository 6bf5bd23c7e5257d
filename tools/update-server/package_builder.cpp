#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "machine/text.h"
#include "services/text_codec.h"
#include "update_server.h"

namespace update_server {

namespace {

using machine::ToUpper;
using services::DecodeText;
using services::EncodeText;

constexpr std::string_view kItemSeparator = "[BR]";
constexpr std::string_view kDataMark = "[DEF]";

enum class Kind { kFile, kExe, kRegistry, kCookie, kDirectory };

const char* KindToken(Kind kind) {
  switch (kind) {
    case Kind::kFile:
      return "FILE";
    case Kind::kExe:
      return "EXE";
    case Kind::kRegistry:
      return "REG";
    case Kind::kCookie:
      return "COOK";
    case Kind::kDirectory:
      return "DIR";
  }
  return "";
}

// Item data: every character encoded except the separators "|" and "=", which stand plain.
std::string ItemData(std::string_view decoded) {
  std::string data = EncodeText(decoded);
  for (size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i] == '|' || decoded[i] == '=')
      data[i] = decoded[i];
  }
  return data;
}

// The name the merge compares lines by: the text before the first "=".
std::string LineName(std::string_view line) {
  return std::string(line.substr(0, line.find('=')));
}

// A registry line as the merge writes it: key part (root^path or root^path^value), "^=",
// threat, "|", type. Lines that do not read as registry definitions have no such form.
struct RegistryParts {
  std::string key_part;
  std::string threat;
  std::string type;
  std::string Line() const { return key_part + "^=" + threat + "|" + type; }
};

std::optional<RegistryParts> ReadRegistryLine(std::string_view line) {
  const size_t last_equals = line.rfind('=');
  if (last_equals == std::string_view::npos)
    return std::nullopt;
  const std::vector<std::string> fields = machine::Split(line.substr(0, last_equals), "^");
  if (fields.size() < 2)
    return std::nullopt;
  RegistryParts parts;
  parts.key_part = fields[0] + "^" + fields[1];
  if (fields.size() > 2 && !fields[2].empty())
    parts.key_part += "^" + fields[2];
  const std::string threat_part = machine::TrimBlanks(line.substr(last_equals + 1));
  const std::vector<std::string> threat_fields = machine::Split(threat_part, "|");
  parts.threat = threat_fields[0];
  if (threat_fields.size() > 1)
    parts.type = threat_fields[1];
  return parts;
}

// The line a client holds once this line reached it through a package.
std::string DeliveredForm(Kind kind, const std::string& line) {
  if (kind != Kind::kRegistry)
    return line;
  const auto parts = ReadRegistryLine(line);
  return parts ? parts->Line() : line;
}

std::string AddData(Kind kind, const std::string& line) {
  if (kind != Kind::kRegistry)
    return ItemData(line);
  const auto parts = ReadRegistryLine(line);
  if (!parts)
    return ItemData(line);
  return ItemData(parts->key_part + "^=" + parts->threat + "|" + parts->key_part + "|" +
                  parts->type);
}

std::string DelData(Kind kind, const std::string& line_or_name) {
  if (kind != Kind::kRegistry)
    return ItemData(line_or_name);
  // Only the name counts; the empty threat and type keep the data in the registry form.
  std::string key_part = LineName(line_or_name);
  if (!key_part.empty() && key_part.back() == '^')
    key_part.pop_back();
  return ItemData(LineName(line_or_name) + "=|" + key_part + "|");
}

// What the merge writes for an ADD item's data.
std::string WrittenLine(Kind kind, std::string_view data) {
  const std::string bar = EncodeText("|");
  const std::string equals = EncodeText("=");
  if (kind == Kind::kCookie)
    return std::string(data.substr(0, data.find('=')));
  if (kind == Kind::kRegistry) {
    const size_t name_end = data.find('=');
    if (name_end == std::string_view::npos)
      return {};
    const std::vector<std::string> fields = machine::Split(data.substr(name_end + 1), "|");
    if (fields.size() != 3)
      return {};
    return fields[1] + EncodeText("^=") + fields[0] + bar + fields[2];
  }
  std::string line;
  for (char c : data)
    line += c == '|' ? bar : c == '=' ? equals : std::string(1, c);
  return line;
}

// An item reaches the merge whole when its data holds no item separator, no data mark, no line
// end and no blank at its end (items are trimmed).
bool Transportable(std::string_view data) {
  return machine::FindIgnoreCase(data, kItemSeparator) == std::string_view::npos &&
         machine::FindIgnoreCase(data, kDataMark) == std::string_view::npos &&
         data.find_first_of("\r\n") == std::string_view::npos &&
         (data.empty() || data.back() != ' ');
}

struct Change {
  bool add = false;
  std::string text;  // ADD: the decoded line as delivered; DEL: the name removed
  std::string data;
};

struct Group {
  std::vector<std::string> state;   // as the client holds them
  std::vector<std::string> target;  // as they should be, delivered form
};

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(' ') == std::string_view::npos;
}

std::string GroupKey(Kind kind, const std::string& line) {
  return ToUpper(LineName(DeliveredForm(kind, line)));
}

// Lines of `target` missing from `state` (multisets), in target order; nothing when `state`
// holds a line that `target` lacks.
std::optional<std::vector<std::string>> AddedOnly(std::vector<std::string> state,
                                                  const std::vector<std::string>& target) {
  std::vector<std::string> added;
  for (const std::string& line : target) {
    const auto found = std::find(state.begin(), state.end(), line);
    if (found != state.end())
      state.erase(found);
    else
      added.push_back(line);
  }
  if (!state.empty())
    return std::nullopt;
  return added;
}

// The changes that turn `state` into `target` for one file, group by group: only ADDs when the
// group only grew, else one DEL per distinct name followed by the group's lines.
std::vector<Change> DiffFile(Kind kind, std::string_view file_name,
                             const std::vector<std::string>& state,
                             const std::vector<std::string>& target,
                             std::vector<std::string>& notes) {
  std::map<std::string, Group> groups;
  std::vector<std::string> order;
  auto group = [&](const std::string& key) -> Group& {
    auto [it, inserted] = groups.try_emplace(key);
    if (inserted)
      order.push_back(key);
    return it->second;
  };
  for (const std::string& line : target) {
    if (!IsBlank(line))
      group(GroupKey(kind, line)).target.push_back(DeliveredForm(kind, line));
  }
  for (const std::string& line : state) {
    if (!IsBlank(line))
      group(GroupKey(kind, line)).state.push_back(line);
  }

  std::vector<Change> changes;
  auto add = [&](const std::string& line) {
    const std::string data = AddData(kind, line);
    if (!Transportable(data) || WrittenLine(kind, data) != EncodeText(line)) {
      notes.push_back(std::string(file_name) + ": no package item can carry \"" + line +
                      "\"; left out");
      return;
    }
    changes.push_back({true, line, data});
  };
  for (const std::string& key : order) {
    const Group& g = groups[key];
    std::vector<std::string> delivered;
    for (const std::string& line : g.state)
      delivered.push_back(DeliveredForm(kind, line));
    if (const auto added = AddedOnly(delivered, g.target)) {
      for (const std::string& line : *added)
        add(line);
      continue;
    }
    // A client may hold a line as the release has it or as a package delivered it; the DELs
    // name both forms.
    std::vector<std::string> names;
    for (const std::string& line : g.state) {
      names.push_back(LineName(line));
      names.push_back(LineName(DeliveredForm(kind, line)));
    }
    std::vector<std::string> seen;
    for (const std::string& name : names) {
      if (std::find(seen.begin(), seen.end(), ToUpper(name)) != seen.end())
        continue;
      seen.push_back(ToUpper(name));
      const std::string data = DelData(kind, name);
      if (Transportable(data))
        changes.push_back({false, name, data});
      else
        notes.push_back(std::string(file_name) + ": no package item can remove \"" + name + "\"");
    }
    for (const std::string& line : g.target)
      add(line);
  }
  return changes;
}

// The file lines after the changes, applied the way the merge applies them.
std::vector<std::string> Apply(const std::vector<std::string>& lines,
                               const std::vector<Change>& changes) {
  std::vector<std::string> out = lines;
  for (const Change& change : changes) {
    if (change.add) {
      out.push_back(change.text);
      continue;
    }
    const std::string name = ToUpper(change.text);
    std::erase_if(out, [&](const std::string& line) { return ToUpper(LineName(line)) == name; });
  }
  return out;
}

void AppendItems(Kind kind, const std::vector<Change>& changes, std::string& package) {
  for (const Change& change : changes) {
    if (!package.empty())
      package += kItemSeparator;
    package += EncodeText(KindToken(kind));
    package += change.add ? "|ADD" : "|DEL";
    package += kDataMark;
    package += change.data;
  }
}

}  // namespace

Package BuildUpdatePackage(const DefinitionFiles& from, const DefinitionFiles& to) {
  Package package;
  // EXE items land in FileDefinition.dat as well, so the FILE items are worked out from the
  // file as the EXE items leave it.
  const std::vector<Change> exe =
      DiffFile(Kind::kExe, kDefinitionFileNames[1], from.exe, to.exe, package.notes);
  const std::vector<Change> file =
      DiffFile(Kind::kFile, kDefinitionFileNames[0], Apply(from.file, exe), to.file, package.notes);
  AppendItems(Kind::kExe, exe, package.text);
  AppendItems(Kind::kFile, file, package.text);
  AppendItems(
      Kind::kRegistry,
      DiffFile(Kind::kRegistry, kDefinitionFileNames[2], from.registry, to.registry, package.notes),
      package.text);
  AppendItems(
      Kind::kCookie,
      DiffFile(Kind::kCookie, kDefinitionFileNames[3], from.cookies, to.cookies, package.notes),
      package.text);
  AppendItems(Kind::kDirectory,
              DiffFile(Kind::kDirectory, kDefinitionFileNames[4], from.directory, to.directory,
                       package.notes),
              package.text);
  return package;
}

}  // namespace update_server
