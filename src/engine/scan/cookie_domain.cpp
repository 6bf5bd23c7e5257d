#include "engine/scan/cookie_domain.h"

#include <algorithm>
#include <optional>

#include "machine/machine.h"
#include "machine/text.h"
#include "services/file_paths.h"
#include "services/system.h"

namespace engine {

namespace {

// The items of a text read as delimited input: blanks before an item are skipped; a quoted item
// is the text between its quotes (it may hold commas); any other item runs to the next comma or
// line end, its trailing blanks dropped. CR LF is one line end.
class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : text_(text) {}

  bool Next(std::string& item) {
    if (pos_ >= text_.size())
      return false;
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
      ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      const size_t close = text_.find('"', pos_ + 1);
      const size_t end = close == std::string_view::npos ? text_.size() : close;
      item.assign(text_.substr(pos_ + 1, end - pos_ - 1));
      pos_ = std::min(end + 1, text_.size());
      SkipPast(text_.find_first_of(",\r\n", pos_));
      return true;
    }
    const size_t end = text_.find_first_of(",\r\n", pos_);
    item = machine::TrimRightBlanks(text_.substr(pos_, end - pos_));
    SkipPast(end);
    return true;
  }

 private:
  // Moves past the delimiter at `at` (CR LF together).
  void SkipPast(size_t at) {
    if (at == std::string_view::npos) {
      pos_ = text_.size();
      return;
    }
    pos_ = at + 1;
    if (text_[at] == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
      ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

std::string GetCookieSiteFromFileName(std::string_view name) {
  const size_t at = name.find('@');
  if (at == std::string_view::npos)
    return "";
  const std::string_view rest = name.substr(at + 1);
  size_t end = rest.find('(');
  if (end == std::string_view::npos)
    end = rest.find('[');
  if (end == std::string_view::npos)
    end = rest.rfind('.');
  if (end == std::string_view::npos)
    return "";
  return std::string(rest.substr(0, end));
}

std::string GetCookieDomain(const services::System& system, std::string_view path) {
  const std::string site = GetCookieSiteFromFileName(services::GetFileNamePart(path));
  if (site.empty() || !services::FileExists(system, path))
    return std::string(kNoCookieDomain);
  const std::optional<std::string> text =
      system.machine.files().ReadFile(path, machine::ReadCap::kCookieFile);
  if (!text)
    return std::string(kNoCookieDomain);
  ItemReader items(*text);
  std::string item;
  while (items.Next(item)) {
    const size_t found = item.find(site);
    if (found != std::string::npos) {
      const std::string_view from_site = std::string_view(item).substr(found);
      const size_t slash = from_site.find('/');
      if (slash != std::string_view::npos)
        return std::string(from_site.substr(0, slash));
    }
    system.Yield();
  }
  return std::string(kNoCookieDomain);
}

std::string ReduceCookieDomain(std::string_view domain) {
  const size_t dot = domain.rfind('.');
  if (dot != std::string_view::npos)
    domain = domain.substr(0, dot);
  if (machine::StartsWithIgnoreCase(domain, "www."))
    domain.remove_prefix(4);
  return std::string(domain);
}

}  // namespace engine
