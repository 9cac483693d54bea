#pragma once
// A thread object: a message dispatcher with its own message queue and stop event that runs
// a Runnable (by default its own message loop) on a thread of its own.
#include <memory>

#include "engine/MessageDispatcher.h"
#include "engine/Runnable.h"
#include "platform/Event.h"
#include "platform/Message.h"
#include "platform/Thread.h"

namespace quarn {

inline constexpr int kInfinite = -1;

class Thread : public MessageDispatcher, public Runnable {
 public:
  Thread();
  ~Thread() override;

  // Runs runnable (null: this object's own Run) on a new thread. False when a thread is
  // already running or cannot be made.
  virtual bool Start(Runnable* runnable);
  // Posts WM_QUIT to the thread, sets its stop event and waits up to timeoutMs (kInfinite:
  // forever) for it to end. False if it did not end in time (everything stays open, Stop may
  // be called again); true with its exit code otherwise, or at once when none runs.
  virtual bool Stop(int timeoutMs, int* exitCode);

  // The default body: a message loop until WM_QUIT. Returns 0.
  int Run(Thread* thread) override;

  // Takes one message of the calling thread's queue (peek: only if one is waiting; otherwise
  // waits for one) and dispatches it; a thread message (no window) also goes to OnMessage.
  // False on WM_QUIT, which is not dispatched.
  bool PumpMessage(bool peek);

  platform::Event* GetStopEvent() const { return stopEvent_.get(); }
  platform::ThreadId GetThreadId() const { return threadId_; }
  bool IsRunning() const { return thread_ != nullptr; }

 protected:
  // Binds this object to the calling thread, for the application's main thread.
  void BindToCallingThread();

 private:
  std::unique_ptr<platform::Thread> thread_;
  platform::ThreadId threadId_ = 0;
  std::unique_ptr<platform::Event> stopEvent_;
  std::shared_ptr<platform::MessageQueue> queue_;
  Runnable* runnable_ = nullptr;
};

}  // namespace quarn
