#pragma once
// The names of the running programs as the data submission sends them.

#include <string>

namespace model {
struct App;
}

namespace engine {

// The executable names of the running programs, in process-id order, each encoded with
// EncodeText and joined with "|" (no trailing "|"). The system's own processes and the two
// browsers ("System", "System Idle Process", "winlogon.exe", "services.exe", "svchost.exe",
// "explorer.exe", "firefox.exe", "iexplore.exe", compared exactly) are left out; duplicates
// are kept. "" when nothing is left, or when the processes cannot be listed.
std::string GetEncodedProcessList(model::App& app);

}  // namespace engine
