#pragma once
// Work that the layers above the model provide and the layers below call: each slot is filled
// by the layer that owns the work when the application is put together (ui::InstallWindowHandlers).
// A slot stays empty in a test that does not install its layer; every caller tests the slot
// (or calls it through CallHandler) before calling it.

#include <functional>
#include <string_view>

namespace model {

struct Hooks {
  // The removal: ends the first running program with this executable name. False when it is
  // still running afterwards.
  std::function<bool(std::string_view exe_name)> KillProcessByExeName;
  // The removal: writes the scan report; the scan calls it at its end when chosen.
  std::function<void()> MakeReport;
  // The main window: sends the names of the running programs; the removal calls it.
  std::function<void()> SendRunningProcessList;
};

}  // namespace model
