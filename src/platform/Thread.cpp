#include "platform/Thread.h"

#include <atomic>

namespace quarn::platform {

namespace {
std::atomic<ThreadId> nextThreadId{1};
thread_local ThreadId currentThreadId = 0;
}  // namespace

ThreadId Thread::CurrentId() {
  if (currentThreadId == 0)
    currentThreadId = nextThreadId.fetch_add(1);
  return currentThreadId;
}

Thread::~Thread() {
  if (thread_.joinable())
    thread_.join();
}

bool Thread::Start(std::function<int()> body) {
  if (thread_.joinable())
    return false;
  finished_ = std::make_shared<Event>();
  exitCode_ = std::make_shared<int>(0);
  id_ = nextThreadId.fetch_add(1);
  auto finished = finished_;
  auto exitCode = exitCode_;
  const ThreadId id = id_;
  try {
    thread_ = std::thread([body = std::move(body), finished, exitCode, id] {
      currentThreadId = id;
      *exitCode = body();
      finished->Set();
    });
  } catch (const std::system_error&) {
    id_ = 0;
    return false;
  }
  return true;
}

bool Thread::WaitFinished(int timeoutMs) {
  if (!thread_.joinable())
    return true;
  return finished_->Wait(timeoutMs);
}

int Thread::Join() {
  if (thread_.joinable())
    thread_.join();
  id_ = 0;
  return exitCode_ ? *exitCode_ : 0;
}

}  // namespace quarn::platform
