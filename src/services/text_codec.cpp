#include "services/text_codec.h"

namespace services {

std::string EncodeText(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    int c = static_cast<unsigned char>(ch) + 64;
    if (c > 255)
      c -= 255;
    ch = static_cast<char>(c);
  }
  return out;
}

std::string DecodeText(std::string_view text) {
  std::string out(text);
  DecodeTextInPlace(out);
  return out;
}

void DecodeTextInPlace(std::string& text) {
  for (char& ch : text) {
    int c = static_cast<unsigned char>(ch) - 64;
    if (c < 0)
      c += 255;
    ch = static_cast<char>(c);
  }
}

}  // namespace services
