#pragma once
// Opening a host file or folder with the desktop's default program for it, as the Windows shell
// opens a folder in Explorer and a text file in Notepad.

#include <filesystem>
#include <string>
#include <vector>

namespace machine {

class DesktopOpener {
 public:
  virtual ~DesktopOpener() = default;
  // Hands the absolute host path to the desktop. False when the opener could not be started or
  // said at once that it cannot open the path (no program for it); what a program started for
  // it then does is the desktop's affair.
  virtual bool Open(const std::filesystem::path& host_path) = 0;
};

// Starts the opener command (the desktop's "xdg-open" unless another is given) with the path
// as its one argument, detached, and waits a moment for it to fail.
class HostOpener final : public DesktopOpener {
 public:
  explicit HostOpener(std::string command = "xdg-open") : command_(std::move(command)) {}
  bool Open(const std::filesystem::path& host_path) override;

 private:
  std::string command_;
};

// Keeps the paths it is asked to open, for tests; opens nothing.
class RecordingOpener final : public DesktopOpener {
 public:
  bool Open(const std::filesystem::path& host_path) override {
    opened_.push_back(host_path);
    return true;
  }
  const std::vector<std::filesystem::path>& opened() const { return opened_; }

 private:
  std::vector<std::filesystem::path> opened_;
};

}  // namespace machine
