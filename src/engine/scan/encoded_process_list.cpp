#include "engine/scan/encoded_process_list.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/app.h"
#include "services/processes.h"
#include "services/text_codec.h"

namespace engine {

namespace {

constexpr std::array<std::string_view, 8> kLeftOut = {
    "System",      "System Idle Process", "winlogon.exe", "services.exe",
    "svchost.exe", "explorer.exe",        "firefox.exe",  "iexplore.exe",
};

}  // namespace

std::string GetEncodedProcessList(model::App& app) {
  std::vector<std::string> names;
  std::vector<uint32_t> ids;
  if (services::GetProcessList(app.system, names, ids, "", true) <= 0)
    return "";
  std::string list;
  for (const std::string& name : names) {
    if (std::find(kLeftOut.begin(), kLeftOut.end(), name) != kLeftOut.end())
      continue;
    if (!list.empty())
      list += '|';
    list += services::EncodeText(name);
  }
  return list;
}

}  // namespace engine
