#pragma once
// Live Update's exchange with the update server: the server's definitions date, the package of
// changes since the local date, the merge and the new date.

#include <cstdint>
#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// Shown in the download window while the first request runs.
inline constexpr std::string_view kConnectingStatus =
    "Connecting to the definition server, please wait.";

struct LiveUpdateOutcome {
  // Package items applied (UpdateMergeResult::count); 0 when nothing was newer or fetched.
  int32_t count = 0;
  // The update did not complete: the server's date could not be fetched or read, the server
  // had newer definitions that could not be fetched or applied, or a file could not be
  // written. Only an outcome that neither failed nor applied anything means "up to date".
  bool failed = false;
  // The package came but could not be merged into the definition files (nothing changed): the
  // system's reason. Empty otherwise.
  std::string save_error;
};

// The three request URLs on the configured update server. The product and company names are
// the executable's, escaped by machine::EncodeQueryValue; the date of the package request is
// appended by the caller, escaped the same way.
struct LiveUpdateUrls {
  std::string current_date;  // ".../asp/currentDate.asp?prog=..&comp=.."
  std::string package;       // ".../asp/getDefs.asp?prog=..&comp=..&date="
  std::string new_date;      // ".../asp/date.asp"
};
LiveUpdateUrls BuildLiveUpdateUrls(model::App& app);

// Shows the download window, asks the server for its date and, when it is later than the local
// definitions date (a local date that does not read as one counts as the default date), fetches
// the package of changes since the local date and merges it. After items were applied it writes
// the server's new date (the first reply's date when the last one does not read as a date or is
// earlier) to date.dat and shows it in lblDefVersion and lblLastUpdate.
LiveUpdateOutcome CheckForDefinitionUpdates(model::App& app);

}  // namespace engine
