#pragma once
// The rule both shields' ticks follow: one shield tick at a time, and none while a scan, a
// removal or a Live Update runs (the scan checks running programs itself). A tick may wait in
// an alert for minutes, and whatever runs from inside that wait may switch the timer group on
// again, so the group alone cannot keep a second tick out.

namespace model {
struct App;
}

namespace engine {

// No shield tick, scan, removal or Live Update is running.
bool ShieldTickMayStart(const model::App& app);

// Marks a shield tick as running for its lifetime (also when it unwinds by an exception).
class ShieldTickScope {
 public:
  explicit ShieldTickScope(model::App& app);
  ~ShieldTickScope();
  ShieldTickScope(const ShieldTickScope&) = delete;
  ShieldTickScope& operator=(const ShieldTickScope&) = delete;

 private:
  model::App& app_;
};

}  // namespace engine
