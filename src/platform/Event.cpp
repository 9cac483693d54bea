#include "platform/Event.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace quarn::platform {

namespace {
// One waiter of WaitAny: woken by whichever of its events is set first.
struct Waiter {
  std::mutex mutex;
  std::condition_variable wake;
  bool woken = false;
};
}  // namespace

struct Event::State {
  mutable std::mutex mutex;
  bool signalled = false;
  std::vector<Waiter*> waiters;
};

Event::Event(bool signalled) : state_(std::make_shared<State>()) {
  state_->signalled = signalled;
}

Event::~Event() = default;

void Event::Set() {
  std::lock_guard lock(state_->mutex);
  state_->signalled = true;
  for (Waiter* waiter : state_->waiters) {
    std::lock_guard waiterLock(waiter->mutex);
    waiter->woken = true;
    waiter->wake.notify_all();
  }
}

void Event::Reset() {
  std::lock_guard lock(state_->mutex);
  state_->signalled = false;
}

bool Event::IsSet() const {
  std::lock_guard lock(state_->mutex);
  return state_->signalled;
}

bool Event::Wait(int timeoutMs) {
  Event* self = this;
  return WaitAny(std::span<Event* const>(&self, 1), timeoutMs) == 0;
}

int Event::WaitAny(std::span<Event* const> events, int timeoutMs) {
  Waiter waiter;
  auto firstSet = [&]() -> int {
    for (size_t i = 0; i < events.size(); ++i) {
      if (events[i]->IsSet())
        return static_cast<int>(i);
    }
    return -1;
  };
  for (Event* event : events) {
    std::lock_guard lock(event->state_->mutex);
    event->state_->waiters.push_back(&waiter);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int result = firstSet();
  while (result < 0) {
    std::unique_lock lock(waiter.mutex);
    if (!waiter.woken) {
      if (timeoutMs < 0) {
        waiter.wake.wait(lock, [&] { return waiter.woken; });
      } else if (!waiter.wake.wait_until(lock, deadline, [&] { return waiter.woken; })) {
        lock.unlock();
        result = firstSet();
        break;
      }
    }
    waiter.woken = false;
    lock.unlock();
    result = firstSet();
  }
  for (Event* event : events) {
    std::lock_guard lock(event->state_->mutex);
    auto& list = event->state_->waiters;
    list.erase(std::remove(list.begin(), list.end(), &waiter), list.end());
  }
  return result;
}

}  // namespace quarn::platform
