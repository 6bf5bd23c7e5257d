#pragma once
// The working part of a removal: RemoveCheckedItems goes through the main window's three
// target lists (files and folders, registry entries, cookie files) and removes the item of every
// checked row by its kind, filling the removal progress controls. The removal session runs it
// twice: first with bQuarantinePass set, then without, when it also looks for what survived.
//
// What survived the second pass (a file, folder or cookie file still there, a registry entry
// still there, or any row the path or key guard refused) has its row unchecked together with
// its threat's row, so both stay listed; files, folders and cookie files are also listed in the
// delete-failed window, which is shown when there is any.

namespace model {
struct App;
}

namespace removal {

struct RemovalPassResult {
  int removed = 0;    // items moved into the quarantine or deleted from the registry
  int refused = 0;    // checked rows the guards refused
  int leftovers = 0;  // second pass: rows unchecked because their item survived
};

RemovalPassResult RemoveCheckedItems(model::App& app);

}  // namespace removal
