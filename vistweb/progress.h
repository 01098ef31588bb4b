// What the helper shows while it works, and the clock that bounds its run.
#pragma once
#include <chrono>
#include <string>

// The progress line. The window implementation shows it in the "VistWeb"
// window; without a display nothing is shown.
class Progress {
 public:
  virtual ~Progress() = default;
  // Shows the window with its first line.
  virtual void ShowFirst(const std::string& text) { (void)text; }
  virtual void SetLine(const std::string& text) { (void)text; }
  // Called often while the helper waits, so the window stays drawn.
  virtual void Pump() {}
};

// The end of the whole run: every wait is cut at it.
class RunClock {
 public:
  explicit RunClock(int limitSeconds)
      : end_(std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds)), limit_(limitSeconds) {}
  bool Expired() const { return std::chrono::steady_clock::now() >= end_; }
  // Milliseconds left, 0 when the limit has passed.
  long RemainingMs() const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<long>(left.count()) : 0;
  }
  int LimitSeconds() const { return limit_; }

 private:
  std::chrono::steady_clock::time_point end_;
  int limit_;
};

// Waits `seconds` (cut at the run's end), pumping the progress in short
// slices. False when the run's end cut the wait.
bool WaitSeconds(Progress& progress, const RunClock& clock, int seconds);
