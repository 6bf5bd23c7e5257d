#pragma once
// Whole numbers as the user's locale writes them, read from the environment (LC_ALL,
// LC_NUMERIC, LANG) as the standard library does.

#include <cstdint>
#include <string>

namespace machine {

// The number with its digits grouped by the user's locale: its separator and group sizes, and
// its sign. A locale that groups nothing (C, POSIX) or that cannot be loaded gives the US form,
// threes with ",".
std::string FormatGroupedForUser(int64_t value);

}  // namespace machine
