#pragma once
// The shares the progress display shows.

#include <cstdint>
#include <optional>

namespace engine {

// The stages work their shares out in one of two orders, which round differently when a share
// lies just at a half.
enum class PercentOrder {
  kDivideFirst,    // done / total x 100
  kMultiplyFirst,  // 100 x done / total
};

// The share of `done` in `total` in percent, rounded halves to even into 16 bits. Nothing when
// total is 0 or the share does not fit: each caller then does what its stage does with a share
// it cannot work out.
std::optional<int16_t> PercentOf(double done, double total,
                                 PercentOrder order = PercentOrder::kDivideFirst);

}  // namespace engine
