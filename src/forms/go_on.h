#pragma once
// Start-up, layout and close steps go on past a step that fails: one bad file, a window that
// will not unload or a setting that cannot be written must not keep the rest from running, and
// nothing may cross into the message loop. Ending the program is no failure.

#include <exception>

#include "forms/runtime.h"

namespace forms {

template <typename Step>
void GoOnPastFailure(Step&& step) {
  try {
    step();
  } catch (const ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    // The next step runs.
  }
}

}  // namespace forms
