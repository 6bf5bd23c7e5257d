#pragma once
// The help launcher (Form8): a window without size or content whose load opens the help file
// from the program folder with the desktop's default program.

namespace model {
struct App;
}

namespace ui {

// When Help.chm is in the program folder: opens it and saves "showHelp" = "0" machine-wide.
// Otherwise nothing.
void Form8_Form_Load(model::App& app);
// Opens mshelp.chm from the program folder in the same way, saving nothing.
void OpenHelpFile(model::App& app);

void InstallHelpLauncher(model::App& app);

}  // namespace ui
