#pragma once
// System Restore points. This host has no System Restore: the program runs with a service that
// says so, and tests that need one use the recording service, which keeps every call.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace machine {

inline constexpr int kBeginSystemChange = 100;
inline constexpr int kEndSystemChange = 101;

class RestorePoints {
 public:
  virtual ~RestorePoints() = default;
  // Whether restore points can be made at all.
  virtual bool Available() const = 0;
  // Begins a restore point of the given type; on success `sequence` receives its number.
  virtual bool Begin(std::string_view description, int type, int64_t& sequence) = 0;
  // Ends the restore point with that sequence number; true when the service accepted it.
  virtual bool End(int64_t sequence) = 0;
};

struct RestorePointCall {
  int event_type = 0;  // kBeginSystemChange or kEndSystemChange
  int type = 0;
  int64_t sequence = 0;
  std::string description;

  friend bool operator==(const RestorePointCall&, const RestorePointCall&) = default;
};

// Records every call and hands out increasing sequence numbers from 1. It can be told to
// refuse begins or ends, which then fail (they are still recorded; a refused begin uses up no
// sequence number).
class RecordingRestorePoints final : public RestorePoints {
 public:
  bool Available() const override { return true; }
  bool Begin(std::string_view description, int type, int64_t& sequence) override;
  bool End(int64_t sequence) override;

  void RefuseBegin(bool refuse) { refuse_begin_ = refuse; }
  void RefuseEnd(bool refuse) { refuse_end_ = refuse; }
  const std::vector<RestorePointCall>& calls() const { return calls_; }

 private:
  std::vector<RestorePointCall> calls_;
  int64_t last_sequence_ = 0;
  bool refuse_begin_ = false;
  bool refuse_end_ = false;
};

// This host's: nothing a user could reach would hold a restore point, so there is none.
class NoRestorePoints final : public RestorePoints {
 public:
  bool Available() const override { return false; }
  bool Begin(std::string_view, int, int64_t&) override { return false; }
  bool End(int64_t) override { return false; }
};

}  // namespace machine
