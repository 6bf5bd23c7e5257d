#pragma once
// Ending running programs before their files are quarantined (the removal), and by name when
// the memory shield or the stop alert asks. Every matching program is ended, not only the first
// one listed, and success means that none is left: a program that survives every attempt, or
// one the path guard protects (the program's own folder), makes the result False.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace removal {

class PathGuard;

// Ends every running program whose executable name matches `exe_name`: the name and the
// listed process name are both reduced (a name longer than 15 characters to its first 15,
// otherwise to its upper-cased text before the first "."; the executable name twice), and the
// short form (".exe" removed, the first 6 characters upper-cased, "~1" appended) matches too,
// letter case ignored. Each is attempted up to eleven times. True when no matching program is
// left running (also when none ran); False too when the programs cannot be listed.
bool KillProcessByExeName(model::App& app, std::string_view exe_name);

// Ends every running program whose executable is the file at `exe_path` (its real location,
// letter case ignored); a same-named program elsewhere is left alone. True when none is left.
// A path the guard refuses ends nothing and gives False.
bool KillProcessByExePath(model::App& app, const PathGuard& guard, std::string_view exe_path);

// The name rules, for the matching above.
std::string ShortExeName(std::string_view exe_name);
std::string ReduceProcessName(std::string_view name);

}  // namespace removal
