#include "engine/definitions/definition_downloads.h"

#include <array>

#include "engine/definitions/definition_reader.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "machine/update_server_url.h"
#include "model/app.h"
#include "model/download_window.h"
#include "model/timer_group.h"
#include "services/http_fetch.h"
#include "services/prompts.h"
#include "services/settings_store.h"

namespace engine {

namespace {

struct DefinitionDownload {
  std::string_view file;
  std::string_view status;
  std::string_view settings_key;
  std::string_view failure;
};

constexpr std::string_view kFailure =
    "Definitions could not be downloaded. Please check your internet connection.";
constexpr std::string_view kFailureTwoBlanks =
    "Definitions could not be downloaded.  Please check your internet connection.";

constexpr DefinitionDownload kRegistry{kRegistryDefinitionFile,
                                       "Getting Registry Definitions... please wait...",
                                       "RegistryDefinition", kFailure};
constexpr DefinitionDownload kFile{kFileDefinitionFile,
                                   "Getting File Definitions... please wait...", "FileDefinition",
                                   kFailureTwoBlanks};
constexpr DefinitionDownload kExe{kExeDefinitionFile,
                                  "Getting Executable Definitions... please wait...",
                                  "EXEDefinition", kFailureTwoBlanks};
constexpr DefinitionDownload kCookie{kBlockedCookiesFile,
                                     "Getting Cookie Definitions... please wait...",
                                     "CookieDefinition", kFailureTwoBlanks};

constexpr std::array<std::string_view, 8> kSupportPaths = {
    "/definitions/version/R.HTM",           "/definitions/version/F.HTM",
    "/definitions/version/E.HTM",           "/definitions/version/C.HTM",
    "/definitions/data/BlockedCookies.dat", "/definitions/data/RegistryDefinition.dat",
    "/definitions/data/FileDefinition.dat", "/definitions/data/ExeDefinition.dat",
};

std::string DataPath(std::string_view file) {
  return "/definitions/data/" + std::string(file);
}

void Download(model::App& app, const DefinitionDownload& download, int32_t version) {
  model::SetDownloadStatus(app, download.status);
  app.system.Yield();
  const std::string url = app.definitions.strUpdateBaseUrl + DataPath(download.file);
  const std::string target =
      ProgramFolderFile(app.system, std::string(kDownloadedPrefix) + std::string(download.file));
  if (services::DownloadFile(app.system, url, target)) {
    services::WriteSetting(app.system, app.SettingsApplication(), model::kOptionsSection,
                           download.settings_key, std::to_string(version));
  } else {
    app.runtime.MsgBox(download.failure, services::vbCritical, app.ProductName());
  }
}

}  // namespace

std::string SupportBaseUrl(model::App& app, std::string_view website) {
  if (website == kPlaceholderWebsite)
    return machine::UpdateServerUrl(app.machine.profile());
  std::string host = machine::ReplaceIgnoreCase(website, "http://", "");
  if (const size_t slash = host.find('/'); slash != std::string::npos)
    host = machine::ReplaceAll(host.substr(0, slash + 1), "/", "");
  if (host.find("www.") == std::string::npos)
    host = "www." + host;
  return "http://" + host;
}

std::string SupportListText(std::string_view base) {
  std::string text;
  for (std::string_view path : kSupportPaths)
    text.append(base).append(path).append("\r\n");
  return text;
}

void DownloadRegistryDefinitions(model::App& app, int32_t version) {
  Download(app, kRegistry, version);
}
void DownloadFileDefinitions(model::App& app, int32_t version) {
  Download(app, kFile, version);
}
void DownloadExeDefinitions(model::App& app, int32_t version) {
  Download(app, kExe, version);
}
void DownloadCookieDefinitions(model::App& app, int32_t version) {
  Download(app, kCookie, version);
}

}  // namespace engine
