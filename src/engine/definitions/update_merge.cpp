#include "engine/definitions/update_merge.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/merge_lines.h"
#include "engine/definitions/update_package.h"
#include "engine/definitions/work_pacer.h"
#include "machine/file_system.h"
#include "machine/machine.h"
#include "machine/whole_file_read.h"
#include "model/app.h"
#include "model/download_window.h"

namespace engine {

namespace {

// Scratch name of the merge in the program folder; only removed here, never read, so lines
// left in it by an interrupted run cannot come back.
constexpr std::string_view kScratchFile = "temp.dat";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kApplyingStatus = "Applying new updates...";
constexpr int kLinesPerStatus = 100;
constexpr size_t kWriteBuffer = size_t{1} << 20;

struct Pass {
  std::string_view file;
  std::initializer_list<PackageKind> kinds;
  LineForm form;
};

constexpr size_t kPassCount = 5;

const std::array<Pass, kPassCount>& Passes() {
  static const std::array<Pass, kPassCount> kPasses = {{
      {kFileDefinitionFile,
       {PackageKind::kFile, PackageKind::kExe, PackageKind::kDll},
       LineForm::kPlain},
      {kExeDefinitionFile, {PackageKind::kExe}, LineForm::kPlain},
      {kRegistryDefinitionFile, {PackageKind::kReg}, LineForm::kRegistry},
      {kBlockedCookiesFile, {PackageKind::kCook}, LineForm::kCookie},
      {kDirectoryDefinitionFile, {PackageKind::kDir}, LineForm::kPlain},
  }};
  return kPasses;
}

bool TakesKind(const Pass& pass, PackageKind kind) {
  for (PackageKind taken : pass.kinds) {
    if (taken == kind)
      return true;
  }
  return false;
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(' ') == std::string_view::npos;
}

struct PassCounts {
  size_t adds = 0;  // ADD items whose line can be built
  size_t dels = 0;
};

std::array<PassCounts, kPassCount> CountItems(std::string_view package, WorkPacer& pacer) {
  std::array<PassCounts, kPassCount> counts{};
  PackageItems items(package, pacer);
  for (PackageItem item; items.Next(item);) {
    for (size_t p = 0; p < kPassCount; ++p) {
      if (!TakesKind(Passes()[p], item.kind))
        continue;
      if (item.op == PackageOp::kDel)
        ++counts[p].dels;
      else if (AddedLine::Of(Passes()[p].form, item.data))
        ++counts[p].adds;
    }
  }
  return counts;
}

// Package items found by a key they hold (a name, or a whole line): for each key, the last item
// of the package that holds it. Sized for the items it will hold, so nothing grows while it
// fills.
class LastItemTable {
 public:
  struct Item {
    size_t position;  // in the package
    size_t size;      // of what the key is read from there
  };

  // Zeroed pages cost nothing until used, so a large table is not all set up in one go.
  explicit LastItemTable(size_t items)
      : size_(items + items / 2 + 1),
        slots_(static_cast<Slot*>(std::calloc(size_, sizeof(Slot))), &std::free) {
    if (!slots_)
      throw std::bad_alloc();
  }

  // `same` tells whether the key read from a held item is the one looked for.
  template <typename Same>
  std::optional<Item> Find(uint32_t hash, Same&& same) const {
    const Slot& slot = slots_[SlotOf(hash, same)];
    if (slot.position_plus_one == 0)
      return std::nullopt;
    return Item{slot.position_plus_one - size_t{1}, slot.size};
  }
  // Holds the item for its key, in place of an earlier one with that key.
  template <typename Same>
  void Put(uint32_t hash, const Item& item, Same&& same) {
    slots_[SlotOf(hash, same)] = {static_cast<uint32_t>(item.position + 1),
                                  static_cast<uint32_t>(item.size), hash};
  }

 private:
  struct Slot {
    uint32_t position_plus_one = 0;  // 0: empty
    uint32_t size = 0;
    uint32_t hash = 0;
  };

  // The slot that holds the key, or the empty one where it would go.
  template <typename Same>
  size_t SlotOf(uint32_t hash, Same& same) const {
    size_t index = static_cast<size_t>((uint64_t{hash} * size_) >> 32);
    while (true) {
      const Slot& slot = slots_[index];
      if (slot.position_plus_one == 0 ||
          (slot.hash == hash && same(Item{slot.position_plus_one - size_t{1}, slot.size})))
        return index;
      index = index + 1 == size_ ? 0 : index + 1;
    }
  }

  size_t size_;
  std::unique_ptr<Slot[], decltype(&std::free)> slots_;
};

// The new content of a definition file on its way to its temporary file: never larger than the
// program reads a definition file, so that what it writes it can read back.
class NewContent {
 public:
  explicit NewContent(machine::FileSystem::ReplacementSet& replacement)
      : replacement_(replacement) {}

  bool Append(std::string_view bytes) {
    size_ += bytes.size();
    if (size_ > machine::ReadCap::kDefinitionFile) {
      errno = EFBIG;
      return false;
    }
    buffer_.append(bytes);
    return buffer_.size() < kWriteBuffer || Flush();
  }
  bool Flush() {
    const bool written = replacement_.Write(buffer_);
    buffer_.clear();
    return written;
  }

 private:
  machine::FileSystem::ReplacementSet& replacement_;
  std::string buffer_;
  uint64_t size_ = 0;
};

// One file's merge: the file's own lines without those the package deletes or adds again, then
// the package's ADD lines in package order, each once, without those deleted after it.
class PassMerge {
 public:
  PassMerge(model::App& app, const Pass& pass, std::string_view package, const PassCounts& counts,
            WorkPacer& pacer)
      : app_(app),
        pass_(pass),
        package_(package),
        has_del_(counts.dels > 0),
        pacer_(pacer),
        deleted_(counts.dels),
        added_(counts.adds) {}

 private:
  // Defined before their first use, which deduces their types.
  auto SameDeletedName(std::string_view name) {
    return [this, name](const LastItemTable::Item& held) {
      return SameName(package_.substr(held.position, held.size), name, pacer_);
    };
  }
  template <typename Line>
  auto SameAddedLine(const Line& line) {
    return [this, &line](const LastItemTable::Item& held) {
      const std::optional<AddedLine> held_line =
          AddedLine::Of(pass_.form, package_.substr(held.position, held.size));
      return held_line && SameLine(line, *held_line, scratch_, pacer_);
    };
  }

 public:
  // The last DEL of each name and the last ADD of each line.
  void Gather() {
    PackageItems items(package_, pacer_);
    for (PackageItem item; items.Next(item);) {
      if (!TakesKind(pass_, item.kind))
        continue;
      if (item.op == PackageOp::kDel) {
        const std::string_view name = DataName(item.data);
        deleted_.Put(NameHash(name, pacer_), {item.position, name.size()}, SameDeletedName(name));
      } else if (const std::optional<AddedLine> line = AddedLine::Of(pass_.form, item.data)) {
        added_.Put(LineHash(*line, scratch_, pacer_), {item.position, item.data.size()},
                   SameAddedLine(*line));
      }
    }
  }

  bool Write(std::string_view old_content, NewContent& out) {
    size_t start = 0;
    while (start < old_content.size()) {
      size_t end = old_content.find(kLineEnd, start);
      if (end == std::string_view::npos)
        end = old_content.size();
      const std::string_view line = old_content.substr(start, end - start);
      start = end + kLineEnd.size();
      if (Kept(line) && !(out.Append(line) && out.Append(kLineEnd)))
        return false;
    }
    PackageItems items(package_, pacer_);
    for (PackageItem item; items.Next(item);) {
      if (!TakesKind(pass_, item.kind) || item.op != PackageOp::kAdd)
        continue;
      const std::optional<AddedLine> line = AddedLine::Of(pass_.form, item.data);
      if (line && Written(*line, item.position) && !WriteLine(*line, out))
        return false;
    }
    return out.Flush();
  }

 private:
  // A DEL pass shows the running line number every 100 lines, the added ones included.
  void CountLine() {
    if (!has_del_ || ++line_number_ % kLinesPerStatus != 0)
      return;
    model::SetDownloadStatus(
        app_, "Removing outdated definitions: checking entry " + std::to_string(line_number_));
    pacer_.Yield();
  }

  bool Kept(std::string_view line) {
    CountLine();
    if (has_del_ && IsBlankLine(line))
      return false;
    const std::string_view name = StoredLineName(line);
    const StoredLineHashes hashes = HashStoredLine(line, pacer_);
    if (has_del_ && deleted_.Find(hashes.name, SameDeletedName(name)))
      return false;
    // The same line added again goes where the package puts it, once.
    return !added_.Find(hashes.line, SameAddedLine(line));
  }

  bool Written(const AddedLine& line, size_t position) {
    CountLine();
    if (has_del_) {
      AddedLineName(line, scratch_, pacer_, name_);
      const std::optional<LastItemTable::Item> del =
          deleted_.Find(NameHash(name_, pacer_), SameDeletedName(name_));
      if ((del && del->position > position) || line.IsBlank())
        return false;
    }
    const std::optional<LastItemTable::Item> last =
        added_.Find(LineHash(line, scratch_, pacer_), SameAddedLine(line));
    return last && last->position == position;
  }

  bool WriteLine(const AddedLine& line, NewContent& out) {
    bool written = true;
    line.ForEachPiece(scratch_, pacer_, [&](std::string_view piece) {
      written = out.Append(piece);
      return written;
    });
    return written && out.Append(kLineEnd);
  }

  model::App& app_;
  const Pass& pass_;
  std::string_view package_;
  bool has_del_;
  WorkPacer& pacer_;
  LastItemTable deleted_;
  LastItemTable added_;
  int32_t line_number_ = 0;
  std::string scratch_;
  std::string name_;
};

// The file's present content; "" when it does not exist yet, nothing when it cannot be read.
std::optional<std::string> ReadDefinitionFile(model::App& app, const std::string& path) {
  const machine::FileSystem& files = app.machine.files();
  const std::optional<machine::EntryInfo> entry = files.Query(path);
  if (!entry)
    return std::string();
  if (entry->is_folder) {
    errno = EISDIR;
    return std::nullopt;
  }
  return files.ReadFile(path, machine::ReadCap::kDefinitionFile);
}

// The step that failed left its reason in errno; one that failed without a system call failing
// gets a general one.
UpdateMergeResult Failed(int error) {
  return {.count = 0, .failed = true, .reason = std::strerror(error != 0 ? error : EIO)};
}

}  // namespace

UpdateMergeResult ApplyDefinitionUpdate(model::App& app, std::string_view package) {
  // Package positions are kept in 32 bits.
  if (package.size() >= std::numeric_limits<uint32_t>::max())
    return Failed(EFBIG);
  machine::FileSystem& files = app.machine.files();
  WorkPacer pacer(app.system);
  model::SetDownloadStatus(app, std::string(kApplyingStatus));
  const std::array<PassCounts, kPassCount> counts = CountItems(package, pacer);
  machine::FileSystem::ReplacementSet replacement(files);
  UpdateMergeResult result;
  bool any_del = false;
  for (size_t p = 0; p < kPassCount; ++p) {
    const Pass& pass = Passes()[p];
    const std::string path = ProgramFolderFile(app.system, pass.file);
    std::optional<PassMerge> merge;
    if (counts[p].adds > 0 || counts[p].dels > 0) {
      merge.emplace(app, pass, package, counts[p], pacer);
      merge->Gather();
    }
    model::SetDownloadStatus(app, std::string(kApplyingStatus));
    pacer.Yield();
    // A file the package has nothing for is left alone, but made when missing: after a merge
    // the set is whole.
    if (!merge && files.Query(path))
      continue;
    errno = 0;
    const std::optional<std::string> old_content = ReadDefinitionFile(app, path);
    if (!old_content || !replacement.Start(path))
      return Failed(errno);
    NewContent out(replacement);
    if (merge && !merge->Write(*old_content, out))
      return Failed(errno);
    result.count += static_cast<int32_t>(counts[p].adds) + (counts[p].dels > 0 ? 1 : 0);
    any_del = any_del || counts[p].dels > 0;
  }
  errno = 0;
  if (!replacement.Commit())
    return Failed(errno);
  if (any_del)
    files.DeleteFile(ProgramFolderFile(app.system, kScratchFile));
  return result;
}

}  // namespace engine
