#pragma once
// Sending a suspect file's name and the running programs to the update server.

namespace model {
struct App;
}

namespace ui {

void InstallDataSubmission(model::App& app);

}  // namespace ui
