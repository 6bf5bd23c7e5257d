#include "engine/definitions/live_update.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>

#include "engine/definitions/definitions_date.h"
#include "engine/definitions/server_date_reply.h"
#include "engine/definitions/status_labels.h"
#include "engine/definitions/update_merge.h"
#include "machine/date_time.h"
#include "machine/http.h"
#include "machine/machine.h"
#include "machine/update_server_url.h"
#include "model/app.h"
#include "model/download_window.h"
#include "services/http_fetch.h"

namespace engine {

namespace {

// The package request's date value, escaped like every query value.
std::string PackageDate(const machine::DateTime& local) {
  return machine::EncodeQueryValue(machine::FormatGeneralDate(local));
}

machine::DateTime LocalDefinitionsDate(model::App& app) {
  if (std::optional<machine::DateTime> local = machine::ParseGeneralDate(ReadDefinitionsDate(app)))
    return *local;
  return *machine::ParseGeneralDate(kDefaultDefinitionsDate);
}

std::string FetchWithProgress(model::App& app, const std::string& url) {
  return services::HttpGetStringProgress(
      app.system, url, [&app](const std::string& text) { model::SetDownloadStatus(app, text); });
}

UpdateMergeResult Merge(model::App& app, std::string_view package) {
  try {
    return ApplyDefinitionUpdate(app, package);
  } catch (const std::bad_alloc&) {
    return {.count = 0, .failed = true, .reason = std::strerror(ENOMEM)};
  } catch (const std::length_error&) {
    return {.count = 0, .failed = true, .reason = std::strerror(ENOMEM)};
  }
}

// Records the new definitions date; false when date.dat could not be written.
bool StoreDefinitionsDate(model::App& app, const machine::DateTime& date) {
  const std::string text = machine::FormatGeneralDate(date);
  if (!WriteDefinitionsDate(app, text))
    return false;
  app.frmMain.lblDefVersion.SetCaption(text + " PST");
  RefreshLastUpdateLabel(app);
  return true;
}

// The main window was closed during a download (the program lives on under the browser
// window): the update stops before its next step.
bool ClosedMeanwhile(const model::App& app) {
  return app.frmMain.EverUnloaded();
}

}  // namespace

LiveUpdateUrls BuildLiveUpdateUrls(model::App& app) {
  const machine::VersionInfo& version = app.machine.version();
  const std::string base = machine::UpdateServerUrl(app.machine.profile());
  const std::string names = "prog=" + machine::EncodeQueryValue(version.product_name) +
                            "&comp=" + machine::EncodeQueryValue(version.company_name);
  return {.current_date = base + "/asp/currentDate.asp?" + names,
          .package = base + "/asp/getDefs.asp?" + names + "&date=",
          .new_date = base + "/asp/date.asp"};
}

LiveUpdateOutcome CheckForDefinitionUpdates(model::App& app) {
  const LiveUpdateUrls urls = BuildLiveUpdateUrls(app);
  app.frmDownload->Show();
  model::SetDownloadStatus(app, kConnectingStatus);
  app.system.Yield();

  const machine::DateTime local = LocalDefinitionsDate(app);
  const std::optional<machine::DateTime> server =
      ParseServerDateReply(FetchWithProgress(app, urls.current_date));
  if (!server || ClosedMeanwhile(app))
    return {.count = 0, .failed = true, .save_error = {}};
  if (*server <= local)
    return {};

  const std::string package = FetchWithProgress(app, urls.package + PackageDate(local));
  if (package.empty() || ClosedMeanwhile(app))
    return {.count = 0, .failed = true, .save_error = {}};
  const UpdateMergeResult merged = Merge(app, package);
  LiveUpdateOutcome outcome{.count = merged.count,
                            .failed = merged.failed || merged.count == 0,
                            .save_error = merged.reason};
  if (merged.count > 0 && !merged.failed) {
    const std::optional<machine::DateTime> new_date =
        ParseServerDateReply(services::HttpGetString(app.system, urls.new_date));
    // A date earlier than the one that fetched this package would fetch it again next time.
    if (!StoreDefinitionsDate(app, std::max(*server, new_date.value_or(*server))))
      outcome.failed = true;
  }
  return outcome;
}

}  // namespace engine
