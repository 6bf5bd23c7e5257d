#pragma once
// The one global instance of a window, reached the way the program's logic reaches it:
// touching it (->, *, Get) loads it first when it is not loaded, and its load step runs.
// Peek, Loaded and Unload look at it without loading it.

#include <utility>

#include "forms/form.h"

namespace forms {

template <class T>
class FormInstance {
 public:
  template <class... Args>
  explicit FormInstance(Args&&... args) : form_(std::forward<Args>(args)...) {}

  T* operator->() { return &Get(); }
  T& operator*() { return Get(); }
  T& Get() {
    form_.Load();
    return form_;
  }

  // The window as it is, loaded or not (for checks and for the view).
  T& Peek() { return form_; }
  const T& Peek() const { return form_; }
  bool Loaded() const { return form_.Loaded(); }
  // Unloads when loaded; never loads.
  bool Unload(UnloadMode mode = UnloadMode::kFormCode) { return form_.Unload(mode); }

 private:
  T form_;
};

}  // namespace forms
