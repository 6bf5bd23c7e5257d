#include "machine/registry.h"

#include <cstring>

#include "machine/registry_hive.h"
#include "machine/text.h"

namespace machine {

namespace {

constexpr std::array<RegHandle, 5> kMachineRoots = {kHkeyClassesRoot, kHkeyLocalMachine, kHkeyUsers,
                                                    kHkeyCurrentConfig, kHkeyDynData};
constexpr std::array<RegHandle, 1> kUserRoots = {kHkeyCurrentUser};

// Calls `each` with the names of a relative key path in order. One trailing "\" is allowed;
// any other empty name (a leading "\", "\\" inside) is a bad path.
template <typename Each>
int32_t ForEachKeyName(std::string_view sub_key, Each each) {
  if (!IsRegistryName(sub_key))
    return kRegBadPathName;
  if (sub_key.empty())
    return kRegSuccess;
  if (sub_key.back() == '\\')
    sub_key.remove_suffix(1);
  for (size_t start = 0;;) {
    const size_t end = sub_key.find('\\', start);
    const std::string_view name = sub_key.substr(start, end - start);
    if (name.empty())
      return kRegBadPathName;
    each(name);
    if (end == std::string_view::npos)
      return kRegSuccess;
    start = end + 1;
  }
}

int32_t SplitKeyPath(std::string_view sub_key, std::vector<std::string_view>& names) {
  names.clear();
  return ForEachKeyName(sub_key, [&names](std::string_view name) { names.push_back(name); });
}

// The folded full path of `sub_key` below the key at `parent`.
int32_t ChildPath(std::string_view parent, std::string_view sub_key, std::string& path) {
  path.clear();
  path.reserve(parent.size() + 1 + sub_key.size());
  path.append(parent);
  return ForEachKeyName(sub_key, [&path](std::string_view name) {
    path += '\\';
    for (char c : name)
      path += ToUpperChar(c);
  });
}

// Runs `end` when the scope is left.
template <typename End>
struct AtExit {
  End end;
  ~AtExit() { end(); }
};
template <typename End>
AtExit(End) -> AtExit<End>;

}  // namespace

std::string_view RootKeyName(RegHandle root) {
  for (const RootKeyInfo& info : kRootKeys) {
    if (info.handle == root)
      return info.name;
  }
  return {};
}

std::optional<RegHandle> RootKeyByName(std::string_view name) {
  for (const RootKeyInfo& info : kRootKeys) {
    if (EqualsIgnoreCase(info.name, name))
      return info.handle;
  }
  return std::nullopt;
}

std::unique_ptr<Registry> Registry::Open(const std::filesystem::path& machine_hive,
                                         const std::filesystem::path& user_hive,
                                         std::string& error) {
  auto machine = RegistryHive::Open(machine_hive, kMachineRoots, error);
  if (!machine)
    return nullptr;
  auto user = RegistryHive::Open(user_hive, kUserRoots, error);
  if (!user)
    return nullptr;
  return std::unique_ptr<Registry>(new Registry(std::move(machine), std::move(user)));
}

Registry::Registry(std::unique_ptr<RegistryHive> machine, std::unique_ptr<RegistryHive> user)
    : machine_(std::move(machine)), user_(std::move(user)) {
  for (const RootKeyInfo& info : kRootKeys) {
    RegistryHive* hive = info.handle == kHkeyCurrentUser ? user_.get() : machine_.get();
    roots_.push_back(
        Entry{hive, RegistryHive::RootId(info.handle), std::string(info.name), true, true});
  }
}

Registry::~Registry() = default;

const Registry::Entry* Registry::Find(RegHandle key) const {
  if (key < 0) {
    for (size_t i = 0; i < kRootKeys.size(); ++i) {
      if (kRootKeys[i].handle == key)
        return &roots_[i];
    }
    return nullptr;
  }
  if (key == 0 || key % 4 != 0)
    return nullptr;
  const size_t slot = static_cast<size_t>(key / 4 - 1);
  return slot < handles_.size() && handles_[slot].in_use ? &handles_[slot] : nullptr;
}

int32_t Registry::UnlessDeleted(const Entry& entry, int32_t status) {
  if ((status == kRegNotFound || status == kRegNoMoreItems) && !entry.is_root) {
    if (const int32_t exists = entry.hive->KeyExists(entry.id); exists != kRegSuccess)
      return exists;
  }
  return status;
}

RegHandle Registry::Allocate(RegistryHive* hive, int64_t id, bool is_root) {
  size_t slot;
  if (free_slots_.empty()) {
    slot = handles_.size();
    handles_.emplace_back();
  } else {
    slot = free_slots_.back();
    free_slots_.pop_back();
  }
  Entry& entry = handles_[slot];
  entry.hive = hive;
  entry.id = id;
  entry.path.assign(path_);
  entry.is_root = is_root;
  entry.in_use = true;
  ++open_count_;
  return static_cast<RegHandle>((slot + 1) * 4);
}

void Registry::EndReadsIfIdle() {
  if (open_count_ == 0 && snapshots_ == 0)
    EndReadSnapshot();
}

void Registry::EndReadSnapshot() {
  machine_->EndRead();
  user_->EndRead();
}

int32_t Registry::OpenKey(RegHandle key, std::string_view sub_key, RegHandle& result) {
  result = 0;
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  entry->hive->BeginRead();
  AtExit done{[this] { EndReadsIfIdle(); }};
  if (const int32_t status = ChildPath(entry->path, sub_key, path_); status != kRegSuccess)
    return status;
  // Names below a deleted key are looked up by path, which a new key may have taken.
  if (!entry->is_root) {
    if (const int32_t status = entry->hive->KeyExists(entry->id); status != kRegSuccess)
      return status;
  }
  if (path_.size() == entry->path.size()) {
    result = Allocate(entry->hive, entry->id, entry->is_root);
    return kRegSuccess;
  }
  int64_t id = 0;
  if (const int32_t status = entry->hive->FindKey(path_, id); status != kRegSuccess)
    return status;
  result = Allocate(entry->hive, id, false);
  return kRegSuccess;
}

int32_t Registry::CreateKey(RegHandle key, std::string_view sub_key, RegHandle& result,
                            bool* created) {
  result = 0;
  if (created)
    *created = false;
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  std::vector<std::string_view> names;
  if (const int32_t status = SplitKeyPath(sub_key, names); status != kRegSuccess)
    return status;
  int64_t id = 0;
  bool made = false;
  if (const int32_t status = entry->hive->CreateKeys(entry->id, entry->path, names, id, made);
      status != kRegSuccess) {
    return status;
  }
  if (created)
    *created = made;
  ChildPath(entry->path, sub_key, path_);
  result = Allocate(entry->hive, id, entry->is_root && names.empty());
  return kRegSuccess;
}

int32_t Registry::CloseKey(RegHandle key) {
  if (key < 0)
    return Find(key) ? kRegSuccess : kRegInvalidHandle;
  if (!Find(key))
    return kRegInvalidHandle;
  const size_t slot = static_cast<size_t>(key / 4 - 1);
  // The path's memory stays for the next key opened in this slot.
  handles_[slot].in_use = false;
  free_slots_.push_back(slot);
  --open_count_;
  EndReadsIfIdle();
  return kRegSuccess;
}

int32_t Registry::QueryValue(RegHandle key, std::string_view name, uint32_t* type, char* data,
                             uint32_t* size) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  if ((data && !size) || !IsRegistryName(name))
    return kRegInvalidParameter;
  entry->hive->BeginRead();
  AtExit done{[this] { EndReadsIfIdle(); }};
  uint32_t found_type = kRegNone;
  if (!data) {
    uint32_t found_size = 0;
    const int32_t status =
        entry->hive->GetValueSize(entry->id, ToUpper(name), found_type, found_size);
    if (status != kRegSuccess)
      return UnlessDeleted(*entry, status);
    if (type)
      *type = found_type;
    if (size)
      *size = found_size;
    return kRegSuccess;
  }
  std::string_view bytes;
  if (const int32_t status = entry->hive->GetValue(entry->id, ToUpper(name), found_type, bytes);
      status != kRegSuccess) {
    return UnlessDeleted(*entry, status);
  }
  if (type)
    *type = found_type;
  const uint32_t capacity = *size;
  *size = static_cast<uint32_t>(bytes.size());
  if (capacity < bytes.size())
    return kRegMoreData;
  if (!bytes.empty())
    std::memcpy(data, bytes.data(), bytes.size());
  return kRegSuccess;
}

int32_t Registry::GetValue(RegHandle key, std::string_view name, uint32_t& type,
                           std::string& data) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  if (!IsRegistryName(name))
    return kRegInvalidParameter;
  entry->hive->BeginRead();
  AtExit done{[this] { EndReadsIfIdle(); }};
  std::string_view bytes;
  const int32_t status = entry->hive->GetValue(entry->id, ToUpper(name), type, bytes);
  if (status == kRegSuccess)
    data.assign(bytes);
  return UnlessDeleted(*entry, status);
}

int32_t Registry::SetValue(RegHandle key, std::string_view name, uint32_t type,
                           std::string_view data) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  if (!IsRegistryName(name))
    return kRegInvalidParameter;
  return entry->hive->SetValue(entry->id, name, ToUpper(name), type, data);
}

int32_t Registry::DeleteValue(RegHandle key, std::string_view name) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  if (!IsRegistryName(name))
    return kRegInvalidParameter;
  return UnlessDeleted(*entry, entry->hive->DeleteValue(entry->id, ToUpper(name)));
}

int32_t Registry::DeleteKeyTree(RegHandle key, std::string_view sub_key) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  if (entry->is_root && TrimBlanks(sub_key).empty())
    return kRegAccessDenied;
  std::string path;
  if (const int32_t status = ChildPath(entry->path, sub_key, path); status != kRegSuccess)
    return status;
  return entry->hive->DeleteTree(entry->id, path);
}

int32_t Registry::EnumKey(RegHandle key, uint32_t index, std::string& name) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  entry->hive->BeginRead();
  AtExit done{[this] { EndReadsIfIdle(); }};
  return UnlessDeleted(*entry, entry->hive->SubKeyAt(entry->id, index, name));
}

int32_t Registry::EnumValue(RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                            std::string& data) {
  const Entry* entry = Find(key);
  if (!entry)
    return kRegInvalidHandle;
  entry->hive->BeginRead();
  AtExit done{[this] { EndReadsIfIdle(); }};
  return UnlessDeleted(*entry, entry->hive->ValueAt(entry->id, index, name, type, data));
}

size_t Registry::OpenHandleCount() const {
  return open_count_;
}

void Registry::SetBusyTimeout(int milliseconds) {
  machine_->SetBusyTimeout(milliseconds);
  user_->SetBusyTimeout(milliseconds);
}

}  // namespace machine
