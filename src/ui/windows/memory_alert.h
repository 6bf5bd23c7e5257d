#pragma once
// The memory alert (frmSpywareFoundAlert): STOP ends the running program the memory shield
// found, ALLOW puts its file name on the ignore list. Either answer, the close box or any other
// unload ends the shield's wait for this alert; a close does nothing to the program.

namespace model {
struct App;
}

namespace ui {

// Skins the window when skinning is on.
void frmSpywareFoundAlert_Form_Load(model::App& app);

// STOP: disables both buttons, marks this alert answered, then ends the detected program by
// its process id once its path is checked again. When it still runs afterwards the user is
// told. An alert that names no detection (opened without the shield) ends nothing. Unloads.
void frmSpywareFoundAlert_cmdYes_Click(model::App& app);

// ALLOW: marks this alert answered and adds the shown file name, trimmed, to the ignore list.
// Unloads.
void frmSpywareFoundAlert_cmdNO_Click(model::App& app);

// However the window goes, it no longer names a detection.
void frmSpywareFoundAlert_Form_Unload(model::App& app);

// Puts the handlers above into the window's slots.
void InstallMemoryAlert(model::App& app);

}  // namespace ui
