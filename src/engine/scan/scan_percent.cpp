#include "engine/scan/scan_percent.h"

#include "machine/text.h"

namespace engine {

std::optional<int16_t> PercentOf(double done, double total, PercentOrder order) {
  if (total == 0)
    return std::nullopt;
  const double share =
      order == PercentOrder::kDivideFirst ? done / total * 100 : 100 * done / total;
  int16_t percent = 0;
  if (!machine::RoundHalfEvenToInt16(share, percent))
    return std::nullopt;
  return percent;
}

}  // namespace engine
