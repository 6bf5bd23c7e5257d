#pragma once
// What the profile's writer and reader agree on.

#include <cstddef>

namespace machine {

// The longest line of a profile, without its line end: room for a host path of the longest
// length the host allows, with its key.
inline constexpr size_t kMaxProfileLine = 8192;

// The largest profile file that is read.
inline constexpr size_t kMaxProfileSize = 1 << 20;

}  // namespace machine
