#pragma once
// The update server's definitions reply: items separated by "[BR]" (any case), each a header
// (the encoded kind, "|", the op), "[DEF]" and the data, whose characters are encoded except
// the separators "|" and "=".

#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class PackageKind { kFile, kExe, kDll, kReg, kCook, kDir };
enum class PackageOp { kAdd, kDel };

struct PackageItem {
  PackageKind kind;
  PackageOp op;
  std::string_view data;  // a view into the package text
};

// The items of a package in package order. Items that are empty, lack "[DEF]" or the "|" of
// their header, name an unknown kind or op, or whose data holds CR, LF or NUL (it would write
// stray lines) are left out.
std::vector<PackageItem> SplitUpdatePackage(std::string_view package);

// The name of a DEL entry or of an ADD's data: the decoded text before its first "=".
std::string DataName(std::string_view data);

}  // namespace engine
