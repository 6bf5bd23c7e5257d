#include "engine/scan/registry_definition_line.h"

#include "machine/registry.h"
#include "machine/text.h"

namespace engine {

bool RegistryDefinitionLine::HasKeyPath() const {
  return !machine::TrimBlanksView(key_path).empty();
}

bool RegistryDefinitionLine::HoldsRegistryNames() const {
  return machine::IsRegistryName(key_path) && machine::IsRegistryName(value_name);
}

RegistryDefinitionLine ParseRegistryDefinitionLine(std::string_view decoded_line) {
  RegistryDefinitionLine line;
  ParseRegistryDefinitionLine(decoded_line, line);
  return line;
}

void ParseRegistryDefinitionLine(std::string_view decoded_line, RegistryDefinitionLine& line) {
  const size_t equals = decoded_line.rfind('=');
  std::string_view key_part = decoded_line.substr(0, equals);
  line.has_threat_part = equals != std::string_view::npos;
  for (std::string* field : {&line.key_path, &line.value_name, &line.threat_name, &line.type_text})
    field->clear();
  if (line.has_threat_part) {
    const std::string_view threat_part = machine::TrimBlanksView(decoded_line.substr(equals + 1));
    const size_t bar = threat_part.find('|');
    line.threat_name = threat_part.substr(0, bar);
    if (bar != std::string_view::npos) {
      const std::string_view rest = threat_part.substr(bar + 1);
      line.type_text = rest.substr(0, rest.find('|'));
    }
  }

  std::string* const fields[] = {&line.root_code, &line.key_path, &line.value_name};
  for (std::string* field : fields) {
    const size_t caret = key_part.find('^');
    field->assign(key_part.substr(0, caret));
    if (caret == std::string_view::npos)
      break;
    key_part.remove_prefix(caret + 1);
  }
}

}  // namespace engine
