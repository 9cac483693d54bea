#pragma once
// Manual-reset events: once set, an event stays set until reset, and every waiter wakes.
#include <memory>
#include <span>

namespace quarn::platform {

class Event {
 public:
  explicit Event(bool signalled = false);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // Waits until the event is set; timeoutMs < 0 waits forever. True when set.
  bool Wait(int timeoutMs = -1);
  // Waits until any of the events is set: its index, or -1 after the timeout.
  static int WaitAny(std::span<Event* const> events, int timeoutMs = -1);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace quarn::platform
