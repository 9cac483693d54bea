#include "engine/ButtonMap.h"

#include <gtest/gtest.h>

#include "engine/Joystick.h"
#include "engine/Keyboard.h"
#include "engine/Mouse.h"
#include "platform/ScanCodes.h"

namespace quarn {
namespace {

namespace scan = platform::scan;

// A keyboard and a joystick over one state, both registered with one map.
class ButtonMapTest : public ::testing::Test {
 protected:
  ButtonMapTest() {
    state_.joysticks.resize(1);
    keyboard_.Create(&state_, 0);
    joystick_.Create(&state_, 0);
  }

  void Key(uint8_t key, bool down) { state_.keyboard.keys[key] = down ? platform::kKeyDown : 0; }
  void Pass() {
    keyboard_.Update();
    joystick_.Update();
    map_.Update();
  }

  platform::InputSnapshot state_;
  Keyboard keyboard_;
  Joystick joystick_;
  ButtonMap map_;
};

TEST_F(ButtonMapTest, TheLargestDeflectionWinsWhateverTheDevice) {
  keyboard_.AddKeyAxis(1, scan::kDown, scan::kUp, 5000, 0);
  joystick_.AddStickAxis(1, 2, 20000, 0);
  map_.AddAxis(1, &keyboard_);
  map_.AddAxis(1, &joystick_);
  Key(scan::kDown, true);
  state_.joysticks[0].axes[1] = platform::kAxisCentre - 20000;
  Pass();
  Pass();
  ASSERT_EQ(keyboard_.GetAxis(1), 10000);
  EXPECT_EQ(map_.GetAxis(1), -20000);
  Pass();
  Pass();
  ASSERT_EQ(keyboard_.GetAxis(1), 20000);
  EXPECT_EQ(map_.GetAxis(1), 20000) << "on equal magnitudes the first registered device wins";
  Pass();
  EXPECT_EQ(map_.GetAxis(1), 25000);
}

TEST_F(ButtonMapTest, PressedAndReleasedAreTrueForExactlyOneUpdate) {
  keyboard_.AddKeyButton(3, scan::kC);
  map_.AddButton(3, &keyboard_);
  Pass();
  EXPECT_FALSE(map_.IsPressed(3));
  Key(scan::kC, true);
  Pass();
  EXPECT_TRUE(map_.IsPressed(3));
  EXPECT_EQ(map_.GetButton(3), 1);
  for (int i = 0; i < 3; ++i) {
    Pass();
    EXPECT_FALSE(map_.IsPressed(3)) << "held, update " << i;
    EXPECT_EQ(map_.GetButton(3), 1);
    EXPECT_FALSE(map_.IsReleased(3));
  }
  Key(scan::kC, false);
  Pass();
  EXPECT_TRUE(map_.IsReleased(3));
  EXPECT_FALSE(map_.IsPressed(3));
  EXPECT_EQ(map_.GetButton(3), 0);
  Pass();
  EXPECT_FALSE(map_.IsReleased(3));
}

TEST_F(ButtonMapTest, AnyDeviceHoldingTheButtonHoldsIt) {
  keyboard_.AddKeyButton(5, scan::kZ);
  joystick_.AddStickButton(5, 2);
  map_.AddButton(5, &keyboard_);
  map_.AddButton(5, &joystick_);
  state_.joysticks[0].buttons[1] = platform::kKeyDown;
  Pass();
  EXPECT_TRUE(map_.IsPressed(5));
  Key(scan::kZ, true);
  state_.joysticks[0].buttons[1] = 0;
  Pass();
  EXPECT_EQ(map_.GetButton(5), 1);
  EXPECT_FALSE(map_.IsPressed(5)) << "handing over between devices is no new press";
}

TEST_F(ButtonMapTest, AKeyHeldWhenTheMapIsMadeCountsAsPressedOnItsFirstUpdate) {
  keyboard_.AddKeyButton(1, scan::kX);
  Key(scan::kX, true);
  Pass();
  ButtonMap fresh;
  fresh.AddButton(1, &keyboard_);
  fresh.Update();
  EXPECT_TRUE(fresh.IsPressed(1));
}

TEST_F(ButtonMapTest, UnregisteredIdsReadNothingAndDevicesCountOnce) {
  EXPECT_EQ(map_.GetAxis(1), 0);
  EXPECT_EQ(map_.GetButton(1), 0);
  EXPECT_FALSE(map_.IsPressed(1));
  EXPECT_FALSE(map_.IsReleased(1));
  // A mapped button the map does not list is not reported.
  keyboard_.AddKeyButton(2, scan::kC);
  keyboard_.AddKeyButton(3, scan::kC);
  map_.AddButton(2, &keyboard_);
  map_.AddButton(2, &keyboard_);
  map_.AddButton(4, nullptr);
  Key(scan::kC, true);
  Pass();
  EXPECT_EQ(map_.GetButton(2), 1);
  EXPECT_EQ(map_.GetButton(3), 0);
  EXPECT_EQ(map_.GetButton(4), 0);
}

TEST_F(ButtonMapTest, AnAxisNoDeviceDrivesReadsZero) {
  map_.AddAxis(3, &keyboard_);
  map_.AddAxis(3, &joystick_);
  state_.joysticks[0].axes = {0, 0, 0, 0, 0, 0};
  Pass();
  EXPECT_EQ(map_.GetAxis(3), 0);
}

TEST(MouseTest, ReadsMovementWheelAndButtonsRawAndBindsNothing) {
  platform::InputSnapshot state;
  Mouse mouse;
  ASSERT_TRUE(mouse.Create(&state, 0));
  state.mouse.x = 5;
  state.mouse.y = -7;
  state.mouse.wheel = 240;
  state.mouse.buttons[0] = platform::kKeyDown;
  state.mouse.buttons[7] = platform::kKeyDown;
  ASSERT_TRUE(mouse.Update());
  EXPECT_EQ(mouse.GetRawAxis(1), 5);
  EXPECT_EQ(mouse.GetRawAxis(2), -7);
  EXPECT_EQ(mouse.GetRawAxis(3), 240);
  EXPECT_EQ(mouse.GetRawAxis(4), 0);
  EXPECT_EQ(mouse.GetRawButton(1), 1);
  EXPECT_EQ(mouse.GetRawButton(2), 0);
  EXPECT_EQ(mouse.GetRawButton(8), 1);
  EXPECT_EQ(mouse.GetRawButton(9), 0);
  EXPECT_EQ(mouse.GetAxis(1), 0);
  EXPECT_EQ(mouse.GetButton(1), 0);
  state.acquirable = false;
  state.mouse.x = 99;
  EXPECT_FALSE(mouse.Update());
  EXPECT_EQ(mouse.GetRawAxis(1), 5);
}

}  // namespace
}  // namespace quarn
