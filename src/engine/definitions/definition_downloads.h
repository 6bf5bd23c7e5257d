#pragma once
// Whole definition files fetched from the support site into the downloaded replacements that
// the start-up installs, and the list of the site's definition addresses. Nothing in the
// program calls the downloads.

#include <cstdint>
#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// The web-site text that stands for a reseller site not yet set; the support list then uses
// the maker's server instead.
inline constexpr std::string_view kPlaceholderWebsite = "www.yourwebsite.example";

// The support site's address from the web-site text: the maker's server (the configured update
// server) for the placeholder; otherwise the text without "http://" (any case), cut after its
// host with every "/" removed, "www." put in front when it has none, then "http://".
std::string SupportBaseUrl(model::App& app, std::string_view website);

// The eight lines of the support list, each the base and one address, each ended by CR LF.
std::string SupportListText(std::string_view base);

// Each fetches one definition file from strUpdateBaseUrl into "DL" and its name in the program
// folder, showing its status text first. On success the version is saved under the file's
// settings key; on failure a critical message box says so.
void DownloadRegistryDefinitions(model::App& app, int32_t version);
void DownloadFileDefinitions(model::App& app, int32_t version);
void DownloadExeDefinitions(model::App& app, int32_t version);
void DownloadCookieDefinitions(model::App& app, int32_t version);

}  // namespace engine
