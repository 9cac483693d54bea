#pragma once
#include "engine/FrameTimer.h"

namespace quarn {

// Holds the frame timer paused for its lifetime (nesting); a null timer does nothing.
class TimerPauseScope {
 public:
  explicit TimerPauseScope(FrameTimer* timer) : timer_(timer) {
    if (timer_ != nullptr)
      timer_->PauseBegin();
  }
  // The running application's timer, if there is an application.
  TimerPauseScope();
  ~TimerPauseScope() {
    if (timer_ != nullptr)
      timer_->PauseEnd();
  }
  TimerPauseScope(const TimerPauseScope&) = delete;
  TimerPauseScope& operator=(const TimerPauseScope&) = delete;

 private:
  FrameTimer* timer_;
};

}  // namespace quarn
