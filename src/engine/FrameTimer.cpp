#include "engine/FrameTimer.h"

namespace quarn {

// The counter on this platform sleeps with millisecond precision already, so there is no
// scheduler resolution to raise at construction.
FrameTimer::FrameTimer(platform::Clock* clock) : clock_(clock) {}

bool FrameTimer::SetRate(int fps) {
  frequency_ = clock_->Frequency();
  if (frequency_ <= 0 || fps <= 0)
    return false;
  rate_ = fps;
  period_ = frequency_ / fps;
  due_ = clock_->Counter();
  pauseCount_ = 0;
  return true;
}

void FrameTimer::Advance() {
  due_ += period_;
}

bool FrameTimer::IsLate() {
  return clock_->Counter() >= due_;
}

bool FrameTimer::WaitForDue() {
  int64_t counter = clock_->Counter();
  while (due_ > counter + frequency_ / 1000) {
    clock_->Sleep(1);
    counter = clock_->Counter();
  }
  while (counter < due_) {
    clock_->Relax();
    counter = clock_->Counter();
  }
  return true;
}

void FrameTimer::PauseBegin() {
  if (pauseCount_ == 0) {
    pauseStart_ = clock_->Counter();
    dueAtPauseStart_ = due_;
  }
  ++pauseCount_;
}

void FrameTimer::PauseEnd() {
  if (pauseCount_ <= 0)
    return;
  --pauseCount_;
  if (pauseCount_ != 0)
    return;
  // A loop that kept pacing itself through the pause (a lost device) has moved the schedule on
  // already; adding the whole span again would make it wait as long once more.
  const int64_t shifted = dueAtPauseStart_ + (clock_->Counter() - pauseStart_);
  if (shifted > due_)
    due_ = shifted;
}

}  // namespace quarn
