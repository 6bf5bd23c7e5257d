#pragma once
// The update server's answer to a definitions date request, as Live Update reads it.

#include <optional>
#include <string>
#include <string_view>

#include "machine/date_time.h"

namespace engine {

// The reply trimmed of blanks, every Tab, CR and LF removed, then cut after its first "PM" or,
// when it holds none, after its first "AM" (both found ignoring case). Whatever a server adds
// after the time (a time zone, say) is dropped that way.
std::string CleanServerDateReply(std::string_view reply);

// The cleaned reply read as a date; nothing when it does not read as one.
std::optional<machine::DateTime> ParseServerDateReply(std::string_view reply);

}  // namespace engine
