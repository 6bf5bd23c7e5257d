#pragma once
// Definition files as tests write and read them: decoded lines in, stored (encoded, CR LF)
// text out, and back.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "machine/text.h"
#include "services/text_codec.h"

namespace hg_test {

inline std::string StoredFile(const std::vector<std::string>& decoded_lines) {
  std::string text;
  for (const std::string& line : decoded_lines)
    text += services::EncodeText(line) + "\r\n";
  return text;
}

inline std::vector<std::string> DecodedLines(std::string_view stored) {
  std::vector<std::string> lines = machine::Split(stored, "\r\n");
  if (!lines.empty() && lines.back().empty())
    lines.pop_back();
  for (std::string& line : lines)
    line = services::DecodeText(line);
  return lines;
}

inline std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// One package item: the kind encoded, the op, "[DEF]" and the data encoded but for "|" and "=".
inline std::string Item(std::string_view kind, std::string_view op, std::string_view data) {
  std::string encoded = services::EncodeText(data);
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '|' || data[i] == '=')
      encoded[i] = data[i];
  }
  return services::EncodeText(kind) + "|" + std::string(op) + "[DEF]" + encoded;
}

inline std::string Package(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items)
    text += (text.empty() ? "" : "[BR]") + item;
  return text;
}

}  // namespace hg_test
