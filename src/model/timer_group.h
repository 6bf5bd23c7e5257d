#pragma once
// The timer group of the main window: the scheduler check and the two shields, switched
// together from the stored options. Every long operation (scan, removal, Live Update, each
// shield tick) switches the group off when it starts and on when it ends.

#include <string_view>

namespace model {

struct App;

inline constexpr std::string_view kOptionsSection = "OptionAndSettings";

// On: each group timer runs as its stored option says, read afresh ("chkAutomaticScanYesOrNo"
// not 0 for the scheduler, "optIEHomePageSheildOn" and "optMemorySheildOn" true for the
// shields). A scheduler value that is not a number stops the scheduler; a shield value that is
// not a truth value runs the shield. Never touches tmrTimeOut, tmrScroll or timUpdate.
// Off: stops the three group timers and tmrTimeOut.
void ApplyTimerSettings(App& app, bool on);

// A shield's option ("optIEHomePageSheildOn", "optMemorySheildOn") as the group switch reads it:
// default "True"; a value that is not a truth value counts as on.
bool ShieldOptionOn(App& app, std::string_view key);

// The panel switch: the four flags have no effect on this window; it stops tmrScroll.
void ShowPanels(App& app, bool startup, bool options, bool results, bool sweep);

// tmrScroll's tick: yields to the message loop once.
void tmrScroll_Timer(App& app);
// tmrTimeOut's tick: nothing; the timer only runs from a scan's end to the next "off".
void tmrTimeOut_Timer(App& app);

// Puts the two ticks above into the main window's timers.
void InstallTimerGroupTicks(App& app);

}  // namespace model
