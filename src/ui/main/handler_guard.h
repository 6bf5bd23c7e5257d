#pragma once
// Runs a handler's work so that nothing but the program's end leaves it: a handler that fails
// is dropped, as the program skips a failing statement, and the message loop goes on.

#include <functional>

#include "forms/go_on.h"

namespace ui {

// The work as an installable handler.
template <typename Work>
std::function<void()> Guarded(Work work) {
  return [work = std::move(work)] { forms::GoOnPastFailure(work); };
}

}  // namespace ui
