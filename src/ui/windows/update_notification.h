#pragma once
// The update notification (frmSignatureUpdated): rises out of the taskbar at the bottom right of
// the screen, stays seven seconds, sinks and closes itself; "OK" closes it at once. Live Update
// shows it with its outcome through model::ShowUpdateNotification.

namespace model {
struct App;
}

namespace ui {

// The after-load text, the placement at the taskbar's edge, the slide up started, the memory
// alert's answered flag cleared, the labels skinned.
void frmSignatureUpdated_Form_Load(model::App& app);
// Every 10 ms: 20 twips up until the target top is reached, then the hold starts.
void frmSignatureUpdated_tmrPopupSignatureUpdate_Timer(model::App& app);
// After 7 s: the slide down starts.
void frmSignatureUpdated_tmrEnablePopDownTimer_Timer(model::App& app);
// Every 10 ms: 40 twips down; past a fixed bottom the window closes as "OK" does.
void frmSignatureUpdated_tmrPopDown_Timer(model::App& app);
// "OK": saves "SHOW" = "false", takes the download window's tray icon out and unloads.
void frmSignatureUpdated_cmdUpdateSuccesfullOK_Click(model::App& app);

void InstallUpdateNotification(model::App& app);

}  // namespace ui
