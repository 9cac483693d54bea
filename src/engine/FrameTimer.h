#pragma once
// Paces the main loop: one frame period per pass, measured on the high-resolution counter.
// Pauses (nesting) shift the whole schedule, so that loading time never counts as lag; periods
// the loop itself advanced during a pause already cover that much of it.
#include <cstdint>

#include "platform/Clock.h"

namespace quarn {

class FrameTimer {
 public:
  explicit FrameTimer(platform::Clock* clock = &platform::Clock::System());
  ~FrameTimer() = default;
  FrameTimer(const FrameTimer&) = delete;
  FrameTimer& operator=(const FrameTimer&) = delete;

  // The counter to pace against (a fake clock in tests and headless runs).
  void SetClock(platform::Clock* clock) { clock_ = clock; }
  platform::Clock* GetClock() const { return clock_; }

  // rate = fps, period = frequency / fps (rounded down), due = now, pauses cleared.
  // False when the counter is unavailable.
  bool SetRate(int fps);
  // The next frame period begins: due += period.
  void Advance();
  // True when the counter has reached the end of the current period.
  bool IsLate();
  // Sleeps in 1 ms steps while more than a millisecond is left, then spins until due.
  bool WaitForDue();
  void PauseBegin();
  // Ends the outermost pause: due becomes at least (due at its start + the paused time).
  void PauseEnd();

  int64_t Frequency() const { return frequency_; }
  int Rate() const { return rate_; }
  int64_t Period() const { return period_; }
  int64_t Due() const { return due_; }
  int PauseCount() const { return pauseCount_; }

 private:
  platform::Clock* clock_;
  int64_t frequency_ = 0;
  int rate_ = 60;
  int64_t period_ = 0;
  int64_t due_ = 0;
  int pauseCount_ = 0;
  int64_t pauseStart_ = 0;
  int64_t dueAtPauseStart_ = 0;
};

}  // namespace quarn
