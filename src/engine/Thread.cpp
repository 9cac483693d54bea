#include "engine/Thread.h"

#include "platform/Window.h"

namespace quarn {

Thread::Thread() = default;

Thread::~Thread() {
  // A running thread uses this object: it is stopped before the object goes away.
  if (thread_ != nullptr) {
    int exitCode = 0;
    Stop(kInfinite, &exitCode);
  }
}

void Thread::BindToCallingThread() {
  threadId_ = platform::Thread::CurrentId();
  queue_ = platform::MessageQueue::Current();
}

bool Thread::Start(Runnable* runnable) {
  if (thread_ != nullptr || queue_ != nullptr)
    return false;
  runnable_ = runnable != nullptr ? runnable : this;
  stopEvent_ = std::make_unique<platform::Event>(false);
  // The queue exists before the thread runs, so a Stop right after Start is never lost.
  auto queue = std::make_shared<platform::MessageQueue>(0);
  auto thread = std::make_unique<platform::Thread>();
  Runnable* target = runnable_;
  const bool started = thread->Start([this, target, queue] {
    platform::MessageQueue::BindCurrent(queue);
    const int result = target->Run(this);
    platform::MessageQueue::ReleaseCurrent();
    return result;
  });
  if (!started) {
    stopEvent_.reset();
    return false;
  }
  threadId_ = thread->Id();
  platform::MessageQueue::Register(queue, threadId_);
  queue_ = std::move(queue);
  thread_ = std::move(thread);
  return true;
}

bool Thread::Stop(int timeoutMs, int* exitCode) {
  if (thread_ == nullptr)
    return true;
  platform::Message quit;
  quit.message = platform::kWmQuit;
  queue_->Post(quit);
  stopEvent_->Set();
  if (!thread_->WaitFinished(timeoutMs))
    return false;
  const int code = thread_->Join();
  if (exitCode != nullptr)
    *exitCode = code;
  thread_.reset();
  stopEvent_.reset();
  queue_.reset();
  threadId_ = 0;
  return true;
}

int Thread::Run(Thread*) {
  while (PumpMessage(false)) {
  }
  return 0;
}

bool Thread::PumpMessage(bool peek) {
  auto queue = platform::MessageQueue::Current();
  platform::Message message;
  if (peek) {
    if (!queue->Peek(message))
      return true;
  } else {
    queue->Wait(message);
  }
  if (message.message == platform::kWmQuit)
    return false;
  platform::DispatchMessage(message);
  if (message.window == nullptr) {
    OnMessage(nullptr, message.message, message.wParam, message.lParam);
  }
  return true;
}

}  // namespace quarn
