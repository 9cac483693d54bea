#pragma once
// The program's own message records, shaped like the window messages the framework dispatches,
// and per-thread message queues that the window's event pump and other threads post into.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/Thread.h"

namespace quarn::platform {

// Opaque handle of a platform window; null addresses a thread message.
using WindowHandle = struct WindowHandleTag*;

struct Message {
  WindowHandle window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Message numbers and parameters, with the values the framework was designed against.
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmActivate = 0x0006;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmSetCursor = 0x0020;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmApp = 0x8000;
inline constexpr uintptr_t kVkReturn = 0x0D;
inline constexpr uintptr_t kVkPause = 0x13;
inline constexpr uintptr_t kVkEscape = 0x1B;
inline constexpr uintptr_t kVkF12 = 0x7B;
inline constexpr intptr_t kHtClient = 1;
inline constexpr uintptr_t kSizeRestored = 0;
inline constexpr uintptr_t kSizeMinimized = 1;

class MessageQueue;

// Something that turns outside events into messages of a queue (the window's event pump).
class MessageSource {
 public:
  virtual ~MessageSource() = default;
  virtual void PumpInto(MessageQueue& queue) = 0;
  // Blocks until an outside event may be ready or timeoutMs passes.
  virtual void WaitForEvents(int timeoutMs) = 0;
};

class MessageQueue {
 public:
  explicit MessageQueue(ThreadId owner);

  ThreadId Owner() const { return owner_; }
  void Post(const Message& message);
  // Removes the oldest message; false when there is none (after asking the source once).
  bool Peek(Message& out);
  // Removes the oldest message, waiting for one as long as it takes.
  void Wait(Message& out);

  void SetSource(MessageSource* source) { source_ = source; }
  MessageSource* Source() const { return source_; }

  // The calling thread's queue, made on first use and registered under the thread's id.
  static std::shared_ptr<MessageQueue> Current();
  // Posts to the queue of another thread; false when that thread has none.
  static bool PostToThread(ThreadId thread, const Message& message);
  // Makes queue the calling thread's queue (a new thread adopts the queue its starter made,
  // so that messages posted before it runs are kept).
  static void BindCurrent(std::shared_ptr<MessageQueue> queue);
  // Lists queue as the queue of thread owner, for PostToThread.
  static void Register(const std::shared_ptr<MessageQueue>& queue, ThreadId owner);
  // Forgets the calling thread's queue (its thread is ending).
  static void ReleaseCurrent();

 private:
  bool TryPop(Message& out);

  ThreadId owner_;
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<Message> messages_;
  MessageSource* source_ = nullptr;  // used only by the owning thread
};

// Posts WM_QUIT with the exit code to the calling thread's queue.
void PostQuitMessage(int exitCode);

}  // namespace quarn::platform
