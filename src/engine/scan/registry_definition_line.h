#pragma once
// One decoded line of RegistryDefinition.dat:
//   root code "^" key path [ "^" value name [ "^" ... ] ] "=" threat name [ "|" type text ]
// The threat part follows the line's last "=", so key paths and value names may hold "=" but
// not "^". An empty value name names the whole key.

#include <string>
#include <string_view>

namespace engine {

struct RegistryDefinitionLine {
  std::string root_code;  // as written; RootKeyFromCode maps it
  std::string key_path;   // as written, blanks kept
  std::string value_name;
  std::string threat_name;  // the threat part (trimmed) up to its first "|"
  std::string type_text;    // the piece after that "|"; "" when there is none
  // False for a line without "=": nothing tells its key part from its threat there.
  bool has_threat_part = false;

  bool IsValueLine() const { return !value_name.empty(); }
  // A blank key path would name the root itself, which no definition means.
  bool HasKeyPath() const;
  // A key path or value name holding a NUL names nothing in the registry.
  bool HoldsRegistryNames() const;
  // The line is looked for (and counted) only when it has its threat part, a key path and
  // names the registry can hold; its root code is mapped separately.
  bool NamesRegistryItem() const { return has_threat_part && HoldsRegistryNames() && HasKeyPath(); }
};

// Fields past the third "^"-separated one are ignored (the update merge closes the key part
// with one more "^"); pieces of the threat part past the second "|" are ignored too.
RegistryDefinitionLine ParseRegistryDefinitionLine(std::string_view decoded_line);
// The same into `line`, whose memory is reused from line to line.
void ParseRegistryDefinitionLine(std::string_view decoded_line, RegistryDefinitionLine& line);

}  // namespace engine
