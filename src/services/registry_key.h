#pragma once
// Closes an opened registry key when the routine that opened it leaves, on every path.

#include "machine/registry.h"

namespace services {

class ScopedKey {
 public:
  explicit ScopedKey(machine::Registry& registry) : registry_(registry) {}
  ~ScopedKey() {
    if (handle_ != 0)
      registry_.CloseKey(handle_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  int32_t Open(machine::RegHandle root, std::string_view path) {
    return registry_.OpenKey(root, path, handle_);
  }
  int32_t Create(machine::RegHandle root, std::string_view path) {
    return registry_.CreateKey(root, path, handle_);
  }
  machine::RegHandle get() const { return handle_; }

 private:
  machine::Registry& registry_;
  machine::RegHandle handle_ = 0;
};

}  // namespace services
