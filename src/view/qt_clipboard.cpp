#include "view/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "view/qt_text.h"

namespace view {

namespace {

QClipboard* DesktopClipboard() {
  return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

bool QtClipboard::Clear() {
  QClipboard* clipboard = DesktopClipboard();
  if (!clipboard)
    return false;
  clipboard->clear(QClipboard::Clipboard);
  return true;
}

bool QtClipboard::SetText(std::string_view text) {
  QClipboard* clipboard = DesktopClipboard();
  if (!clipboard)
    return false;
  clipboard->setText(ToQStringLines(text), QClipboard::Clipboard);
  return true;
}

}  // namespace view
