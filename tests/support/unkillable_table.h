#pragma once
// A process table over the real one whose programs cannot be ended, for the roads that must
// cope with a program that survives its end.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "machine/processes.h"

namespace hg_test {

class UnkillableTable final : public machine::ProcessTable {
 public:
  void SetInner(std::unique_ptr<machine::ProcessTable> inner) { inner_ = std::move(inner); }

  bool EnumProcesses(std::span<uint32_t> ids, size_t& written) const override {
    return inner_->EnumProcesses(ids, written);
  }
  std::unique_ptr<machine::OpenedProcess> OpenProcess(uint32_t id) const override {
    std::unique_ptr<machine::OpenedProcess> process = inner_->OpenProcess(id);
    if (!process)
      return nullptr;
    return std::make_unique<Unkillable>(std::move(process));
  }
  std::optional<std::vector<machine::ProcessSnapshotEntry>> Snapshot() const override {
    return inner_->Snapshot();
  }
  bool EnablePrivilege(std::string_view) override { return true; }
  bool DisablePrivilege(std::string_view) override { return true; }

 private:
  class Unkillable final : public machine::OpenedProcess {
   public:
    explicit Unkillable(std::unique_ptr<machine::OpenedProcess> process)
        : process_(std::move(process)) {}
    uint32_t Id() const override { return process_->Id(); }
    const std::string& ModuleFileName() const override { return process_->ModuleFileName(); }
    bool Terminate(uint32_t) override { return false; }

   private:
    std::unique_ptr<machine::OpenedProcess> process_;
  };

  std::unique_ptr<machine::ProcessTable> inner_;
};

}  // namespace hg_test
