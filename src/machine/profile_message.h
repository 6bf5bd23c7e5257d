#pragma once
// The text that tells the user why the chosen machine profile is not used.

#include <cstddef>
#include <string>

#include "machine/profile.h"

namespace machine {

inline constexpr size_t kMaxShownProfileProblems = 20;
inline constexpr size_t kProfileMessageColumns = 96;

// "" when the chosen profile is used, nothing of the default machine failed and the data folder
// can be written. Otherwise the whole path of the profile, at most the first
// kMaxShownProfileProblems problems in line order, and where the program goes on, then the data
// folder when it cannot be written, in UTF-8 lines of at most kProfileMessageColumns characters
// (long paths go on over several lines, a long problem is cut short). Bytes that cannot be shown
// appear as \xHH.
std::string DescribeProfileProblems(const OpenedProfile& opened);

}  // namespace machine
