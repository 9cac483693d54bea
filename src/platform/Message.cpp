#include "platform/Message.h"

#include <map>

namespace quarn::platform {

namespace {
struct QueueRegistry {
  std::mutex mutex;
  std::map<ThreadId, std::weak_ptr<MessageQueue>> queues;
};

QueueRegistry& Registry() {
  static QueueRegistry registry;
  return registry;
}

thread_local std::shared_ptr<MessageQueue> currentQueue;
}  // namespace

MessageQueue::MessageQueue(ThreadId owner) : owner_(owner) {}

void MessageQueue::Post(const Message& message) {
  {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
  }
  posted_.notify_all();
}

bool MessageQueue::TryPop(Message& out) {
  std::lock_guard lock(mutex_);
  if (messages_.empty())
    return false;
  out = messages_.front();
  messages_.pop_front();
  return true;
}

bool MessageQueue::Peek(Message& out) {
  if (source_ != nullptr)
    source_->PumpInto(*this);
  return TryPop(out);
}

void MessageQueue::Wait(Message& out) {
  for (;;) {
    if (Peek(out))
      return;
    if (source_ != nullptr) {
      // Outside events and posted messages both wake us; poll both at a short interval.
      source_->WaitForEvents(5);
    } else {
      std::unique_lock lock(mutex_);
      posted_.wait(lock, [this] { return !messages_.empty(); });
    }
  }
}

std::shared_ptr<MessageQueue> MessageQueue::Current() {
  if (!currentQueue) {
    currentQueue = std::make_shared<MessageQueue>(Thread::CurrentId());
    std::lock_guard lock(Registry().mutex);
    Registry().queues[currentQueue->Owner()] = currentQueue;
  }
  return currentQueue;
}

void MessageQueue::BindCurrent(std::shared_ptr<MessageQueue> queue) {
  ReleaseCurrent();
  Register(queue, Thread::CurrentId());
  currentQueue = std::move(queue);
}

void MessageQueue::Register(const std::shared_ptr<MessageQueue>& queue, ThreadId owner) {
  std::lock_guard lock(Registry().mutex);
  queue->owner_ = owner;
  Registry().queues[owner] = queue;
}

void MessageQueue::ReleaseCurrent() {
  if (!currentQueue)
    return;
  {
    std::lock_guard lock(Registry().mutex);
    Registry().queues.erase(currentQueue->Owner());
  }
  currentQueue.reset();
}

bool MessageQueue::PostToThread(ThreadId thread, const Message& message) {
  std::shared_ptr<MessageQueue> queue;
  {
    std::lock_guard lock(Registry().mutex);
    auto it = Registry().queues.find(thread);
    if (it != Registry().queues.end())
      queue = it->second.lock();
  }
  if (!queue)
    return false;
  queue->Post(message);
  return true;
}

void PostQuitMessage(int exitCode) {
  Message quit;
  quit.message = kWmQuit;
  quit.wParam = static_cast<uintptr_t>(exitCode);
  MessageQueue::Current()->Post(quit);
}

}  // namespace quarn::platform
