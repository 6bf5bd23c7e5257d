#include "machine/registry_hive.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>

#include "machine/text.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

// Stored in the database header (PRAGMA application_id): marks a file as one of our hives.
constexpr uint32_t kApplicationId = 0x48475248;  // "HGRH"
// Layout 2 never gives a deleted key's row id to another key, so a handle to a deleted key
// stays deleted. Layout 1 (ids reused) is upgraded when the file is opened for writing.
constexpr int kSchemaVersion = 2;
constexpr int kFirstSchemaVersion = 1;
constexpr int kDefaultBusyMs = 2000;

constexpr std::string_view kKeysTable =
    "CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,"
    " name BLOB NOT NULL, path BLOB NOT NULL UNIQUE);"
    "CREATE INDEX keys_by_parent ON keys(parent, path);";

std::string SetVersion() {
  return "PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";";
}

std::string Schema() {
  return "BEGIN; PRAGMA application_id = " + std::to_string(kApplicationId) + ";" + SetVersion() +
         std::string(kKeysTable) +
         "CREATE TABLE vals(key INTEGER NOT NULL, folded BLOB NOT NULL, name BLOB NOT NULL,"
         " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, folded)) WITHOUT ROWID;";
}

// Runs inside a write transaction that has seen layout 1.
std::string UpgradeFromFirst() {
  return "ALTER TABLE keys RENAME TO keys_first; DROP INDEX keys_by_parent;" +
         std::string(kKeysTable) +
         "INSERT INTO keys(id, parent, name, path) SELECT id, parent, name, path FROM keys_first;"
         "DROP TABLE keys_first;" +
         SetVersion();
}

constexpr std::array<const char*, 15> kStatementText = {
    "SELECT id FROM keys WHERE path = ?1",
    "SELECT 1 FROM keys WHERE id = ?1",
    "INSERT INTO keys(parent, name, path) VALUES(?1, ?2, ?3)",
    "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2",
    "INSERT INTO vals(key, folded, name, type, data) SELECT ?1, ?2, ?3, ?4, ?5"
    " WHERE EXISTS(SELECT 1 FROM keys WHERE id = ?1)"
    " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM vals WHERE key = ?1 AND folded = ?2",
    "DELETE FROM vals WHERE key IN"
    " (SELECT id FROM keys WHERE path = ?1 OR (path >= ?2 AND path < ?3))",
    "DELETE FROM keys WHERE path = ?1 OR (path >= ?2 AND path < ?3)",
    "SELECT name FROM keys WHERE parent = ?1 ORDER BY path LIMIT 1 OFFSET ?2",
    "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY folded LIMIT 1 OFFSET ?2",
    "SELECT folded, type, length(CAST(data AS BLOB)) FROM vals WHERE key = ?1 LIMIT ?2",
    "BEGIN IMMEDIATE",
    "BEGIN",
    "COMMIT",
    "ROLLBACK",
};

// Resets a cached statement when the operation using it ends.
class Use {
 public:
  explicit Use(sqlite3_stmt* s) : s_(s) {}
  ~Use() { sqlite3_reset(s_); }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;

  void Bind(int index, int64_t value) { sqlite3_bind_int64(s_, index, value); }
  // Always a blob, also when empty (a null pointer would bind NULL).
  void Bind(int index, std::string_view bytes) {
    sqlite3_bind_blob(s_, index, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_STATIC);
  }
  int Step() { return sqlite3_step(s_); }
  int64_t Int(int column) { return sqlite3_column_int64(s_, column); }
  std::string Bytes(int column) {
    std::string bytes;
    BytesInto(column, bytes);
    return bytes;
  }
  // Into a string kept between reads, so that its memory is reused.
  void BytesInto(int column, std::string& bytes) {
    const void* p = sqlite3_column_blob(s_, column);
    const int n = sqlite3_column_bytes(s_, column);
    if (p)
      bytes.assign(static_cast<const char*>(p), static_cast<size_t>(n));
    else
      bytes.clear();
  }

 private:
  sqlite3_stmt* s_;
};

std::string Quote(const fs::path& file) {
  return "\"" + file.string() + "\"";
}

// What SQLite says went wrong, with the system's own reason when there is one.
std::string ReasonOf(sqlite3* db) {
  std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
  if (const int system_error = db ? sqlite3_system_errno(db) : 0; system_error != 0)
    reason += std::string(" (") + std::strerror(system_error) + ")";
  return reason;
}

// Reads the database header without opening the file as a database, so a foreign file is
// never touched. Empty when it is one of our hives.
std::string CheckHeader(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec))
    return Quote(file) + " is not a registry hive (not a regular file)";
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return Quote(file) + " cannot be read: " + std::strerror(errno);
  unsigned char header[100] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  if (in.gcount() != static_cast<std::streamsize>(sizeof header) ||
      std::memcmp(header, "SQLite format 3", 16) != 0) {
    return Quote(file) + " is not a registry hive (not an SQLite database)";
  }
  const uint32_t app_id = (uint32_t{header[68]} << 24) | (uint32_t{header[69]} << 16) |
                          (uint32_t{header[70]} << 8) | uint32_t{header[71]};
  if (app_id != kApplicationId)
    return Quote(file) + " is not a registry hive (an SQLite database of another kind)";
  return {};
}

bool Exec(sqlite3* db, const char* sql, std::string& message) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) == SQLITE_OK)
    return true;
  message = err ? err : sqlite3_errmsg(db);
  sqlite3_free(err);
  return false;
}

// Builds a new hive beside `file` and moves it into place only when complete, so a failed
// creation never leaves a half-made hive under the real name.
bool CreateHiveFile(const fs::path& file, std::span<const RegHandle> roots, std::string& error) {
  const fs::path temp = file.string() + ".new-" + std::to_string(::getpid());
  std::error_code ec;
  fs::remove(temp, ec);
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::string message;
  bool ok = rc == SQLITE_OK && Exec(db, "PRAGMA journal_mode = WAL", message) &&
            Exec(db, Schema().c_str(), message);
  for (size_t i = 0; ok && i < roots.size(); ++i) {
    const std::string name(RootKeyName(roots[i]));
    sqlite3_stmt* s = nullptr;
    ok = sqlite3_prepare_v2(db, "INSERT INTO keys(id, parent, name, path) VALUES(?1, 0, ?2, ?2)",
                            -1, &s, nullptr) == SQLITE_OK;
    if (ok) {
      sqlite3_bind_int64(s, 1, RegistryHive::RootId(roots[i]));
      sqlite3_bind_blob(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      ok = sqlite3_step(s) == SQLITE_DONE;
    }
    sqlite3_finalize(s);
  }
  ok = ok && Exec(db, "COMMIT", message);
  if (!ok && message.empty())
    message = ReasonOf(db);
  sqlite3_close(db);
  if (ok && ::link(temp.c_str(), file.c_str()) != 0) {
    const int link_error = errno;
    if (link_error == EEXIST) {
      message.clear();  // made meanwhile by someone else: use theirs
    } else if ((link_error == EPERM || link_error == EOPNOTSUPP) && !fs::exists(file, ec)) {
      fs::rename(temp, file, ec);  // no hard links on this file system
      if (ec) {
        ok = false;
        message = ec.message();
      }
    } else {
      ok = false;
      message = std::strerror(link_error);
    }
  }
  fs::remove(temp, ec);
  if (!ok)
    error = Quote(file) + ": cannot create the registry hive: " + message;
  return ok;
}

// The hive's layout; nothing when the file cannot be read at all (a full disk leaves no room
// for the journal's index), which tells nothing about what the file is.
std::optional<int> ReadVersion(sqlite3* db) {
  sqlite3_stmt* s = nullptr;
  std::optional<int> version;
  if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr) == SQLITE_OK &&
      sqlite3_step(s) == SQLITE_ROW) {
    version = sqlite3_column_int(s, 0);
  }
  sqlite3_finalize(s);
  return version;
}

std::string CannotRead(const fs::path& file, sqlite3* db) {
  return Quote(file) + ": cannot read the registry hive: " + ReasonOf(db);
}

// Brings a hive of layout 1 to the current layout in one transaction (another process may
// have done so meanwhile).
bool Upgrade(sqlite3* db, std::string& message) {
  if (!Exec(db, "BEGIN IMMEDIATE", message))
    return false;
  if ((ReadVersion(db) != kFirstSchemaVersion || Exec(db, UpgradeFromFirst().c_str(), message)) &&
      Exec(db, "COMMIT", message)) {
    return true;
  }
  std::string ignored;
  Exec(db, "ROLLBACK", ignored);
  return false;
}

// The monotonic clock at the few milliseconds' resolution a snapshot's age needs; it is read
// at every look-up and costs less than the precise one.
std::chrono::nanoseconds SnapshotClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

int64_t RegistryHive::RootId(RegHandle root) {
  return static_cast<int64_t>(static_cast<uint32_t>(root) & 0xFF) + 1;
}

std::unique_ptr<RegistryHive> RegistryHive::Open(const fs::path& file,
                                                 std::span<const RegHandle> roots,
                                                 std::string& error) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(file, ec)) && !CreateHiveFile(file, roots, error))
    return nullptr;
  if (std::string refused = CheckHeader(file); !refused.empty()) {
    error = refused;
    return nullptr;
  }
  const bool writable = ::access(file.c_str(), W_OK) == 0;
  const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    error = Quote(file) + ": cannot open the registry hive: " + ReasonOf(db);
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<RegistryHive> hive(new RegistryHive(db));
  sqlite3_busy_timeout(db, kDefaultBusyMs);
  std::string message;
  Exec(db, "PRAGMA synchronous = NORMAL", message);
  const std::optional<int> version = ReadVersion(db);
  if (!version) {
    error = CannotRead(file, db);
    return nullptr;
  }
  // A hive we cannot write makes no keys, so it can keep layout 1.
  if (writable && *version == kFirstSchemaVersion && !Upgrade(db, message)) {
    error = Quote(file) + ": cannot upgrade the registry hive: " + message;
    return nullptr;
  }
  if (!hive->Prepare(*version, message)) {
    error = Quote(file) + " is not a registry hive (" + message + ")";
    return nullptr;
  }
  for (RegHandle root : roots) {
    const int32_t status = hive->KeyExists(RootId(root));
    if (status == kRegKeyDeleted) {
      error = Quote(file) + " is not a registry hive holding " + std::string(RootKeyName(root));
      return nullptr;
    }
    if (status != kRegSuccess) {
      error = CannotRead(file, db);
      return nullptr;
    }
  }
  return hive;
}

bool RegistryHive::Prepare(int version, std::string& error) {
  if (version != kSchemaVersion && version != kFirstSchemaVersion) {
    error = "schema version " + std::to_string(version);
    return false;
  }
  for (size_t i = 0; i < statements_.size(); ++i) {
    if (sqlite3_prepare_v3(db_, kStatementText[i], -1, SQLITE_PREPARE_PERSISTENT, &statements_[i],
                           nullptr) != SQLITE_OK) {
      error = sqlite3_errmsg(db_);
      return false;
    }
  }
  return true;
}

RegistryHive::~RegistryHive() {
  for (sqlite3_stmt* s : statements_)
    sqlite3_finalize(s);
  sqlite3_close(db_);
}

void RegistryHive::SetBusyTimeout(int milliseconds) {
  sqlite3_busy_timeout(db_, milliseconds);
}

void RegistryHive::BeginRead() {
  const std::chrono::nanoseconds now = SnapshotClock();
  if (sqlite3_get_autocommit(db_) == 0) {
    if (now - read_since_ < kMaxSnapshot)
      return;
    Run(kCommit);
  }
  last_value_.valid = false;
  found_key_.id = 0;
  listed_values_.key = 0;
  if (Run(kBeginRead) == kRegSuccess)
    read_since_ = now;
}

void RegistryHive::EndRead() {
  last_value_.valid = false;
  found_key_.id = 0;
  listed_values_.key = 0;
  if (sqlite3_get_autocommit(db_) == 0)
    Run(kCommit);
}

int32_t RegistryHive::Fail(int sqlite_code) {
  if (sqlite3_get_autocommit(db_) == 0)
    Run(kRollback);
  return (sqlite_code & 0xFF) == SQLITE_READONLY ? kRegAccessDenied : kRegIoFailed;
}

int32_t RegistryHive::Run(Statement s) {
  Use use(Get(s));
  const int rc = use.Step();
  return rc == SQLITE_DONE ? kRegSuccess : rc;
}

int32_t RegistryHive::FindKey(std::string_view path, int64_t& id) {
  if (found_key_.id != 0 && found_key_.path == path && sqlite3_get_autocommit(db_) == 0) {
    id = found_key_.id;
    return kRegSuccess;
  }
  Use use(Get(kFindKey));
  use.Bind(1, path);
  switch (const int rc = use.Step()) {
    case SQLITE_ROW:
      id = use.Int(0);
      found_key_.id = id;
      found_key_.path.assign(path);
      return kRegSuccess;
    case SQLITE_DONE:
      return kRegNotFound;
    default:
      return Fail(rc);
  }
}

int32_t RegistryHive::KeyExists(int64_t id) {
  if (id == found_key_.id && id != 0 && sqlite3_get_autocommit(db_) == 0)
    return kRegSuccess;
  Use use(Get(kKeyExists));
  use.Bind(1, id);
  const int rc = use.Step();
  return rc == SQLITE_ROW ? kRegSuccess : rc == SQLITE_DONE ? kRegKeyDeleted : Fail(rc);
}

int32_t RegistryHive::CreateKeys(int64_t parent, std::string_view parent_path,
                                 std::span<const std::string_view> names, int64_t& id,
                                 bool& created) {
  created = false;
  EndRead();
  if (const int rc = Run(kBegin); rc != kRegSuccess)
    return Fail(rc);
  if (const int32_t status = KeyExists(parent); status != kRegSuccess) {
    Run(kRollback);
    return status;
  }
  std::string path(parent_path);
  id = parent;
  for (std::string_view name : names) {
    const int64_t above = id;
    path.append(1, '\\').append(ToUpper(name));
    const int32_t status = FindKey(path, id);
    if (status == kRegSuccess)
      continue;
    if (status != kRegNotFound)
      return status;
    Use use(Get(kInsertKey));
    use.Bind(1, above);
    use.Bind(2, name);
    use.Bind(3, path);
    if (const int rc = use.Step(); rc != SQLITE_DONE)
      return Fail(rc);
    id = sqlite3_last_insert_rowid(db_);
    created = true;
  }
  if (const int rc = Run(kCommit); rc != kRegSuccess)
    return Fail(rc);
  return kRegSuccess;
}

int32_t RegistryHive::GetValue(int64_t key, std::string_view folded, uint32_t& type,
                               std::string_view& data) {
  const bool in_snapshot = sqlite3_get_autocommit(db_) == 0;
  if (!in_snapshot || !last_value_.valid || last_value_.key != key ||
      last_value_.folded != folded) {
    last_value_.valid = false;
    Use use(Get(kGetValue));
    use.Bind(1, key);
    use.Bind(2, folded);
    switch (const int rc = use.Step()) {
      case SQLITE_ROW:
        last_value_.type = static_cast<uint32_t>(use.Int(0));
        use.BytesInto(1, last_value_.data);
        last_value_.key = key;
        last_value_.folded.assign(folded);
        last_value_.valid = in_snapshot;
        break;
      case SQLITE_DONE:
        return kRegNotFound;
      default:
        return Fail(rc);
    }
  }
  type = last_value_.type;
  data = last_value_.data;
  return kRegSuccess;
}

int32_t RegistryHive::GetValueSize(int64_t key, std::string_view folded, uint32_t& type,
                                   uint32_t& size) {
  if (sqlite3_get_autocommit(db_) == 0 && listed_values_.key != key) {
    if (const int32_t status = ListValues(key); status != kRegSuccess)
      return status;
  }
  if (listed_values_.key != key || !listed_values_.listed) {
    std::string_view data;
    const int32_t status = GetValue(key, folded, type, data);
    size = static_cast<uint32_t>(data.size());
    return status;
  }
  const std::vector<ValueSize>& values = listed_values_.values;
  const auto it = std::lower_bound(
      values.begin(), values.end(), folded,
      [](const ValueSize& value, std::string_view name) { return value.folded < name; });
  if (it == values.end() || it->folded != folded)
    return kRegNotFound;
  type = it->type;
  size = it->size;
  return kRegSuccess;
}

int32_t RegistryHive::ListValues(int64_t key) {
  listed_values_.key = 0;
  listed_values_.values.clear();
  Use use(Get(kValueSizes));
  use.Bind(1, key);
  use.Bind(2, int64_t{kMaxListedValues + 1});
  int rc;
  while ((rc = use.Step()) == SQLITE_ROW) {
    ValueSize& value = listed_values_.values.emplace_back();
    use.BytesInto(0, value.folded);
    value.type = static_cast<uint32_t>(use.Int(1));
    value.size = static_cast<uint32_t>(use.Int(2));
  }
  if (rc != SQLITE_DONE)
    return Fail(rc);
  std::sort(listed_values_.values.begin(), listed_values_.values.end(),
            [](const ValueSize& a, const ValueSize& b) { return a.folded < b.folded; });
  listed_values_.key = key;
  listed_values_.listed = listed_values_.values.size() <= kMaxListedValues;
  return kRegSuccess;
}

int32_t RegistryHive::SetValue(int64_t key, std::string_view name, std::string_view folded,
                               uint32_t type, std::string_view data) {
  EndRead();
  Use use(Get(kSetValue));
  use.Bind(1, key);
  use.Bind(2, folded);
  use.Bind(3, name);
  use.Bind(4, int64_t{type});
  use.Bind(5, data);
  if (const int rc = use.Step(); rc != SQLITE_DONE)
    return Fail(rc);
  return sqlite3_changes(db_) > 0 ? kRegSuccess : kRegKeyDeleted;
}

int32_t RegistryHive::DeleteValue(int64_t key, std::string_view folded) {
  EndRead();
  Use use(Get(kDeleteValue));
  use.Bind(1, key);
  use.Bind(2, folded);
  if (const int rc = use.Step(); rc != SQLITE_DONE)
    return Fail(rc);
  return sqlite3_changes(db_) > 0 ? kRegSuccess : kRegNotFound;
}

int32_t RegistryHive::DeleteTree(int64_t owner, std::string_view path) {
  EndRead();
  if (const int rc = Run(kBegin); rc != kRegSuccess)
    return Fail(rc);
  int64_t id = 0;
  int32_t status = KeyExists(owner);
  if (status == kRegSuccess)
    status = FindKey(path, id);
  if (status != kRegSuccess) {
    if (sqlite3_get_autocommit(db_) == 0)
      Run(kRollback);
    return status;
  }
  // Every key below has the path followed by "\"; "]" is the character after "\".
  const std::string low = std::string(path) + '\\';
  const std::string high = std::string(path) + ']';
  for (Statement s : {kDeleteTreeValues, kDeleteTreeKeys}) {
    Use use(Get(s));
    use.Bind(1, path);
    use.Bind(2, low);
    use.Bind(3, high);
    if (const int rc = use.Step(); rc != SQLITE_DONE)
      return Fail(rc);
  }
  if (const int rc = Run(kCommit); rc != kRegSuccess)
    return Fail(rc);
  return kRegSuccess;
}

int32_t RegistryHive::SubKeyAt(int64_t parent, uint32_t index, std::string& name) {
  Use use(Get(kSubKeyAt));
  use.Bind(1, parent);
  use.Bind(2, int64_t{index});
  switch (const int rc = use.Step()) {
    case SQLITE_ROW:
      name = use.Bytes(0);
      return kRegSuccess;
    case SQLITE_DONE:
      return kRegNoMoreItems;
    default:
      return Fail(rc);
  }
}

int32_t RegistryHive::ValueAt(int64_t key, uint32_t index, std::string& name, uint32_t& type,
                              std::string& data) {
  Use use(Get(kValueAt));
  use.Bind(1, key);
  use.Bind(2, int64_t{index});
  switch (const int rc = use.Step()) {
    case SQLITE_ROW:
      name = use.Bytes(0);
      type = static_cast<uint32_t>(use.Int(1));
      data = use.Bytes(2);
      return kRegSuccess;
    case SQLITE_DONE:
      return kRegNoMoreItems;
    default:
      return Fail(rc);
  }
}

}  // namespace machine
