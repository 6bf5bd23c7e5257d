#pragma once
// The home-page alert (frmHomePageChangedAlert): shown modally by the home-page shield with
// its question already written. Yes puts the protected page back, No adopts the new one; a
// close any other way changes nothing, so the next tick asks again.

namespace model {
struct App;
}

namespace ui {

// Shows the product name; skins the window when skinning is on.
void frmHomePageChangedAlert_Form_Load(model::App& app);

// "Yes": restores the protected page, then unloads the window.
void frmHomePageChangedAlert_cmdYes_Click(model::App& app);

// "No": adopts the new page as the protected one, then unloads the window.
void frmHomePageChangedAlert_cmdNo_Click(model::App& app);

// Puts the handlers above into the window's slots.
void InstallHomePageAlert(model::App& app);

}  // namespace ui
