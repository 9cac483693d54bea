#include "engine/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace quarn {
namespace {

// A thread object that counts the thread messages its message loop dispatches to it.
class CountingThread : public Thread {
 public:
  intptr_t OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override {
    if (message == platform::kWmApp)
      ++received;
    return Thread::OnMessage(window, message, wParam, lParam);
  }
  std::atomic<int> received{0};
};

class BlockingRunnable : public Runnable {
 public:
  int Run(Thread* thread) override {
    // Waits for the stop event, as a stream worker does, ignoring WM_QUIT.
    thread->GetStopEvent()->Wait(-1);
    release.Wait(-1);
    return 9;
  }
  platform::Event release;
};

TEST(ThreadTest, MessageLoopEndsOnStopWithItsExitCode) {
  CountingThread thread;
  ASSERT_TRUE(thread.Start(nullptr));
  EXPECT_FALSE(thread.Start(nullptr));
  EXPECT_TRUE(platform::MessageQueue::PostToThread(
      thread.GetThreadId(), platform::Message{nullptr, platform::kWmApp, 0, 0}));
  int exitCode = -1;
  ASSERT_TRUE(thread.Stop(kInfinite, &exitCode));
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(thread.IsRunning());
  EXPECT_TRUE(thread.Stop(0, &exitCode)) << "stopping a stopped thread succeeds at once";
}

TEST(ThreadTest, StopThatTimesOutKeepsTheThreadForALaterStop) {
  BlockingRunnable body;
  Thread thread;
  ASSERT_TRUE(thread.Start(&body));
  int exitCode = -1;
  EXPECT_FALSE(thread.Stop(20, &exitCode));
  EXPECT_TRUE(thread.IsRunning());
  EXPECT_EQ(exitCode, -1);
  body.release.Set();
  ASSERT_TRUE(thread.Stop(kInfinite, &exitCode));
  EXPECT_EQ(exitCode, 9);
}

TEST(MessageDispatcherTest, FirstNonZeroResultWinsInRegistrationOrder) {
  struct Handler : MessageHandler {
    explicit Handler(intptr_t r) : result(r) {}
    intptr_t OnMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) override {
      ++calls;
      return result;
    }
    intptr_t result;
    int calls = 0;
  };
  Handler zero(0), five(5), six(6);
  MessageDispatcher dispatcher;
  EXPECT_EQ(dispatcher.OnMessage(nullptr, 1, 0, 0), 0);
  EXPECT_TRUE(dispatcher.AddHandler(&zero));
  EXPECT_TRUE(dispatcher.AddHandler(&five));
  EXPECT_TRUE(dispatcher.AddHandler(&six));
  EXPECT_FALSE(dispatcher.AddHandler(&five));
  EXPECT_EQ(dispatcher.OnMessage(nullptr, 1, 0, 0), 5);
  EXPECT_EQ(six.calls, 0);
  EXPECT_TRUE(dispatcher.RemoveHandler(&five));
  EXPECT_FALSE(dispatcher.RemoveHandler(&five));
  EXPECT_EQ(dispatcher.OnMessage(nullptr, 1, 0, 0), 6);
  EXPECT_EQ(zero.calls, 2);
}

}  // namespace
}  // namespace quarn
