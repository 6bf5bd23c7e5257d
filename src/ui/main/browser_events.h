#pragma once
// The main window's hidden browser control (wbrMain): nothing navigates it, but a page in it
// may still change its status text or ask for a new window.

#include <string>

namespace model {
struct App;
}

namespace ui {

// Refuses every new window a page asks for.
void wbrMain_NewWindow2(model::App& app, bool& cancel);
// lblWebText shows the latest status text, an empty one too.
void wbrMain_StatusTextChange(model::App& app, const std::string& text);

void InstallBrowserEvents(model::App& app);

}  // namespace ui
