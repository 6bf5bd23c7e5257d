#pragma once
// Merging an update package into the five definition files: ADD items become encoded lines,
// DEL items remove the lines they name.

#include <cstdint>
#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

struct UpdateMergeResult {
  // Items applied: each ADD item counts 1 (an EXE ADD writes two lines and counts 2), each file
  // that had at least one DEL counts 1. 0 when the merge failed.
  int32_t count = 0;
  // A definition file could not be read, written or replaced, or would have grown past what the
  // program reads; every file was left exactly as it was.
  bool failed = false;
  // Why it failed, as the system words it ("No space left on device").
  std::string reason;
};

// Rebuilds each definition file that the package touches, in the order FileDefinition.dat,
// ExeDefinition.dat, RegistryDefinition.dat, BlockedCookies.dat, DirectoryDefinition.dat, and
// makes those that are missing, so that afterwards all five exist. Items apply in package order:
// an ADD appends its line, or moves that very line to the end when the file holds it already; a
// DEL removes every line of its name present so far, old or added (names compared ignoring
// case), so a DEL then an ADD keeps the added line and an ADD then a DEL removes both. Applying
// a package a second time thus changes nothing. A file with a DEL loses its blank lines. Every
// new file is written whole beside the old one before the first is put in place, so a failure
// changes nothing and an interruption leaves each file whole, old or new. Progress goes to the
// download window; the merge yields after each file's ADD items, every 100 lines of a DEL pass,
// and whenever a large package or file has kept it busy for a while.
UpdateMergeResult ApplyDefinitionUpdate(model::App& app, std::string_view package);

}  // namespace engine
