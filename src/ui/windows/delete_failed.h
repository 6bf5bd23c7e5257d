#pragma once
// The delete-failed window (frmDelete): the files a removal could not delete. It is loaded
// hidden at start-up and stays loaded; "Ok" and the close box only hide it, so its list keeps
// its rows for the next showing.

#include "forms/form.h"

namespace model {
struct App;
}
namespace services {
class Clipboard;
}

namespace ui {

// Skins the window when skinning is on; nothing else.
void frmDelete_Form_Load(model::App& app);

// "Ok": hides the window.
void frmDelete_Command1_Click(model::App& app);

// "Copy List": empties the clipboard, then puts on it every row's path, each followed by
// CR LF. An empty list leaves the clipboard empty. When the clipboard cannot be taken it is
// left as it was.
void frmDelete_Command2_Click(model::App& app, services::Clipboard& clipboard);

// The close box hides the window instead of unloading it; the program's own unloads go
// through.
void frmDelete_Form_QueryUnload(model::App& app, int& cancel, forms::UnloadMode mode);

// Puts the handlers above into the window's slots. The clipboard must outlive the window.
void InstallDeleteFailed(model::App& app, services::Clipboard& clipboard);

}  // namespace ui
