#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace quarn::platform {

Clock& Clock::System() {
  static SteadyClock clock;
  return clock;
}

int64_t SteadyClock::Counter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SteadyClock::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SteadyClock::Relax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

FakeClock::FakeClock(int64_t frequency) {
  SetFrequency(frequency);
}

void FakeClock::SetFrequency(int64_t frequency) {
  frequency_ = frequency;
  // A relax step of 10 microseconds keeps scripted busy waits short but still exact.
  relaxStep_ = frequency > 100'000 ? frequency / 100'000 : 1;
}

void FakeClock::Sleep(int milliseconds) {
  ++sleepCalls_;
  now_ += frequency_ * milliseconds / 1000;
}

void FakeClock::AdvanceSeconds(double seconds) {
  now_ += static_cast<int64_t>(seconds * static_cast<double>(frequency_));
}

}  // namespace quarn::platform
