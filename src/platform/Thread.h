#pragma once
// Threads with numeric ids and an exit code, and a timed wait for their end.
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "platform/Event.h"

namespace quarn::platform {

using ThreadId = uint32_t;

class Thread {
 public:
  Thread() = default;
  // Joins a thread that is still running: a thread object never outlives its thread.
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs body on a new thread; false if one is already running or cannot be created.
  bool Start(std::function<int()> body);
  // Waits for the body to return (timeoutMs < 0: forever); true once it has.
  bool WaitFinished(int timeoutMs);
  // Joins a finished thread and gives the body's result.
  int Join();
  bool IsStarted() const { return thread_.joinable(); }
  ThreadId Id() const { return id_; }

  // A small number naming the calling thread, unique for the process's life.
  static ThreadId CurrentId();

 private:
  std::thread thread_;
  ThreadId id_ = 0;
  std::shared_ptr<Event> finished_;
  std::shared_ptr<int> exitCode_;
};

}  // namespace quarn::platform
