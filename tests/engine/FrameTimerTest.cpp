#include "engine/FrameTimer.h"

#include <gtest/gtest.h>

#include "engine/GameApp.h"
#include "engine/TimerPauseScope.h"

namespace quarn {
namespace {

constexpr int64_t kMillisecond = 1'000'000;  // fake clock counts in nanoseconds

TEST(FrameTimerTest, PeriodIsRoundedDown) {
  platform::FakeClock clock(1'000'000);  // not divisible by 30
  FrameTimer timer(&clock);
  ASSERT_TRUE(timer.SetRate(30));
  EXPECT_EQ(timer.Period(), 33333);
  clock.SetFrequency(0);
  EXPECT_FALSE(timer.SetRate(30)) << "no counter, no schedule";
}

TEST(FrameTimerTest, WaitSleepsInMillisecondsThenSpinsToTheExactDueTime) {
  platform::FakeClock clock;
  FrameTimer timer(&clock);
  ASSERT_TRUE(timer.SetRate(30));
  timer.Advance();
  EXPECT_FALSE(timer.IsLate());
  timer.WaitForDue();
  EXPECT_GE(clock.Counter(), timer.Due());
  EXPECT_LT(clock.Counter(), timer.Due() + kMillisecond / 100) << "no overshoot past due";
  EXPECT_EQ(clock.SleepCalls(), 33) << "sleeps while more than a millisecond is left";
  EXPECT_TRUE(timer.IsLate());
}

TEST(FrameTimerTest, PauseScopeAroundALongLoadKeepsTheNextPassOnTime) {
  platform::FakeClock clock;
  FrameTimer timer(&clock);
  timer.SetRate(30);
  timer.Advance();
  {
    TimerPauseScope scope(&timer);
    clock.AdvanceSeconds(2.0);  // loading
  }
  EXPECT_FALSE(timer.IsLate()) << "loading time must not count as lag";
}

TEST(FrameTimerTest, NestedPausesWithNoPassInsideShiftByTheOutermostSpan) {
  platform::FakeClock clock;
  FrameTimer timer(&clock);
  timer.SetRate(30);
  const int64_t due = timer.Due();
  timer.PauseBegin();
  clock.Advance(5 * kMillisecond);
  timer.PauseBegin();
  clock.Advance(7 * kMillisecond);
  timer.PauseEnd();
  EXPECT_EQ(timer.Due(), due) << "an inner end does not shift the schedule";
  clock.Advance(11 * kMillisecond);
  timer.PauseEnd();
  EXPECT_EQ(timer.Due(), due + 23 * kMillisecond);
  EXPECT_EQ(timer.PauseCount(), 0);
  clock.Advance(3 * kMillisecond);
  timer.PauseEnd();
  EXPECT_EQ(timer.PauseCount(), 0) << "an end without a beginning is ignored";
  EXPECT_EQ(timer.Due(), due + 23 * kMillisecond);
}

TEST(FrameTimerTest, PeriodsPacedDuringAPauseAreNotAddedAgainAtItsEnd) {
  platform::FakeClock clock;
  FrameTimer timer(&clock);
  timer.SetRate(30);
  timer.Advance();
  timer.PauseBegin();
  for (int pass = 0; pass < 90; ++pass) {  // three seconds of passes that keep their pace
    timer.WaitForDue();
    timer.Advance();
  }
  const int64_t due = timer.Due();
  timer.PauseEnd();
  // At most the busy wait's last overshoot is added, not the three seconds once more.
  EXPECT_GE(timer.Due(), due);
  EXPECT_LT(timer.Due(), due + kMillisecond / 100) << "the schedule already covers the pause";
  // Paused time the passes did not cover (a slow restore) still moves the schedule.
  timer.PauseBegin();
  timer.WaitForDue();
  timer.Advance();
  clock.AdvanceSeconds(2.0);
  timer.PauseEnd();
  EXPECT_FALSE(timer.IsLate());
  EXPECT_GT(timer.Due(), clock.Counter());
  EXPECT_LE(timer.Due(), clock.Counter() + timer.Period());
}

TEST(FrameTimerTest, AScopeHoldsItsTimerPausedForItsLifetime) {
  platform::FakeClock clock;
  FrameTimer timer(&clock);
  timer.SetRate(30);
  const int64_t due = timer.Due();
  {
    TimerPauseScope scope(&timer);
    EXPECT_EQ(timer.PauseCount(), 1);
    clock.Advance(9 * kMillisecond);
  }
  EXPECT_EQ(timer.PauseCount(), 0);
  EXPECT_EQ(timer.Due(), due + 9 * kMillisecond);
  // Without a timer, as outside a running application, a scope does nothing at all.
  EXPECT_EQ(ApplicationFrameTimer(), nullptr);
  {
    TimerPauseScope none(nullptr);
    TimerPauseScope noApplication;
  }
}

}  // namespace
}  // namespace quarn
