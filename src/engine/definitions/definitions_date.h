#pragma once
// The definitions date: the first line of date.dat in the program folder, the text form of a
// date and time ("3/16/2006 12:00:00 AM"). Not encoded.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// The date of the definitions the program was built with, in force while date.dat is absent.
inline constexpr std::string_view kDefaultDefinitionsDate = "3/16/2006 12:00:00 AM";

// The first line of date.dat as read (not trimmed). The default date when the file is absent,
// hidden, unreadable or empty (a file of zero bytes has no first line).
std::string ReadDefinitionsDate(model::App& app);

// Makes date.dat hold the text as its only line. The file is replaced in one step, so a failed
// write leaves the previous date in place. False when it could not be written.
bool WriteDefinitionsDate(model::App& app, std::string_view text);

}  // namespace engine
