#include "platform/ReplayInputBackend.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/ScanCodes.h"

namespace quarn::platform {
namespace {

WindowHandle FakeWindow() {
  return reinterpret_cast<WindowHandle>(0x1234);
}

std::vector<Message> TakeMessages() {
  std::vector<Message> messages;
  Message message;
  while (MessageQueue::Current()->Peek(message))
    messages.push_back(message);
  return messages;
}

InputSnapshot Holding(std::initializer_list<uint8_t> keys) {
  InputSnapshot state;
  for (uint8_t key : keys)
    state.keyboard.keys[key] = kKeyDown;
  return state;
}

// Escape held from update 0, Pause from 2, Escape released and Ctrl pressed at 3; 5 updates.
InputRecording Recording() {
  InputRecording recording;
  recording.updateCount = 5;
  recording.changes = {{0, Holding({scan::kEscape})},
                       {2, Holding({scan::kEscape, scan::kPause})},
                       {3, Holding({scan::kPause, 0x1D})}};
  return recording;
}

class ReplayInputBackendTest : public ::testing::Test {
 protected:
  ReplayInputBackendTest() { TakeMessages(); }
};

TEST_F(ReplayInputBackendTest, PlaysEachRecordedUpdateOnceThenRestsAndSaysSo) {
  ReplayInputBackend replay(Recording(), nullptr);
  ASSERT_TRUE(replay.Start());
  std::vector<bool> pause;
  InputSnapshot snapshot;
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(replay.HasMoreInput());
    ASSERT_TRUE(replay.Poll(&snapshot));
    pause.push_back(snapshot.keyboard.keys[scan::kPause] != 0);
  }
  EXPECT_EQ(pause, (std::vector<bool>{false, false, true, true, true}));
  EXPECT_FALSE(replay.HasMoreInput());
  EXPECT_FALSE(replay.Poll(&snapshot));
  EXPECT_EQ(snapshot, InputSnapshot{});
  EXPECT_EQ(replay.Played(), 5);
  EXPECT_TRUE(TakeMessages().empty()) << "no window, no messages";
}

TEST_F(ReplayInputBackendTest, KeyMessagesArePostedOnePassAhead) {
  ReplayInputBackend replay(Recording(), FakeWindow());
  replay.Start();
  std::vector<Message> messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u) << "the keys of update 0, before its pass pumps";
  EXPECT_EQ(messages[0].window, FakeWindow());
  EXPECT_EQ(messages[0].message, kWmKeyDown);
  EXPECT_EQ(messages[0].wParam, kVkEscape);
  InputSnapshot snapshot;
  replay.Poll(&snapshot);  // update 0: update 1 changes nothing
  EXPECT_TRUE(TakeMessages().empty());
  replay.Poll(&snapshot);  // update 1: Pause goes down at update 2
  messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].message, kWmKeyDown);
  EXPECT_EQ(messages[0].wParam, kVkPause);
  replay.Poll(&snapshot);  // update 2: Escape goes up at 3; Ctrl makes no message
  messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].message, kWmKeyUp);
  EXPECT_EQ(messages[0].wParam, kVkEscape);
  replay.Poll(&snapshot);
  replay.Poll(&snapshot);
  EXPECT_TRUE(TakeMessages().empty()) << "nothing after the last update";
}

TEST_F(ReplayInputBackendTest, JoystickSlotsNeverShrink) {
  InputRecording recording;
  recording.joysticksAtStart = 2;
  recording.updateCount = 2;
  InputSnapshot one;
  one.joysticks.resize(1);
  one.joysticks[0].buttons[0] = kKeyDown;
  recording.changes = {{0, one}};
  ReplayInputBackend replay(recording, nullptr);
  replay.Start();
  EXPECT_EQ(replay.JoystickCount(), 2u);
  InputSnapshot snapshot;
  replay.Poll(&snapshot);
  ASSERT_EQ(snapshot.joysticks.size(), 2u);
  EXPECT_EQ(snapshot.joysticks[0].buttons[0], kKeyDown);
  replay.Poll(&snapshot);
  EXPECT_FALSE(replay.Poll(&snapshot));
  EXPECT_EQ(snapshot.joysticks.size(), 2u);
  EXPECT_FALSE(snapshot.joysticks[1].attached) << "after the end every device is at rest";
}

}  // namespace
}  // namespace quarn::platform
