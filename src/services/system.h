#pragma once
// The services' shared state and the hooks through which they reach the layers above them.
// One System per application object; the services' globals live here.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "services/prompts.h"
#include "services/register_server.h"

namespace machine {
class Machine;
}

namespace services {

using WindowHandle = std::intptr_t;

// Written by the removal: the registry deletions report what they deleted through it.
class QuarantineLogWriter {
 public:
  virtual ~QuarantineLogWriter() = default;
  virtual void WriteEntry(std::string_view key_text, std::string_view value_text) = 0;
};

// The window system as the services need it; the form runtime implements it.
class WindowManager {
 public:
  virtual ~WindowManager() = default;
  virtual bool IsMainWindowVisible() const = 0;
  // Freezes redrawing of the window; 0 unfreezes.
  virtual void LockWindowUpdate(WindowHandle window) = 0;
  // Puts the window above all others (kTopMost) or back among them (kNotTopMost).
  virtual void SetWindowZOrder(WindowHandle window, WindowHandle insert_after) = 0;
};

inline constexpr WindowHandle kTopMost = -1;
inline constexpr WindowHandle kNotTopMost = -2;

struct System {
  explicit System(machine::Machine& m) : machine(m) {}

  machine::Machine& machine;

  // Name of the root last mapped by RootKeyFromCode.
  std::string strRootKeyName;
  // Sequence number of the open restore point; 0 when none is open.
  int64_t lngRestoreSequence = 0;

  // Calls to register or unregister a component library (never loaded here, only recorded).
  RegisterServerLog register_server_log;

  QuarantineLogWriter* quarantine_log = nullptr;
  WindowManager* windows = nullptr;
  Prompter* prompter = nullptr;
  // Yields to the message loop (lets timers and user actions run).
  std::function<void()> yield;

  void Yield() const {
    if (yield)
      yield();
  }
};

}  // namespace services
