#pragma once
// The memory shield: every 10 seconds (and on every third home-page tick) the running programs
// are compared with ExeDefinition.dat; a listed program found outside a scan is put to the user
// in the memory alert, and the shield waits until that alert is answered or closed.

#include "engine/scan/running_programs.h"

namespace model {
struct App;
}

namespace engine {

// tmrMemoryInspected's tick: one shield run.
void tmrMemoryInspected_Timer(model::App& app);

// One shield run: nothing when "optMemorySheildOn" is off or when no shield tick may start
// (ShieldTickMayStart: another shield tick, a scan, a removal or a Live Update runs). Otherwise
// the run holds the shield tick for itself and the timer group is off around the
// running-program stage. The home-page tick runs it before taking the tick for its own check.
void RunMemoryShield(model::App& app);

// The NT stage's action on a program detected outside a scan: fills and shows the memory alert
// and waits on the message loop until that alert is answered, closed or unloaded. (During a
// scan the stage ends and logs the program itself.)
void AlertAndStopProcess(model::App& app, const DetectedProgram& program);

// Puts the tick into tmrMemoryInspected.
void InstallMemoryShield(model::App& app);

}  // namespace engine
