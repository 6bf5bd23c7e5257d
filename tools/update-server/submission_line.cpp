#include <string_view>

#include "machine/encoding.h"
#include "services/text_codec.h"
#include "update_server.h"

namespace update_server {

namespace {

constexpr std::string_view kCutMark = " ... (cut)";

// A submitted name as the terminal may show it: decoded, control characters (escape sequences
// included, and the five codes Windows-1252 leaves undefined, which map to C1 controls) shown
// as "?".
std::string Printable(std::string_view encoded) {
  std::string name = services::DecodeText(encoded);
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
        byte == 0x9D) {
      c = '?';
    }
  }
  return machine::Windows1252ToUtf8(name);
}

}  // namespace

std::string SubmissionLine(const std::vector<std::string>& names) {
  std::string line = "Submitted:";
  for (const std::string& name : names)
    line += " [" + Printable(name) + "]";
  size_t characters = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const bool starts_character = (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
    if (starts_character && ++characters > kLongestSubmissionLine)
      return line.substr(0, i) + std::string(kCutMark);
  }
  return line;
}

}  // namespace update_server
