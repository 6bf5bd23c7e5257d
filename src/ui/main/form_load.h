#pragma once
// The main window's load: the program's start-up. The splash window's timer loads the main
// window; this runs then, while the splash window is still on screen, and the timer shows the
// window afterwards.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace ui {

// The application name the start record is kept under, for outside tools to find the program.
inline constexpr std::string_view kStartRecordApplication = "DoziziVararevEvozozuz";

inline constexpr std::string_view kFirstRunTitle = "Live Update Now?";
// The first start on this machine offers Live Update with this question.
std::string FirstRunQuestion(std::string_view product);

// In order: the start record; the splash icon when asked for; the automatic update's idle count
// reset; the end of a second copy of the program (nothing below runs in it); downloaded
// definitions installed, counted, the status labels, the ignore list, the status page; the run
// state; the captions; the timer group off, the schedule, drives and options loaded, the group
// on; the skin; the help file on the user's first start; the automatic update armed; the tray
// when the program was left there; Live Update offered on the machine's first start. A step that
// fails is passed over and the next one runs, so the window always comes up.
void Form_Load(model::App& app);

// Makes Form_Load the main window's load. Closing the main window ends the program while no
// unload step of its own is installed.
void InstallFormLoad(model::App& app);

}  // namespace ui
