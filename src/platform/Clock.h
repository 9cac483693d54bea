#pragma once
// Monotonic high-resolution counter and sleep: the engine's only view of time.
#include <atomic>
#include <cstdint>

namespace quarn::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Current counter value; only differences between readings mean anything.
  virtual int64_t Counter() = 0;
  // Counts per second; 0 when no counter is available.
  virtual int64_t Frequency() = 0;
  // Gives the processor away for about this many milliseconds.
  virtual void Sleep(int milliseconds) = 0;
  // One step of a busy wait (a pause instruction on a real clock).
  virtual void Relax() {}

  // The process's real clock (std::chrono::steady_clock, nanoseconds).
  static Clock& System();
};

class SteadyClock final : public Clock {
 public:
  int64_t Counter() override;
  int64_t Frequency() override { return 1'000'000'000; }
  void Sleep(int milliseconds) override;
  void Relax() override;
};

// A clock that moves only when it is slept on, relaxed on or advanced by hand.
// Tests use it to script time; headless runs use it so that no pass ever waits. Its reading
// may be taken on any thread (a silent audio device keeps time by it).
class FakeClock final : public Clock {
 public:
  explicit FakeClock(int64_t frequency = 1'000'000'000);

  int64_t Counter() override { return now_; }
  int64_t Frequency() override { return frequency_; }
  void Sleep(int milliseconds) override;
  void Relax() override { now_ += relaxStep_; }

  void Advance(int64_t counts) { now_ += counts; }
  void AdvanceSeconds(double seconds);
  void SetFrequency(int64_t frequency);
  // Sleeps and relax steps recorded since construction (to check the waiting strategy).
  int64_t SleepCalls() const { return sleepCalls_; }

 private:
  int64_t frequency_;
  std::atomic<int64_t> now_{0};
  int64_t relaxStep_;
  int64_t sleepCalls_ = 0;
};

}  // namespace quarn::platform
