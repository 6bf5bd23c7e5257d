#pragma once
// The lines of the update merge as it compares them, without copying them: a stored line of a
// definition file, or the line an ADD item writes, made of pieces of the package. Lines are the
// same when their stored bytes are; names (the decoded text before the first "=") are the same
// ignoring case.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/definitions/work_pacer.h"

namespace engine {

enum class LineForm { kPlain, kRegistry, kCookie };

// The line an ADD item writes, as the parts of its data and the fixed texts it is made of.
class AddedLine {
 public:
  // Nothing for data without the parts its file needs.
  static std::optional<AddedLine> Of(LineForm form, std::string_view data);

  size_t size() const { return size_; }
  bool IsBlank() const;

  // Calls `use` on the stored bytes in pieces of WorkPacer::kPiece (the last one shorter),
  // made in `scratch`, paced; stops when it returns false.
  void ForEachPiece(std::string& scratch, WorkPacer& pacer,
                    const std::function<bool(std::string_view)>& use) const;

 private:
  struct Part {
    std::string_view bytes;
    bool encode_separators;  // "|" and "=" are written encoded
  };
  void Add(std::string_view bytes, bool encode_separators);

  std::array<Part, 5> parts_{};
  size_t count_ = 0;
  size_t size_ = 0;
};

// Comparisons for the merge's tables.
bool SameLine(std::string_view stored, const AddedLine& line, std::string& scratch,
              WorkPacer& pacer);
bool SameLine(const AddedLine& a, const AddedLine& b, std::string& scratch, WorkPacer& pacer);

// The encoded name of a stored line (its bytes before the encoded "="), and of an item's data
// (before its plain "=").
std::string_view StoredLineName(std::string_view stored);
std::string_view DataName(std::string_view data);
// The encoded name of an ADD's stored line, into `name`.
void AddedLineName(const AddedLine& line, std::string& scratch, WorkPacer& pacer,
                   std::string& name);
// The hash of a name, with a seed of this run so that no package can be made to collide.
uint32_t NameHash(std::string_view encoded_name, WorkPacer& pacer);
bool SameName(std::string_view a, std::string_view b, WorkPacer& pacer);
// The hash of a whole line as stored, seeded the same way, so that lines of one name spread
// like lines of different names: an ADD's line, and a stored line together with its name's.
uint32_t LineHash(const AddedLine& line, std::string& scratch, WorkPacer& pacer);
struct StoredLineHashes {
  uint32_t name;  // NameHash(StoredLineName(stored))
  uint32_t line;
};
StoredLineHashes HashStoredLine(std::string_view stored, WorkPacer& pacer);

}  // namespace engine
