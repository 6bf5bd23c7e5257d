#pragma once
// Message boxes and the open-file dialog as the program asks for them: the vb* style word turned
// into a QMessageBox, the button pressed turned back into a vb* answer, and the program's file
// filter turned into Qt's.

#include <QMessageBox>
#include <QString>
#include <memory>
#include <string_view>

#include "forms/backend.h"

namespace view {

// Buttons, icon, default button, title and text from the request. Not shown yet.
std::unique_ptr<QMessageBox> MakeMessageBox(const forms::MessageBoxRequest& request,
                                            QWidget* parent);

// The vb* answer for the button the user pressed. A box closed without a button press (the
// program ended under it) answers with its escape button, or its first button.
int MessageBoxAnswer(const QMessageBox& box);

// "Text files (*.txt)|*.txt|All files (*.*)|*.*" -> "Text files (*.txt);;All files (*)".
QString QtFileFilter(std::string_view filter);

}  // namespace view
