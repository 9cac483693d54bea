#include "platform/Event.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "platform/Thread.h"

namespace quarn::platform {
namespace {

TEST(EventTest, ManualResetStaysSetUntilReset) {
  Event event;
  EXPECT_FALSE(event.Wait(0));
  event.Set();
  EXPECT_TRUE(event.Wait(0));
  EXPECT_TRUE(event.Wait(0)) << "a manual-reset event wakes every waiter, not just one";
  event.Reset();
  EXPECT_FALSE(event.Wait(1));
}

TEST(EventTest, WaitAnyReportsTheEventSetFromAnotherThread) {
  Event stop, endOfStream;
  std::array<Event*, 2> events{&stop, &endOfStream};
  std::thread setter([&] { endOfStream.Set(); });
  EXPECT_EQ(Event::WaitAny(events, -1), 1);
  setter.join();
  EXPECT_EQ(Event::WaitAny(events, 0), 1);
  endOfStream.Reset();
  EXPECT_EQ(Event::WaitAny(events, 5), -1) << "nothing set: the wait times out";
}

TEST(ThreadTest, ExitCodeAndTimedWait) {
  Event release;
  Thread thread;
  ASSERT_TRUE(thread.Start([&] {
    release.Wait(-1);
    return 42;
  }));
  EXPECT_FALSE(thread.Start([] { return 0; })) << "one body per thread object";
  EXPECT_FALSE(thread.WaitFinished(10)) << "the body is still waiting";
  release.Set();
  EXPECT_TRUE(thread.WaitFinished(-1));
  EXPECT_EQ(thread.Join(), 42);
  EXPECT_NE(thread.Id(), Thread::CurrentId());
}

}  // namespace
}  // namespace quarn::platform
