#include "engine/InputRecorder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace quarn {
namespace {

using platform::InputRecording;
using platform::InputSnapshot;
using platform::JoystickState;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The state of update n of a recording, as a replay would play it.
InputSnapshot StateAt(const InputRecording& recording, long update) {
  InputSnapshot state;
  for (const auto& change : recording.changes) {
    if (change.update <= update)
      state = change.snapshot;
  }
  return state;
}

InputSnapshot Busy() {
  InputSnapshot state;
  state.acquirable = false;
  state.keyboard.keys[0] = platform::kKeyDown;
  state.keyboard.keys[208] = platform::kKeyDown;
  state.keyboard.keys[255] = platform::kKeyDown;
  state.mouse = {-3, 7, -240, {platform::kKeyDown, 0, 0, 0, 0, 0, 0, platform::kKeyDown}};
  state.joysticks.resize(3);
  state.joysticks[0].axes = {0, 65535, 1, 2, 3, 32767};
  state.joysticks[0].sliders = {0, 65535};
  state.joysticks[0].hats = {0, 9000, platform::kHatCentred, 35999};
  state.joysticks[0].buttons[0] = platform::kKeyDown;
  state.joysticks[0].buttons[31] = platform::kKeyDown;
  state.joysticks[1] = JoystickState::AtRest(false);
  return state;
}

class InputRecorderTest : public ::testing::Test {
 protected:
  std::string path_ = ::testing::TempDir() + "/recorder_" + std::to_string(getpid()) +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(InputRecorderTest, EveryFieldSurvivesTheRoundTrip) {
  InputRecorder recorder;
  ASSERT_TRUE(recorder.Open(path_, 1));
  std::vector<InputSnapshot> passes(6);
  passes[0].joysticks.resize(1);
  passes[1] = passes[0];
  passes[2] = Busy();
  passes[3] = Busy();
  passes[4] = Busy();
  passes[4].joysticks[2].buttons[4] = platform::kKeyDown;
  passes[5] = passes[4];
  passes[5].acquirable = true;
  for (const auto& pass : passes)
    recorder.Record(pass);
  EXPECT_TRUE(recorder.Close());

  InputRecording recording;
  std::string problem = "unset";
  ASSERT_TRUE(ReadInputRecording(path_, &recording, &problem)) << problem;
  EXPECT_EQ(problem, "");
  EXPECT_EQ(recording.updateCount, 6);
  EXPECT_EQ(recording.joysticksAtStart, 1u);
  for (long update = 0; update < 6; ++update) {
    EXPECT_EQ(StateAt(recording, update), passes[update]) << "update " << update;
  }
  EXPECT_EQ(recording.changes.size(), 4u) << "unchanged passes are not written again";
}

TEST_F(InputRecorderTest, AnIdleRecordingStaysSmall) {
  InputRecorder recorder;
  ASSERT_TRUE(recorder.Open(path_, 0));
  InputSnapshot held;
  held.keyboard.keys[200] = platform::kKeyDown;
  for (int i = 0; i < 3000; ++i)
    recorder.Record(i < 1000 ? InputSnapshot{} : held);
  recorder.Close();
  EXPECT_EQ(ReadText(path_),
            "quarn-replay 1\njoysticks 0\nupdate 0\nupdate 1000\nkeys 200\nend 3000\n");
}

TEST_F(InputRecorderTest, AStoppedRecorderLeavesAFileThatPlaysUpToItsLastChange) {
  {
    InputRecorder recorder;
    ASSERT_TRUE(recorder.Open(path_, 0));
    InputSnapshot held;
    held.keyboard.keys[1] = platform::kKeyDown;
    for (int i = 0; i < 10; ++i)
      recorder.Record(i < 4 ? InputSnapshot{} : held);
    // Read while it is still open, as after a crash: every change is already on disk.
    InputRecording recording;
    std::string problem;
    ASSERT_TRUE(ParseInputRecording(ReadText(path_), &recording, &problem));
    EXPECT_NE(problem.find("no \"end\""), std::string::npos) << problem;
    EXPECT_EQ(recording.updateCount, 5);
    EXPECT_EQ(StateAt(recording, 4).keyboard.keys[1], platform::kKeyDown);
  }
  EXPECT_NE(ReadText(path_).find("end 10\n"), std::string::npos) << "closed when destroyed";
}

TEST(InputRecordingParseTest, AHandWrittenFileWithNamesCommentsAndCrLf) {
  const char* text =
      "# made by hand\r\n"
      "quarn-replay 1\r\n"
      "\r\n"
      "update 10   # take off\r\n"
      "keys Down C 46\r\n"
      "joy 1 buttons 3 axes 32767 0 32767 32767 32767 32767\r\n"
      "update 12\r\n"
      "joysticks 3\r\n"
      "end 20\r\n";
  InputRecording recording;
  std::string problem;
  ASSERT_TRUE(ParseInputRecording(text, &recording, &problem));
  EXPECT_EQ(problem, "");
  EXPECT_EQ(recording.updateCount, 20);
  EXPECT_EQ(StateAt(recording, 9), InputSnapshot{}) << "before the first block all is at rest";
  const InputSnapshot at10 = StateAt(recording, 10);
  EXPECT_EQ(at10.keyboard.keys[208], platform::kKeyDown);
  EXPECT_EQ(at10.keyboard.keys[46], platform::kKeyDown);
  ASSERT_EQ(at10.joysticks.size(), 2u);
  EXPECT_EQ(at10.joysticks[0], JoystickState{});
  EXPECT_EQ(at10.joysticks[1].axes[1], 0);
  EXPECT_EQ(at10.joysticks[1].buttons[2], platform::kKeyDown);
  const InputSnapshot at15 = StateAt(recording, 15);
  EXPECT_EQ(at15.joysticks.size(), 3u);
  EXPECT_EQ(at15.joysticks[1], JoystickState{}) << "a block holds its whole state";
  EXPECT_EQ(at15.keyboard.keys[208], 0);
}

TEST(InputRecordingParseTest, WhatIsNotARecordingIsRefusedWithAReason) {
  InputRecording recording;
  std::string problem;
  EXPECT_FALSE(ParseInputRecording("", &recording, &problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_FALSE(ParseInputRecording("update 0\nend 1\n", &recording, &problem));
  EXPECT_FALSE(ParseInputRecording("quarn-replay x\n", &recording, &problem));
  EXPECT_FALSE(ParseInputRecording("quarn-replay 2\nend 1\n", &recording, &problem));
  EXPECT_NE(problem.find("newer"), std::string::npos) << problem;
  EXPECT_FALSE(ReadInputRecording("/nonexistent/replay.txt", &recording, &problem));
}

struct Damage {
  const char* text;
  long playable;      // updates kept
  const char* where;  // in the problem
};

class DamagedRecordingTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedRecordingTest, KeepsTheUpdatesBeforeTheDamage) {
  InputRecording recording;
  std::string problem;
  ASSERT_TRUE(ParseInputRecording(GetParam().text, &recording, &problem));
  EXPECT_EQ(recording.updateCount, GetParam().playable);
  EXPECT_NE(problem.find(GetParam().where), std::string::npos) << problem;
  for (const auto& change : recording.changes)
    EXPECT_LT(change.update, recording.updateCount);
  if (recording.updateCount > 0) {
    ASSERT_FALSE(recording.changes.empty());
    EXPECT_EQ(recording.changes.front().update, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRecordingTest,
    ::testing::Values(
        Damage{"quarn-replay 1\nupdate 0\nupdate 5\nkeys 256\nend 9\n", 5, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 5\nkeys NoSuchKey\n", 5, "line 4"},
        Damage{"quarn-replay 1\nupdate 4\nkeys 1\nupdate 3\nend 9\n", 5, "line 4"},
        Damage{"quarn-replay 1\nupdate 4\nend 2\n", 5, "line 3"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\nmouse 1 2\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\njoy 64\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\njoy 0 axes 1 2 3\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\njoy 0 hats 36000 -1 -1 -1\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\njoy 0 buttons 0\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\njoy 0 wobble\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\njoysticks 65\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 6\nsomething\nend 9\n", 6, "line 4"},
        Damage{"quarn-replay 1\nkeys 1\nupdate 0\nend 9\n", 0, "line 2"},
        Damage{"quarn-replay 1\nupdate 0\nupdate 99999999999\n", 1, "line 3"},
        Damage{"quarn-replay 1\nupdate 2\nkeys 1\n", 3, "no \"end\""},
        Damage{"quarn-replay 1\nupdate 0 1\nend 9\n", 0, "line 2"}));

TEST(InputRecordingFormatTest, ABlockListsOnlyWhatIsNotAtRest) {
  InputSnapshot state;
  state.joysticks.resize(2);
  EXPECT_EQ(FormatInputBlock(state, 2), "");
  EXPECT_EQ(FormatInputBlock(state, 1), "joysticks 2\n");
  state.joysticks[1].hats[2] = 18000;
  state.joysticks[0] = JoystickState::AtRest(false);
  state.keyboard.keys[203] = platform::kKeyDown;
  EXPECT_EQ(FormatInputBlock(state, 2), "keys 203\njoy 0 unplugged\njoy 1 hats -1 -1 18000 -1\n");
}

}  // namespace
}  // namespace quarn
