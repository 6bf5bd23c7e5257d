#include "machine/registry_import.h"

#include <vector>

#include "machine/text.h"

namespace machine {

namespace {

struct Line {
  int number = 0;
  std::string text;
};

struct Change {
  enum Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = kCreateKey;
  int line = 0;
  RegHandle root = 0;
  std::string key;
  std::string name;
  uint32_t type = kRegNone;
  std::string data;
};

// Logical lines: "\r" dropped, a line ending in "\" joined with the next (its leading blanks
// dropped), blank lines and comments skipped.
std::vector<Line> ReadLines(std::string_view text) {
  std::vector<Line> lines;
  std::string pending;
  int pending_start = 0;
  int number = 0;
  for (std::string raw : Split(text, "\n")) {
    ++number;
    if (!raw.empty() && raw.back() == '\r')
      raw.pop_back();
    std::string part = TrimRightBlanks(pending.empty() ? raw : TrimLeftBlanks(raw));
    if (pending.empty())
      pending_start = number;
    const bool continues = !part.empty() && part.back() == '\\';
    if (continues)
      part.pop_back();
    pending += part;
    if (continues)
      continue;
    const std::string line = TrimLeftBlanks(pending);
    if (!line.empty() && line[0] != ';')
      lines.push_back({pending_start, line});
    pending.clear();
  }
  if (!pending.empty())
    lines.push_back({pending_start, TrimLeftBlanks(pending)});
  return lines;
}

bool Fail(std::string& error, int line, const std::string& message) {
  error = "line " + std::to_string(line) + ": " + message;
  return false;
}

// A quoted text starting at text[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out, std::string& problem) {
  out.clear();
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (pos + 1 >= text.size() || (text[pos + 1] != '\\' && text[pos + 1] != '"')) {
        problem = "a backslash in quotes must be written \\\\ or stand before a quote";
        return false;
      }
      ++pos;
    }
    out += text[pos];
  }
  problem = "missing closing quote";
  return false;
}

bool ParseHexBytes(std::string_view list, std::string& out) {
  out.clear();
  const std::string trimmed = TrimBlanks(list);
  if (trimmed.empty())
    return true;
  for (const std::string& item : Split(trimmed, ",")) {
    uint32_t v = 0;
    if (!ParseHex(TrimBlanks(item), 2, v))
      return false;
    out += static_cast<char>(v);
  }
  return true;
}

bool ParseData(std::string_view data, Change& change, std::string& problem) {
  const std::string text = TrimBlanks(data);
  if (text == "-") {
    change.kind = Change::kDeleteValue;
    return true;
  }
  change.kind = Change::kSetValue;
  if (!text.empty() && text[0] == '"') {
    size_t pos = 0;
    if (!ReadQuoted(text, pos, change.data, problem))
      return false;
    if (pos != text.size()) {
      problem = "text after the closing quote";
      return false;
    }
    change.type = kRegSz;
    change.data += '\0';
    return true;
  }
  if (StartsWithIgnoreCase(text, "dword:")) {
    uint32_t v = 0;
    if (!ParseHex(std::string_view(text).substr(6), 8, v)) {
      problem = "dword: needs 1 to 8 hexadecimal digits";
      return false;
    }
    change.type = kRegDword;
    for (int i = 0; i < 4; ++i)
      change.data += static_cast<char>((v >> (8 * i)) & 0xFF);
    return true;
  }
  if (StartsWithIgnoreCase(text, "hex")) {
    size_t colon = text.find(':');
    std::string_view kind =
        std::string_view(text).substr(3, colon == std::string::npos ? 0 : colon - 3);
    change.type = kRegBinary;
    if (!kind.empty()) {
      uint32_t type = 0;
      if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')' ||
          !ParseHex(kind.substr(1, kind.size() - 2), 8, type)) {
        problem = "hex type must be written hex(N):";
        return false;
      }
      change.type = type;
    }
    if (colon == std::string::npos || !ParseHexBytes(text.substr(colon + 1), change.data)) {
      problem = "hex data must be bytes of two hexadecimal digits separated by commas";
      return false;
    }
    return true;
  }
  problem = "unknown value data";
  return false;
}

bool ParseKeyHeader(const Line& line, Change& change, std::string& error) {
  const size_t close = line.text.rfind(']');
  if (close == std::string::npos || !TrimBlanks(line.text.substr(close + 1)).empty())
    return Fail(error, line.number, "a key line must end with \"]\"");
  std::string_view inner = std::string_view(line.text).substr(1, close - 1);
  change.kind = Change::kCreateKey;
  if (!inner.empty() && inner[0] == '-') {
    change.kind = Change::kDeleteKey;
    inner.remove_prefix(1);
  }
  const size_t slash = inner.find('\\');
  const std::string_view root_name = inner.substr(0, slash);
  const auto root = RootKeyByName(root_name);
  if (!root)
    return Fail(error, line.number, "unknown root \"" + std::string(root_name) + "\"");
  change.root = *root;
  change.key = slash == std::string_view::npos ? "" : std::string(inner.substr(slash + 1));
  if (change.kind == Change::kDeleteKey && change.key.empty())
    return Fail(error, line.number, "a root cannot be deleted");
  return true;
}

bool ParseValueLine(const Line& line, const Change& key, Change& change, std::string& error) {
  change.root = key.root;
  change.key = key.key;
  size_t pos = 0;
  std::string problem;
  if (line.text[0] == '@') {
    pos = 1;
  } else if (!ReadQuoted(line.text, pos, change.name, problem)) {
    return Fail(error, line.number, problem);
  }
  while (pos < line.text.size() && line.text[pos] == ' ')
    ++pos;
  if (pos >= line.text.size() || line.text[pos] != '=')
    return Fail(error, line.number, "\"=\" expected after the value name");
  if (!ParseData(std::string_view(line.text).substr(pos + 1), change, problem))
    return Fail(error, line.number, problem);
  return true;
}

bool Parse(std::string_view text, std::vector<Change>& changes, std::string& error) {
  const std::vector<Line> lines = ReadLines(text);
  if (lines.empty() || lines[0].text != "REGEDIT4")
    return Fail(error, lines.empty() ? 1 : lines[0].number, "the text must begin with REGEDIT4");
  const Change* key = nullptr;  // the last key header, unless it deleted the key
  size_t key_index = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    const Line& line = lines[i];
    Change change;
    change.line = line.number;
    if (line.text[0] == '[') {
      if (!ParseKeyHeader(line, change, error))
        return false;
      changes.push_back(std::move(change));
      key_index = changes.size() - 1;
      key = changes.back().kind == Change::kCreateKey ? &changes[key_index] : nullptr;
      continue;
    }
    if (line.text[0] != '"' && line.text[0] != '@')
      return Fail(error, line.number, "a key line \"[...]\" or a value line expected");
    if (!key)
      return Fail(error, line.number, "a value line must follow a key line");
    if (!ParseValueLine(line, *key, change, error))
      return false;
    changes.push_back(std::move(change));
    key = &changes[key_index];  // push_back may have moved it
  }
  return true;
}

int32_t Apply(Registry& registry, const Change& change) {
  RegHandle key = 0;
  int32_t status = kRegSuccess;
  switch (change.kind) {
    case Change::kDeleteKey:
      status = registry.DeleteKeyTree(change.root, change.key);
      return status == kRegNotFound ? kRegSuccess : status;
    case Change::kCreateKey:
      status = registry.CreateKey(change.root, change.key, key);
      break;
    case Change::kSetValue:
      status = registry.CreateKey(change.root, change.key, key);
      if (status == kRegSuccess)
        status = registry.SetValue(key, change.name, change.type, change.data);
      break;
    case Change::kDeleteValue:
      status = registry.OpenKey(change.root, change.key, key);
      if (status == kRegSuccess)
        status = registry.DeleteValue(key, change.name);
      if (status == kRegNotFound)
        status = kRegSuccess;
      break;
  }
  if (key != 0)
    registry.CloseKey(key);
  return status;
}

}  // namespace

bool ImportRegedit4(Registry& registry, std::string_view text, std::string& error) {
  std::vector<Change> changes;
  if (!Parse(text, changes, error))
    return false;
  for (const Change& change : changes) {
    if (const int32_t status = Apply(registry, change); status != kRegSuccess)
      return Fail(error, change.line,
                  "the registry refused the change (status " + std::to_string(status) + ")");
  }
  return true;
}

}  // namespace machine
