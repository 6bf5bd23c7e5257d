#pragma once
// The update server's definitions reply: items separated by "[BR]" (any case), each a header
// (the encoded kind, "|", the op), "[DEF]" and the data, whose characters are encoded except
// the separators "|" and "=".

#include <cstddef>
#include <string_view>

#include "engine/definitions/work_pacer.h"

namespace engine {

enum class PackageKind { kFile, kExe, kDll, kReg, kCook, kDir };
enum class PackageOp { kAdd, kDel };

struct PackageItem {
  PackageKind kind;
  PackageOp op;
  std::string_view data;  // a view into the package text
  // Where the data begins in the package: a later item has a larger one.
  size_t position = 0;
};

// The items of a package in package order, found one at a time so that nothing but the package
// itself is held, and paced however large an item is. Items that are empty, lack "[DEF]" or
// the "|" of their header, name an unknown kind or op, or whose data holds a CR LF pair or a
// NUL (neither can stand inside a stored line) are passed over.
class PackageItems {
 public:
  PackageItems(std::string_view package, WorkPacer& pacer) : package_(package), pacer_(pacer) {}

  // The next item; false after the last.
  bool Next(PackageItem& item);

 private:
  // Where the next separator begins, at or after `from`; npos when none does.
  size_t FindSeparator(size_t from);

  std::string_view package_;
  WorkPacer& pacer_;
  size_t start_ = 0;
};

}  // namespace engine
