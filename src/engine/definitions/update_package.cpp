#include "engine/definitions/update_package.h"

#include <array>
#include <optional>
#include <utility>

#include "machine/text.h"
#include "services/text_codec.h"

namespace engine {

namespace {

constexpr std::string_view kItemSeparator = "[BR]";
constexpr std::string_view kDataMarker = "[DEF]";

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

std::string_view TrimBlanksView(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<PackageItem> ParseItem(std::string_view item) {
  const size_t marker = item.find(kDataMarker);
  if (marker == std::string_view::npos)
    return std::nullopt;
  const std::string_view header = item.substr(0, marker);
  const size_t bar = header.find('|');
  if (bar == std::string_view::npos)
    return std::nullopt;
  const std::optional<PackageKind> kind = KindOf(header.substr(0, bar));
  const std::optional<PackageOp> op = OpOf(header.substr(bar + 1));
  const std::string_view data = item.substr(marker + kDataMarker.size());
  if (!kind || !op || data.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    return std::nullopt;
  return PackageItem{*kind, *op, data};
}

}  // namespace

std::vector<PackageItem> SplitUpdatePackage(std::string_view package) {
  std::vector<PackageItem> items;
  size_t start = 0;
  while (start <= package.size()) {
    size_t end = machine::FindIgnoreCase(package, kItemSeparator, start);
    if (end == std::string_view::npos)
      end = package.size();
    const std::string_view item = TrimBlanksView(package.substr(start, end - start));
    if (!item.empty()) {
      if (std::optional<PackageItem> parsed = ParseItem(item))
        items.push_back(*parsed);
    }
    start = end + kItemSeparator.size();
  }
  return items;
}

std::string DataName(std::string_view data) {
  return services::DecodeText(data.substr(0, data.find('=')));
}

}  // namespace engine
