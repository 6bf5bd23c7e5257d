#pragma once
// The Qt side of the view tests: one QApplication for the whole run (offscreen unless told
// otherwise), a backend and runtime per test, and a bounded wait for things the event loop
// brings about.

#include <QApplication>
#include <functional>
#include <memory>

#include "forms/runtime.h"
#include "view/qt_backend.h"

namespace view_test {

// Processes events until `condition` holds; false when it still does not after a generous
// bound (a safety net against a hanging test, never a measure of speed).
bool PumpUntil(const std::function<bool()>& condition);

// Runs `answer` on the next modal widget that opens (a message box or a modal window) and that
// `wanted` accepts, from inside its own event loop. Arm it before the action that opens it.
void AnswerNextModal(std::function<void(QWidget&)> answer,
                     std::function<bool(QWidget&)> wanted = nullptr);

// The same for the next modal widget of type T.
template <class T>
void AnswerNext(std::function<void(T&)> answer) {
  AnswerNextModal([answer = std::move(answer)](QWidget& w) { answer(static_cast<T&>(w)); },
                  [](QWidget& w) { return qobject_cast<T*>(&w) != nullptr; });
}

// A Qt backend with a runtime over it.
struct QtRuntime {
  view::QtBackend backend;
  forms::Runtime runtime{backend, "Hearthguard"};
};

}  // namespace view_test
