#include "engine/Joystick.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarn {
namespace {

// Joystick slot 0 reading a state the test sets, with the stage-play roll axis on x.
class JoystickTest : public ::testing::Test {
 protected:
  static constexpr int kRoll = 2;
  static constexpr int kStickX = 1;

  JoystickTest() {
    state_.joysticks.resize(1);
    joystick_.Create(&state_, 0);
    joystick_.AddStickAxis(kRoll, kStickX, 3200, 320);
  }

  platform::JoystickState& Pad() { return state_.joysticks[0]; }
  std::vector<int> RollAfter(int updates) {
    std::vector<int> values;
    for (int i = 0; i < updates; ++i) {
      EXPECT_TRUE(joystick_.Update());
      values.push_back(joystick_.GetAxis(kRoll));
    }
    return values;
  }

  platform::InputSnapshot state_;
  Joystick joystick_;
};

TEST_F(JoystickTest, FullDeflectionSlewsToPlus32768AndBackToTheExactCentre) {
  Pad().axes[0] = 65535;
  const std::vector<int> out = RollAfter(12);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(out[i], 3200 * (i + 1)) << "update " << i + 1;
  EXPECT_EQ(out[10], 32768) << "no clamp on the stick path";
  EXPECT_EQ(out[11], 32768);
  Pad().axes[0] = platform::kAxisCentre;
  const std::vector<int> back = RollAfter(12);
  EXPECT_EQ(back[0], 29568);
  EXPECT_EQ(back[9], 768);
  EXPECT_EQ(back[10], 0) << "the last step lands exactly on the centre";
  EXPECT_EQ(back[11], 0);
}

TEST_F(JoystickTest, SmallMovesAreFollowedAtOnceAndTheDeadZoneHidesThem) {
  Pad().axes[0] = platform::kAxisCentre + 300;
  EXPECT_EQ(RollAfter(1)[0], 0) << "300 is inside the dead zone of 320";
  Pad().axes[0] = platform::kAxisCentre - 2000;
  EXPECT_EQ(RollAfter(1)[0], -2000) << "within one step the value jumps to the reading";
  Pad().axes[0] = 0;
  EXPECT_EQ(RollAfter(2), (std::vector<int>{-5200, -8400}));
}

TEST_F(JoystickTest, DirectionButtonPressesOnlyPastItsThreshold) {
  joystick_.AddStickDirectionButton(2, kStickX, 3200);
  joystick_.AddStickDirectionButton(1, kStickX, -3200);
  joystick_.AddStickDirectionButton(5, kStickX, 0);
  Pad().axes[0] = platform::kAxisCentre + 3200;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(2), 0) << "3200 does not press";
  Pad().axes[0] = platform::kAxisCentre + 3201;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(2), 1) << "3201 does";
  EXPECT_EQ(joystick_.GetButton(1), 0);
  Pad().axes[0] = platform::kAxisCentre - 3200;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(1), 0);
  Pad().axes[0] = platform::kAxisCentre - 3201;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(1), 1);
  Pad().axes[0] = 0;
  joystick_.Update();
  Pad().axes[0] = platform::kAxisMax;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(5), 0) << "a threshold of 0 never presses";
}

TEST_F(JoystickTest, ButtonsFollowTheirPhysicalButton) {
  joystick_.AddStickButton(3, 1);
  joystick_.AddStickButton(7, 32);
  joystick_.AddStickButton(8, 33);
  Pad().buttons[0] = platform::kKeyDown;
  Pad().buttons[31] = platform::kKeyDown;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(3), 1);
  EXPECT_EQ(joystick_.GetButton(7), 1);
  EXPECT_EQ(joystick_.GetButton(8), 0) << "there is no button 33";
  EXPECT_EQ(joystick_.GetRawButton(1), 1);
  EXPECT_EQ(joystick_.GetRawButton(0), 0);
  Pad().buttons[0] = 0;
  joystick_.Update();
  EXPECT_EQ(joystick_.GetButton(3), 0);
}

TEST_F(JoystickTest, RawAxesAreNumberedFromOneAndOthersReadZero) {
  Pad().axes = {1, 2, 3, 4, 5, 6};
  joystick_.Update();
  for (int axis = 1; axis <= 6; ++axis)
    EXPECT_EQ(joystick_.GetRawAxis(axis), axis);
  EXPECT_EQ(joystick_.GetRawAxis(0), 0);
  EXPECT_EQ(joystick_.GetRawAxis(7), 0);
}

TEST_F(JoystickTest, UnpluggedItReadsCentredAndReleased) {
  joystick_.AddStickButton(3, 1);
  Pad().axes[0] = platform::kAxisMax;
  Pad().buttons[0] = platform::kKeyDown;
  RollAfter(3);
  EXPECT_EQ(joystick_.GetButton(3), 1);
  Pad() = platform::JoystickState::AtRest(false);
  EXPECT_EQ(RollAfter(3), (std::vector<int>{6400, 3200, 0}));
  EXPECT_EQ(joystick_.GetButton(3), 0);
}

TEST_F(JoystickTest, ASlotThePollDoesNotListReadsAtRest) {
  Joystick second;
  second.Create(&state_, 1);
  second.AddStickAxis(1, 2, 3200, 0);
  second.AddStickButton(2, 1);
  EXPECT_TRUE(second.Update());
  EXPECT_EQ(second.GetAxis(1), 0);
  EXPECT_EQ(second.GetButton(2), 0);
  EXPECT_EQ(second.GetRawAxis(2), platform::kAxisCentre);
}

TEST_F(JoystickTest, ClearedMappingsReadZeroAndWithoutFocusNothingMoves) {
  Pad().axes[0] = platform::kAxisMax;
  RollAfter(2);
  state_.acquirable = false;
  EXPECT_FALSE(joystick_.Update());
  EXPECT_EQ(joystick_.GetAxis(kRoll), 6400);
  state_.acquirable = true;
  joystick_.ClearMappings();
  joystick_.Update();
  EXPECT_EQ(joystick_.GetAxis(kRoll), 0);
}

}  // namespace
}  // namespace quarn
