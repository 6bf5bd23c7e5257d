#include "machine/update_server_url.h"

#include <cstdlib>
#include <string_view>

#include "machine/text.h"

namespace machine {

namespace {

bool IsHttpAddress(std::string_view text) {
  return StartsWithIgnoreCase(text, "http://") || StartsWithIgnoreCase(text, "https://");
}

}  // namespace

std::string UpdateServerUrl(const Profile& profile) {
  std::string url = profile.update_server_url;
  if (const char* chosen = std::getenv(kUpdateServerVariable);
      chosen != nullptr && IsHttpAddress(chosen)) {
    url = chosen;
  }
  while (!url.empty() && url.back() == '/')
    url.pop_back();
  return url;
}

}  // namespace machine
