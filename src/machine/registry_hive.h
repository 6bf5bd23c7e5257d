#pragma once
// One hive file: the SQLite database behind some of the registry's roots, with its prepared
// statements. Keys are rows addressed by their folded full path ("HKEY_LOCAL_MACHINE\SOFTWARE"),
// so opening a key of any depth is one indexed look-up. Statuses are Win32 codes.

#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "machine/registry.h"

namespace machine {

class RegistryHive {
 public:
  // Opens the hive file holding `roots`, creating it when missing. A file that is not such a
  // hive is refused and left untouched; `error` then names it.
  static std::unique_ptr<RegistryHive> Open(const std::filesystem::path& file,
                                            std::span<const RegHandle> roots, std::string& error);
  ~RegistryHive();
  RegistryHive(const RegistryHive&) = delete;
  RegistryHive& operator=(const RegistryHive&) = delete;

  // The row of a root key (fixed in every hive file).
  static int64_t RootId(RegHandle root);

  int32_t FindKey(std::string_view path, int64_t& id);
  int32_t KeyExists(int64_t id);
  // Creates what is missing of `names` below the key `parent` at `parent_path`, in one
  // transaction; `id` is the last key's row.
  int32_t CreateKeys(int64_t parent, std::string_view parent_path,
                     std::span<const std::string_view> names, int64_t& id, bool& created);
  // `data` stays valid until the next call on this hive.
  int32_t GetValue(int64_t key, std::string_view folded, uint32_t& type, std::string_view& data);
  // The value's type and size alone. Within a snapshot a key's few values are listed once, so
  // that asking for several of them (found or not) costs one statement.
  int32_t GetValueSize(int64_t key, std::string_view folded, uint32_t& type, uint32_t& size);
  // Replaces the value's type and data; a new value takes `name` as its spelling.
  int32_t SetValue(int64_t key, std::string_view name, std::string_view folded, uint32_t type,
                   std::string_view data);
  int32_t DeleteValue(int64_t key, std::string_view folded);
  // The key at `path` and everything below it, in one transaction, while the key `owner` the
  // path was given under still exists.
  int32_t DeleteTree(int64_t owner, std::string_view path);
  int32_t SubKeyAt(int64_t parent, uint32_t index, std::string& name);
  int32_t ValueAt(int64_t key, uint32_t index, std::string& name, uint32_t& type,
                  std::string& data);

  // Reads between BeginRead and EndRead see one snapshot of the file, which saves a
  // transaction per statement. A snapshot older than kMaxSnapshot is renewed, and every change
  // ends it first, so this connection always sees its own changes.
  void BeginRead();
  void EndRead();

  void SetBusyTimeout(int milliseconds);

  static constexpr std::chrono::milliseconds kMaxSnapshot{100};

 private:
  enum Statement {
    kFindKey,
    kKeyExists,
    kInsertKey,
    kGetValue,
    kSetValue,
    kDeleteValue,
    kDeleteTreeValues,
    kDeleteTreeKeys,
    kSubKeyAt,
    kValueAt,
    kValueSizes,
    kBegin,
    kBeginRead,
    kCommit,
    kRollback,
    kStatementCount,
  };

  explicit RegistryHive(sqlite3* db) : db_(db) {}
  // Prepares the statements for a hive of layout `version`.
  bool Prepare(int version, std::string& error);
  sqlite3_stmt* Get(Statement s) { return statements_[s]; }
  int32_t Run(Statement s);  // a statement without bindings (transaction control)
  int32_t Fail(int sqlite_code);

  // The last value read; while `valid`, the current snapshot holds it as it is: callers read a
  // value's type and size, then its data.
  struct LastValue {
    bool valid = false;
    int64_t key = 0;
    std::string folded;
    uint32_t type = 0;
    std::string data;
  };

  struct ValueSize {
    std::string folded;
    uint32_t type = 0;
    uint32_t size = 0;
  };
  struct ListedValues {
    int64_t key = 0;
    bool listed = false;
    std::vector<ValueSize> values;
  };
  static constexpr int kMaxListedValues = 32;
  int32_t ListValues(int64_t key);

  sqlite3* db_;
  // The values of the key last asked about by GetValueSize in the current snapshot, sorted by
  // folded name; not `listed` when the key has more than kMaxListedValues.
  ListedValues listed_values_;
  std::chrono::nanoseconds read_since_{};  // when the snapshot began, by SnapshotClock()
  LastValue last_value_;
  // The last key found in the current snapshot: it exists, at that path, until the snapshot
  // ends, so asking again (the next line naming the same key, a value missing under a key just
  // opened) needs no statement.
  struct FoundKey {
    int64_t id = 0;
    std::string path;
  };
  FoundKey found_key_;
  std::array<sqlite3_stmt*, kStatementCount> statements_{};
};

}  // namespace machine
