#include "engine/Keyboard.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/ScanCodes.h"

namespace quarn {
namespace {

namespace scan = platform::scan;

// A keyboard reading a state the test sets, with the stage-play pitch axis (dead zone 5000)
// and the same keys on an axis without a dead zone, so that the raw value can be seen.
class KeyboardTest : public ::testing::Test {
 protected:
  static constexpr int kPitch = 1;
  static constexpr int kRawPitch = 11;

  KeyboardTest() {
    keyboard_.Create(&state_, 0);
    keyboard_.AddKeyAxis(kPitch, scan::kDown, scan::kUp, 3200, 5000);
    keyboard_.AddKeyAxis(kRawPitch, scan::kDown, scan::kUp, 3200, 0);
  }

  void Set(uint8_t key, bool down) { state_.keyboard.keys[key] = down ? platform::kKeyDown : 0; }
  // Runs updates and collects the raw axis after each.
  std::vector<int> RawAfter(int updates) {
    std::vector<int> values;
    for (int i = 0; i < updates; ++i) {
      EXPECT_TRUE(keyboard_.Update());
      values.push_back(keyboard_.GetAxis(kRawPitch));
    }
    return values;
  }

  platform::InputSnapshot state_;
  Keyboard keyboard_;
};

TEST_F(KeyboardTest, HeldKeyRampsByTheStepAndClampsOnTheEleventhUpdate) {
  Set(scan::kDown, true);
  ASSERT_TRUE(keyboard_.Update());
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 3200);
  EXPECT_EQ(keyboard_.GetAxis(kPitch), 0) << "3200 lies inside the dead zone of 5000";
  ASSERT_TRUE(keyboard_.Update());
  EXPECT_EQ(keyboard_.GetAxis(kPitch), 6400);
  const std::vector<int> rest = RawAfter(10);
  EXPECT_EQ(rest[7], 32000) << "the tenth update";
  EXPECT_EQ(rest[8], 32767) << "the eleventh update clamps";
  EXPECT_EQ(rest[9], 32767);
  EXPECT_EQ(keyboard_.GetAxis(kPitch), 32767);
}

TEST_F(KeyboardTest, ReleasedFromTheClampItSwingsAcrossZeroForever) {
  Set(scan::kDown, true);
  RawAfter(11);
  Set(scan::kDown, false);
  const std::vector<int> values = RawAfter(15);
  const std::vector<int> expected = {29567, 26367, 23167, 19967, 16767, 13567, 10367, 7167,
                                     3967,  767,   -2433, 767,   -2433, 767,   -2433};
  EXPECT_EQ(values, expected);
  EXPECT_EQ(keyboard_.GetAxis(kPitch), 0) << "both swing values lie inside the dead zone";
}

TEST_F(KeyboardTest, DeadZoneHidesTheValueFrom3967On) {
  Set(scan::kDown, true);
  RawAfter(11);
  Set(scan::kDown, false);
  std::vector<int> visible;
  for (int i = 0; i < 11; ++i) {
    keyboard_.Update();
    visible.push_back(keyboard_.GetAxis(kPitch));
  }
  EXPECT_EQ(visible[7], 7167);
  EXPECT_EQ(visible[8], 0) << "3967";
  EXPECT_EQ(visible[9], 0) << "767";
  EXPECT_EQ(visible[10], 0) << "-2433";
}

TEST_F(KeyboardTest, BothKeysHeldHoldTheValueAndTheNegativeKeyRampsDown) {
  Set(scan::kDown, true);
  RawAfter(3);
  Set(scan::kUp, true);
  EXPECT_EQ(RawAfter(4), (std::vector<int>{9600, 9600, 9600, 9600}));
  Set(scan::kDown, false);
  EXPECT_EQ(RawAfter(3), (std::vector<int>{6400, 3200, 0}));
  EXPECT_EQ(RawAfter(12).back(), -32767) << "the negative side clamps too";
}

TEST_F(KeyboardTest, ButtonsFollowTheirKeyAndUnmappedIdsReadZero) {
  keyboard_.AddKeyButton(3, scan::kC);
  Set(scan::kC, true);
  ASSERT_TRUE(keyboard_.Update());
  EXPECT_EQ(keyboard_.GetButton(3), 1);
  EXPECT_TRUE(keyboard_.GetKey(scan::kC));
  EXPECT_EQ(keyboard_.GetButton(4), 0);
  EXPECT_EQ(keyboard_.GetAxis(99), 0);
  Set(scan::kC, false);
  keyboard_.Update();
  EXPECT_EQ(keyboard_.GetButton(3), 0);
}

TEST_F(KeyboardTest, AddingAnIdThatIsMappedKeepsTheFirstMapping) {
  keyboard_.AddKeyButton(3, scan::kC);
  keyboard_.AddKeyButton(3, scan::kX);
  keyboard_.AddKeyAxis(kRawPitch, scan::kRight, scan::kLeft, 1000, 0);
  Set(scan::kX, true);
  Set(scan::kRight, true);
  keyboard_.Update();
  EXPECT_EQ(keyboard_.GetButton(3), 0);
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 0);
  Set(scan::kC, true);
  Set(scan::kDown, true);
  keyboard_.Update();
  EXPECT_EQ(keyboard_.GetButton(3), 1);
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 3200);
}

TEST_F(KeyboardTest, RemovedAndClearedMappingsReadZero) {
  keyboard_.AddKeyButton(3, scan::kC);
  Set(scan::kC, true);
  Set(scan::kDown, true);
  keyboard_.Update();
  keyboard_.Update();
  keyboard_.RemoveButton(3);
  keyboard_.RemoveAxis(kPitch);
  EXPECT_EQ(keyboard_.GetButton(3), 0);
  EXPECT_EQ(keyboard_.GetAxis(kPitch), 0);
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 6400);
  keyboard_.ClearMappings();
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 0);
  keyboard_.AddKeyAxis(kRawPitch, scan::kDown, scan::kUp, 3200, 0);
  keyboard_.Update();
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 3200) << "a new mapping starts from 0";
}

TEST_F(KeyboardTest, WithoutFocusItKeepsItsStateAndReportsFailure) {
  Set(scan::kDown, true);
  RawAfter(2);
  state_.acquirable = false;
  Set(scan::kDown, false);
  EXPECT_FALSE(keyboard_.Update());
  EXPECT_FALSE(keyboard_.Update());
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 6400);
  EXPECT_TRUE(keyboard_.GetKey(scan::kDown)) << "the last key state read stays";
  state_.acquirable = true;
  EXPECT_TRUE(keyboard_.Update());
  EXPECT_EQ(keyboard_.GetAxis(kRawPitch), 3200);
}

TEST(KeyboardAloneTest, NeverCreatedItReadsNothing) {
  Keyboard keyboard;
  keyboard.AddKeyButton(1, scan::kC);
  EXPECT_FALSE(keyboard.Update());
  EXPECT_EQ(keyboard.GetButton(1), 0);
  EXPECT_FALSE(keyboard.Create(nullptr, 0));
}

TEST(KeyboardAloneTest, AHugeStepClampsInsteadOfOverflowing) {
  platform::InputSnapshot state;
  Keyboard keyboard;
  keyboard.Create(&state, 0);
  keyboard.AddKeyAxis(1, scan::kDown, scan::kUp, 2'000'000'000, 0);
  state.keyboard.keys[scan::kDown] = platform::kKeyDown;
  keyboard.Update();
  keyboard.Update();
  EXPECT_EQ(keyboard.GetAxis(1), 32767);
  state.keyboard.keys[scan::kDown] = 0;
  state.keyboard.keys[scan::kUp] = platform::kKeyDown;
  keyboard.Update();
  keyboard.Update();
  EXPECT_EQ(keyboard.GetAxis(1), -32767);
}

}  // namespace
}  // namespace quarn
