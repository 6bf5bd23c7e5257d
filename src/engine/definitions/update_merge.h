#pragma once
// Merging an update package into the five definition files: ADD items become encoded lines,
// DEL items remove the lines they name.

#include <cstdint>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

struct UpdateMergeResult {
  // Items applied: each ADD line written counts 1 (an EXE ADD writes two lines), each file that
  // had at least one DEL counts 1. Files that could not be written count nothing.
  int32_t count = 0;
  // A definition file could not be read, written or replaced; it was left exactly as it was.
  bool failed = false;
};

// Rebuilds each definition file that the package touches, in the order FileDefinition.dat,
// ExeDefinition.dat, RegistryDefinition.dat, BlockedCookies.dat, DirectoryDefinition.dat.
// Items apply in package order: an ADD appends its line; a DEL removes every line of its name
// present so far, old or added (names compared ignoring case), so a DEL then an ADD keeps the
// added line and an ADD then a DEL removes both. A file whose last line has no line end gets
// one before anything is appended, and a file with a DEL loses its blank lines. Each file is
// replaced in one step, so an interruption leaves it whole, old or new. Progress goes to the
// download window; the merge yields after each file's ADD items and every 100 lines of a DEL
// pass.
UpdateMergeResult ApplyDefinitionUpdate(model::App& app, std::string_view package);

}  // namespace engine
