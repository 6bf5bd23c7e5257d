#pragma once
// Live Update's progress text in the download window.

#include <string_view>

namespace model {
struct App;
}

namespace engine {

// Sets the download window's status text while the window is loaded. Once the user has closed
// it (Cancel) the update goes on without it: the text is dropped and the window stays closed.
void SetDownloadStatus(model::App& app, std::string_view text);

}  // namespace engine
