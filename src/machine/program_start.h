#pragma once
// Starting an outside program (the desktop's opener of files and folders) detached from this
// one. The program and its arguments are an argument list handed over as they are: no shell
// reads them, so no path can ever be taken for a command.

#include <chrono>
#include <string>
#include <vector>

namespace machine {

// Starts argv[0] (looked up on the PATH unless it holds a "/") with the other elements as its
// arguments, in a session of its own, reading from /dev/null and holding none of this
// process's other descriptors. A short-lived go-between starts it and watches it for at most
// `verdict_within`, then is reaped, so the program belongs to the system, which reaps it when
// it ends. False when it could not be started (not found, not executable, no process left) or
// ended with a failure within that time; a program still running then counts as started.
bool StartDetached(const std::vector<std::string>& argv,
                   std::chrono::milliseconds verdict_within = std::chrono::milliseconds(0));

}  // namespace machine
