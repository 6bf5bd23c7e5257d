#include "engine/definitions/update_package.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "services/text_codec.h"

namespace engine {

namespace {

constexpr std::string_view kItemSeparator = "[BR]";
constexpr std::string_view kDataMarker = "[DEF]";
// The longest header that names a kind and an op: four encoded characters, "|" and the op.
constexpr size_t kLongestHeader = 8;

std::optional<PackageKind> KindOf(std::string_view encoded) {
  static constexpr std::array<std::pair<std::string_view, PackageKind>, 6> kKinds = {{
      {"FILE", PackageKind::kFile},
      {"EXE", PackageKind::kExe},
      {"DLL", PackageKind::kDll},
      {"REG", PackageKind::kReg},
      {"COOK", PackageKind::kCook},
      {"DIR", PackageKind::kDir},
  }};
  // Kind tokens are short; anything longer is none of them and need not be decoded.
  if (encoded.size() > 4)
    return std::nullopt;
  const std::string kind = services::DecodeText(encoded);
  for (const auto& [name, value] : kKinds) {
    if (kind == name)
      return value;
  }
  return std::nullopt;
}

std::optional<PackageOp> OpOf(std::string_view op) {
  if (op == "ADD")
    return PackageOp::kAdd;
  if (op == "DEL")
    return PackageOp::kDel;
  return std::nullopt;
}

bool IsSeparatorAt(std::string_view text, size_t at) {
  // "[BR]" ignoring case: only "b" and "r" have another case.
  return text.size() - at >= kItemSeparator.size() && (text[at + 1] | 0x20) == 'b' &&
         (text[at + 2] | 0x20) == 'r' && text[at + 3] == ']';
}

// The text without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text, WorkPacer& pacer) {
  size_t first = text.size();
  pacer.InPieces(text, [&](std::string_view piece) {
    const size_t found = piece.find_first_not_of(' ');
    if (found != std::string_view::npos)
      first = static_cast<size_t>(piece.data() - text.data()) + found;
    return found == std::string_view::npos;
  });
  text.remove_prefix(first);
  while (!text.empty()) {
    const std::string_view tail =
        text.substr(text.size() - std::min(text.size(), WorkPacer::kPiece));
    const size_t found = tail.find_last_not_of(' ');
    if (found != std::string_view::npos)
      return text.substr(0, text.size() - tail.size() + found + 1);
    text.remove_suffix(tail.size());
    pacer.Done(tail.size());
  }
  return text;
}

// Whether the data can stand in one stored line: an encoded line ends only at CR LF, so a lone
// CR or LF (what the codec makes of some characters) is text of the line.
bool FitsInALine(std::string_view data, WorkPacer& pacer) {
  return pacer.InPieces(data, [&](std::string_view piece) {
    const size_t at = static_cast<size_t>(piece.data() - data.data());
    // A CR that ends one piece and an LF that begins the next are a pair as well.
    const std::string_view window = data.substr(at, piece.size() + 1);
    return window.find("\r\n") == std::string_view::npos &&
           piece.find('\0') == std::string_view::npos;
  });
}

std::optional<PackageItem> ParseItem(std::string_view item, size_t position, WorkPacer& pacer) {
  const size_t marker = item.substr(0, kLongestHeader + kDataMarker.size()).find(kDataMarker);
  if (marker == std::string_view::npos)
    return std::nullopt;
  const std::string_view header = item.substr(0, marker);
  const size_t bar = header.find('|');
  if (bar == std::string_view::npos)
    return std::nullopt;
  const std::optional<PackageKind> kind = KindOf(header.substr(0, bar));
  const std::optional<PackageOp> op = OpOf(header.substr(bar + 1));
  const std::string_view data = item.substr(marker + kDataMarker.size());
  if (!kind || !op || !FitsInALine(data, pacer))
    return std::nullopt;
  return PackageItem{*kind, *op, data, position + marker + kDataMarker.size()};
}

}  // namespace

size_t PackageItems::FindSeparator(size_t from) {
  size_t found = std::string_view::npos;
  pacer_.InPieces(package_.substr(from), [&](std::string_view piece) {
    const size_t at = static_cast<size_t>(piece.data() - package_.data());
    // A separator that begins in this piece may end in the next.
    const std::string_view window = package_.substr(at, piece.size() + kItemSeparator.size() - 1);
    for (size_t i = window.find('['); i != std::string_view::npos; i = window.find('[', i + 1)) {
      if (IsSeparatorAt(window, i)) {
        found = at + i;
        return false;
      }
    }
    return true;
  });
  return found;
}

bool PackageItems::Next(PackageItem& item) {
  while (start_ <= package_.size()) {
    size_t end = FindSeparator(start_);
    if (end == std::string_view::npos)
      end = package_.size();
    const std::string_view text = TrimBlanks(package_.substr(start_, end - start_), pacer_);
    pacer_.Done(end - start_);
    start_ = end + kItemSeparator.size();
    if (text.empty())
      continue;
    const size_t position = static_cast<size_t>(text.data() - package_.data());
    if (std::optional<PackageItem> parsed = ParseItem(text, position, pacer_)) {
      item = *parsed;
      return true;
    }
  }
  return false;
}

}  // namespace engine
