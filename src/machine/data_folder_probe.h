#pragma once
// Whether the user's data folder takes new files, found by making one there.

#include <filesystem>

namespace machine {

// Makes `folder` when it is missing, then creates and removes a hidden file in it. False when
// either fails: nothing can be kept there.
bool FolderTakesNewFiles(const std::filesystem::path& folder);

}  // namespace machine
