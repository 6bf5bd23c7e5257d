#include "engine/scan/exe_definition_line.h"

namespace engine {

std::string_view ExeNameField(std::string_view decoded_line) {
  return decoded_line.substr(0, decoded_line.find('='));
}

std::optional<std::string_view> ExeFolderField(std::string_view decoded_line) {
  const size_t equals = decoded_line.find('=');
  if (equals == std::string_view::npos)
    return std::nullopt;
  std::string_view rest = decoded_line.substr(equals + 1);
  rest = rest.substr(0, rest.find('='));
  const size_t bar = rest.find('|');
  if (bar == std::string_view::npos)
    return rest;
  rest.remove_prefix(bar + 1);
  return rest.substr(0, rest.find('|'));
}

}  // namespace engine
