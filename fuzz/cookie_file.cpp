// A cookie file in the user's cookie folder: the input's first line is the file's name, the rest
// its content. The cookie stage's reading of it: the site from the name, the domain from the
// items, then the blocked-list test.

#include <string>
#include <vector>

#include "engine/scan/blocked_cookie_line.h"
#include "engine/scan/cookie_domain.h"
#include "engine/scan/cookie_stage.h"
#include "model/app.h"
#include "support/fuzz_app.h"
#include "support/fuzz_machine.h"

namespace {

constexpr int kCookiesCsidl = 33;
constexpr size_t kMaxNameSize = 120;

// A name a folder can hold: no separators, no NUL, not empty.
std::string FileName(std::string_view raw) {
  std::string name(raw.substr(0, kMaxNameSize));
  for (char& c : name) {
    if (c == '\\' || c == '/' || c == '\0')
      c = '_';
  }
  return name.empty() || name == "." || name == ".." ? "user@x.txt" : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  model::App& app = hg_fuzz::SharedApp();
  static const std::string folder = engine::GetSpecialFolderNoSlash(app.system, kCookiesCsidl);
  static const std::vector<std::string> blocked = {"example.com", "*tracker.net",
                                                   "www.ads.example.org", ""};
  const std::string_view input = hg_fuzz::AsText(data, size);
  const size_t line_end = input.find('\n');
  const std::string name = FileName(input.substr(0, line_end));
  const std::string_view content =
      line_end == std::string_view::npos ? std::string_view() : input.substr(line_end + 1);
  const std::string path = folder + "\\" + name;
  if (!hg_fuzz::PlantFile(path, content))
    return 0;

  const std::string domain = engine::GetCookieDomain(app.system, path);
  if (domain != engine::kNoCookieDomain) {
    const std::string site = engine::GetCookieSiteFromFileName(name);
    HG_FUZZ_CHECK(domain.find('/') == std::string::npos, domain);
    HG_FUZZ_CHECK(domain.compare(0, site.size(), site) == 0, domain);
  }
  engine::IsBlockedCookieDomain(blocked, engine::ReduceCookieDomain(domain));
  hg_fuzz::RemovePlantedFile(path);
  return 0;
}
