#pragma once
// What the end of a scan hands to other parts of the program. Each is reached through the slot
// its owner fills, so the scan runs whole while a slot is still empty (an empty slot does
// nothing):
// - the report: app.hooks.MakeReport;
// - the results page: the click handler of cmdRemove ("Click Here to Continue");
// - checking every threat row: the click handler of cmdSelectAll;
// - the removal: the click handler of Command4 ("Delete"), which asks nothing while
//   bAutoDeleteAfterScan is set.
// A handler is called as code calls it, not as a user click: it runs even while its control is
// hidden or disabled.

#include <functional>

namespace ui {

inline void CallHandler(const std::function<void()>& handler) {
  if (handler)
    handler();
}

}  // namespace ui
