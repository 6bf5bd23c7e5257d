#include "engine/scan/blocked_cookie_line.h"

#include <optional>

#include "engine/definitions/definition_reader.h"
#include "machine/text.h"
#include "services/system.h"

namespace engine {

std::vector<std::string> LoadBlockedCookieList(const services::System& system) {
  std::optional<DefinitionReader> reader = DefinitionReader::Open(system, kBlockedCookiesFile);
  if (!reader)
    return {};
  std::string text;
  std::string line;
  while (reader->ReadLine(line)) {
    text += line;
    text += '|';
    system.Yield();
  }
  if (text.empty())
    return {};
  return machine::Split(text, "|");
}

int32_t BlockedCookieUpperBound(const std::vector<std::string>& list) {
  return list.empty() ? 0 : static_cast<int32_t>(list.size() - 1);
}

bool IsBlockedCookieDomain(const std::vector<std::string>& list, std::string_view domain) {
  if (domain.empty())
    return false;
  for (const std::string& entry : list) {
    if (entry.empty() || entry.find(domain) == std::string::npos)
      continue;
    std::string reduced = entry;
    const size_t dot = reduced.rfind('.');
    if (dot != std::string::npos)
      reduced.erase(dot);
    const size_t star = reduced.find('*');
    if (star != std::string::npos)
      reduced.erase(star, 1);
    if (machine::EqualsIgnoreCase(reduced, domain))
      return true;
  }
  return false;
}

}  // namespace engine
