#pragma once
// BlockedCookies.dat: one blocked web domain per line (stored encoded), possibly with a "*".

#include <string>
#include <string_view>
#include <vector>

namespace services {
struct System;
}

namespace engine {

// The decoded lines, each followed by "|", split on "|": after a file of n lines (none holding
// "|") the list has n entries and one more, empty, at its end. An absent or empty file gives the
// empty list. Yields after each line.
std::vector<std::string> LoadBlockedCookieList(const services::System& system);

// The list's last index as the cookie stage counts with it: the number of lines, 0 when empty.
int32_t BlockedCookieUpperBound(const std::vector<std::string>& list);

// True when an entry holding the domain (exact, case-sensitive) matches it once the entry has
// lost its last "."-separated label and its first "*" (compared ignoring case). An empty entry
// or an empty domain never matches: either would block every cookie whose file names no
// proper host.
bool IsBlockedCookieDomain(const std::vector<std::string>& list, std::string_view domain);

}  // namespace engine
