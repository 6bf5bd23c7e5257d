#include "engine/definitions/server_date_reply.h"

#include "machine/text.h"

namespace engine {

std::string CleanServerDateReply(std::string_view reply) {
  std::string text;
  for (const char c : machine::TrimBlanks(reply)) {
    if (c != '\t' && c != '\r' && c != '\n')
      text.push_back(c);
  }
  for (const std::string_view marker : {"PM", "AM"}) {
    const size_t at = machine::FindIgnoreCase(text, marker);
    if (at != std::string::npos) {
      text.erase(at + marker.size());
      break;
    }
  }
  return text;
}

std::optional<machine::DateTime> ParseServerDateReply(std::string_view reply) {
  return machine::ParseGeneralDate(CleanServerDateReply(reply));
}

}  // namespace engine
