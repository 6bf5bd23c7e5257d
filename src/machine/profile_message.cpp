#include "machine/profile_message.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace machine {

namespace {

// The length of the printable UTF-8 character at text[i]; 0 when the byte there starts none.
size_t PrintableCharAt(std::string_view text, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead >= 0x20 && lead < 0x7F)
    return 1;
  size_t length = 0;
  char32_t cp = 0;
  if (lead >= 0xC2 && lead < 0xE0) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4;
    cp = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size())
    return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80)
      return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
    return 0;
  // Control characters, line breaks and the marks that turn the order of text around.
  if (cp < 0xA0 || cp == 0x2028 || cp == 0x2029 || cp == 0x200E || cp == 0x200F ||
      (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF)
    return 0;
  return length;
}

struct Glyph {
  std::string text;  // one printable character or one escape
  size_t width;
};

std::vector<Glyph> Printable(std::string_view text) {
  std::vector<Glyph> glyphs;
  for (size_t i = 0; i < text.size();) {
    if (const size_t length = PrintableCharAt(text, i)) {
      glyphs.push_back({std::string(text.substr(i, length)), 1});
      i += length;
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[i]));
      glyphs.push_back({escape, 4});
      ++i;
    }
  }
  return glyphs;
}

// The whole text, over as many lines as it needs.
void AppendWrapped(std::string& out, std::string_view text) {
  size_t column = 0;
  for (const Glyph& glyph : Printable(text)) {
    if (column + glyph.width > kProfileMessageColumns) {
      out += '\n';
      column = 0;
    }
    out += glyph.text;
    column += glyph.width;
  }
  out += '\n';
}

// The text on one line, cut short when it is longer.
void AppendCut(std::string& out, std::string_view text) {
  const std::vector<Glyph> glyphs = Printable(text);
  size_t width = 0;
  for (const Glyph& glyph : glyphs)
    width += glyph.width;
  size_t column = 0;
  for (const Glyph& glyph : glyphs) {
    if (width > kProfileMessageColumns && column + glyph.width >= kProfileMessageColumns) {
      out += "\u2026";
      break;
    }
    out += glyph.text;
    column += glyph.width;
  }
  out += '\n';
}

}  // namespace

std::string DescribeProfileProblems(const OpenedProfile& opened) {
  std::string out;
  if (!opened.problems.empty()) {
    out += "The machine profile could not be read:\n";
    AppendWrapped(out, opened.chosen.string());
    out += '\n';
    for (size_t i = 0; i < opened.problems.size() && i < kMaxShownProfileProblems; ++i) {
      const ProfileProblem& problem = opened.problems[i];
      AppendCut(out, problem.line == 0
                         ? problem.text
                         : "line " + std::to_string(problem.line) + ": " + problem.text);
    }
    if (opened.problems.size() > kMaxShownProfileProblems)
      out += "and " + std::to_string(opened.problems.size() - kMaxShownProfileProblems) + " more\n";
    out += "\nThe program goes on with the default machine, kept in\n";
    AppendWrapped(out, opened.profile.file.parent_path().string());
  }
  if (!opened.setup_errors.empty()) {
    out += out.empty() ? "" : "\n";
    out += "The default machine could not be made whole:\n";
    for (const std::string& error : opened.setup_errors)
      AppendWrapped(out, error);
  }
  if (!opened.unwritable_data_folder.empty()) {
    out += out.empty() ? "" : "\n";
    out += "The program's data folder cannot be written, so settings will not be kept:\n";
    AppendWrapped(out, opened.unwritable_data_folder.string());
  }
  if (!out.empty())
    out.pop_back();
  return out;
}

}  // namespace machine
