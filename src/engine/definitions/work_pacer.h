#pragma once
// Long work on the user-interface thread, paced so that no event waits on it for long: the work
// tells how many bytes it went through, and now and then the pacer yields to the message loop.

#include <chrono>
#include <cstddef>
#include <string_view>

#include "services/system.h"

namespace engine {

class WorkPacer {
 public:
  // The most bytes handled in one piece, and between two looks at the clock.
  static constexpr size_t kPiece = 64 * 1024;

  explicit WorkPacer(services::System& system) : system_(system) {}

  // Notes `bytes` of work done; yields when the work has gone on for a while since the last yield.
  void Done(size_t bytes);
  // A yield the work made of its own accord: the time starts anew.
  void Yield();

  // Calls `use` on the bytes piece by piece, noting each as done; stops early when it returns
  // false, and returns false then.
  template <typename Use>
  bool InPieces(std::string_view bytes, Use&& use) {
    while (!bytes.empty()) {
      const std::string_view piece = bytes.substr(0, kPiece);
      if (!use(piece))
        return false;
      bytes.remove_prefix(piece.size());
      Done(piece.size());
    }
    return true;
  }

 private:
  using Clock = std::chrono::steady_clock;

  services::System& system_;
  Clock::time_point last_yield_ = Clock::now();
  size_t since_look_ = 0;
};

}  // namespace engine
