#include "machine/encoding.h"

#include <array>
#include <cstdint>

namespace machine {

namespace {

// Code points of 0x80..0x9F; the rest of the page matches Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(unsigned char c) {
  return c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c;
}

std::optional<unsigned char> ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
    return static_cast<unsigned char>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp)
      return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view text) {
  if (IsAscii(text))
    return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    const char32_t cp = CodePointOf(static_cast<unsigned char>(c));
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
  if (IsAscii(text))
    return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      length = 1;
      cp = lead;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      length = 2;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      length = 3;
      cp = lead & 0x0F;
    } else {
      return std::nullopt;  // four-byte forms have no Windows-1252 character anyway
    }
    if (i + length > text.size())
      return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80)
        return std::nullopt;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
      return std::nullopt;
    const std::optional<unsigned char> byte = ByteOf(cp);
    if (!byte)
      return std::nullopt;
    out.push_back(static_cast<char>(*byte));
    i += length;
  }
  return out;
}

std::string HostTextToWindows(std::string_view host_text) {
  std::optional<std::string> converted = Utf8ToWindows1252(host_text);
  return converted ? std::move(*converted) : std::string(host_text);
}

}  // namespace machine
