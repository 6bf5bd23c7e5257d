#pragma once
// The registry the program sees: Win32 semantics over two SQLite hive files.
//
// The machine hive holds HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG
// and HKEY_DYN_DATA; the user hive holds HKEY_CURRENT_USER. Key and value names are compared
// ignoring case (Windows-1252 folding) and keep the spelling they were created with; the default
// value has the empty name. Calls return Win32 status codes; each change is one transaction.
// Reads made while keys are open, or while a ReadSnapshot is held, share one snapshot of the
// hive, so an open-query-close costs one read transaction; the snapshot ends when the last key
// is closed and the last ReadSnapshot goes, at every change, at EndReadSnapshot, and after at
// most 100 ms, so other processes' changes show from then on. A handle to a key that was
// deleted (by anyone) answers kRegKeyDeleted from then on, whatever keys are made later.
// Not thread-safe: one Registry belongs to one thread.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace machine {

using RegHandle = int32_t;

// Root handles (predefined keys). HKEY_PERFORMANCE_DATA (0x80000004) is not held here.
inline constexpr RegHandle kHkeyClassesRoot = static_cast<RegHandle>(0x80000000u);
inline constexpr RegHandle kHkeyCurrentUser = static_cast<RegHandle>(0x80000001u);
inline constexpr RegHandle kHkeyLocalMachine = static_cast<RegHandle>(0x80000002u);
inline constexpr RegHandle kHkeyUsers = static_cast<RegHandle>(0x80000003u);
inline constexpr RegHandle kHkeyCurrentConfig = static_cast<RegHandle>(0x80000005u);
inline constexpr RegHandle kHkeyDynData = static_cast<RegHandle>(0x80000006u);

// Status codes (Win32 numbering).
inline constexpr int32_t kRegSuccess = 0;
inline constexpr int32_t kRegNotFound = 2;
inline constexpr int32_t kRegAccessDenied = 5;
inline constexpr int32_t kRegInvalidHandle = 6;
inline constexpr int32_t kRegInvalidParameter = 87;
inline constexpr int32_t kRegBadPathName = 161;
inline constexpr int32_t kRegMoreData = 234;
inline constexpr int32_t kRegNoMoreItems = 259;
inline constexpr int32_t kRegIoFailed = 1016;  // the hive file failed (I/O, locked too long)
inline constexpr int32_t kRegKeyDeleted = 1018;

// Value types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegDwordBigEndian = 5;
inline constexpr uint32_t kRegLink = 6;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

struct RootKeyInfo {
  RegHandle handle;
  std::string_view name;
};

inline constexpr std::array<RootKeyInfo, 6> kRootKeys = {{
    {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {kHkeyUsers, "HKEY_USERS"},
    {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
    {kHkeyDynData, "HKEY_DYN_DATA"},
}};

// "HKEY_LOCAL_MACHINE" for kHkeyLocalMachine...; empty for anything that is not a root.
std::string_view RootKeyName(RegHandle root);
// The root of that name (ignoring case); nothing when there is none.
std::optional<RegHandle> RootKeyByName(std::string_view name);

// Whether a key path or value name can name anything in the registry: one holding a NUL
// cannot (cut there, as the platform's C strings are, it would name another key or value).
inline bool IsRegistryName(std::string_view name) {
  return name.find('\0') == std::string_view::npos;
}

class RegistryHive;

class Registry {
 public:
  // Opens the two hive files, creating a missing one. A file that exists but is not a hive of
  // the right kind is refused (nothing, with a message naming it in `error`) and left as it is.
  static std::unique_ptr<Registry> Open(const std::filesystem::path& machine_hive,
                                        const std::filesystem::path& user_hive, std::string& error);
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // Key paths are relative to `key` (a root or an open handle), components separated by "\".
  // "" names `key` itself; one trailing "\" is allowed; an empty component is kRegBadPathName.
  // A name that is not IsRegistryName is refused: kRegBadPathName in a key path,
  // kRegInvalidParameter as a value name.
  int32_t OpenKey(RegHandle key, std::string_view sub_key, RegHandle& result);
  // Opens the key, creating it and every missing key along the path in one transaction.
  int32_t CreateKey(RegHandle key, std::string_view sub_key, RegHandle& result,
                    bool* created = nullptr);
  int32_t CloseKey(RegHandle key);

  // The platform's form: with `data` null only `type` and `size` are given; otherwise `size`
  // holds the buffer's capacity on entry and the value's size on return, and a buffer too small
  // gives kRegMoreData. `type` may be null.
  int32_t QueryValue(RegHandle key, std::string_view name, uint32_t* type, char* data,
                     uint32_t* size);
  // The whole value.
  int32_t GetValue(RegHandle key, std::string_view name, uint32_t& type, std::string& data);
  int32_t SetValue(RegHandle key, std::string_view name, uint32_t type, std::string_view data);
  int32_t DeleteValue(RegHandle key, std::string_view name);
  // Deletes the key with all its sub-keys and values. A root's own tree is never deleted: an
  // empty or blank path on a root (or a handle to a root) gives kRegAccessDenied.
  int32_t DeleteKeyTree(RegHandle key, std::string_view sub_key);

  // Sub-keys and values in name order (ignoring case); kRegNoMoreItems past the last.
  int32_t EnumKey(RegHandle key, uint32_t index, std::string& name);
  int32_t EnumValue(RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                    std::string& data);

  // Keeps one read transaction of each hive across many look-ups (a scan's), where each key
  // opened and closed would otherwise begin and end its own. Whatever ends a snapshot (above)
  // still does; the next look-up then begins a new one.
  class ReadSnapshot {
   public:
    explicit ReadSnapshot(Registry& registry) : registry_(registry) { ++registry_.snapshots_; }
    ~ReadSnapshot() {
      --registry_.snapshots_;
      registry_.EndReadsIfIdle();
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

   private:
    Registry& registry_;
  };
  // Ends the snapshot now, keys open or not: the next look-up sees every change committed
  // until then. The message loop calls it before it runs any handler, so that no read
  // transaction is held while code that may change the registry, or wait, runs in a yield.
  void EndReadSnapshot();

  // Handles opened and not yet closed.
  size_t OpenHandleCount() const;
  // How long a change waits for another process that holds a hive locked (default 2 s).
  void SetBusyTimeout(int milliseconds);

 private:
  struct Entry {
    RegistryHive* hive = nullptr;
    int64_t id = 0;
    std::string path;  // folded full path, root name first: "HKEY_LOCAL_MACHINE\\SOFTWARE"
    bool is_root = false;
    bool in_use = false;
  };
  Registry(std::unique_ptr<RegistryHive> machine, std::unique_ptr<RegistryHive> user);
  const Entry* Find(RegHandle key) const;
  // `status` of a look-up under `entry`, unless the key `entry` names was deleted.
  int32_t UnlessDeleted(const Entry& entry, int32_t status);
  // A handle to the key at path_.
  RegHandle Allocate(RegistryHive* hive, int64_t id, bool is_root);
  void EndReadsIfIdle();

  std::unique_ptr<RegistryHive> machine_;
  std::unique_ptr<RegistryHive> user_;
  std::vector<Entry> roots_;
  std::vector<Entry> handles_;  // slot i is handle (i + 1) * 4
  std::vector<size_t> free_slots_;
  std::string path_;  // the folded path being opened, in memory kept from key to key
  size_t open_count_ = 0;
  int snapshots_ = 0;  // ReadSnapshots held
};

}  // namespace machine
