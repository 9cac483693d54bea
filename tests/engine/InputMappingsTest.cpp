#include "engine/InputMappings.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/ScriptedInputBackend.h"
#include "platform/ScanCodes.h"

namespace quarn {
namespace {

namespace scan = platform::scan;
using testing::ScriptedInputBackend;

// An input system with a keyboard and one joystick, and a scene's map.
class InputMappingsTest : public ::testing::Test {
 protected:
  InputMappingsTest() {
    auto backend = std::make_unique<ScriptedInputBackend>();
    backend_ = backend.get();
    backend_->state.joysticks.resize(1);
    input_.UseBackend(std::move(backend));
    input_.Create(nullptr);
  }

  platform::JoystickState& Pad() { return backend_->state.joysticks[0]; }
  void Pass() {
    input_.Update();
    map_.Update();
  }
  std::set<int> HeldButtons(int maxId) {
    std::set<int> held;
    for (int id = 1; id <= maxId; ++id) {
      if (map_.GetButton(id) != 0)
        held.insert(id);
    }
    return held;
  }
  std::set<int> HeldWithKey(uint8_t key, int maxId) {
    backend_->state = platform::InputSnapshot{};
    backend_->state.joysticks.resize(1);
    backend_->Press(key);
    Pass();
    return HeldButtons(maxId);
  }
  std::set<int> HeldWithPad(int button, int x, int y, int maxId) {
    backend_->state = platform::InputSnapshot{};
    backend_->state.joysticks.resize(1);
    if (button != 0)
      Pad().buttons[button - 1] = platform::kKeyDown;
    Pad().axes[0] = platform::kAxisCentre + x;
    Pad().axes[1] = platform::kAxisCentre + y;
    Pass();
    return HeldButtons(maxId);
  }

  InputSystem input_;
  ScriptedInputBackend* backend_;
  ButtonMap map_;
};

TEST_F(InputMappingsTest, StagePlayKeysAndPadButtons) {
  InstallSceneInput(SceneInput::StagePlay, &input_, &map_);
  EXPECT_EQ(HeldWithKey(scan::kLeft, 12), (std::set<int>{1, 9}));
  EXPECT_EQ(HeldWithKey(scan::kRight, 12), (std::set<int>{2, 10}));
  EXPECT_EQ(HeldWithKey(scan::kC, 12), (std::set<int>{3}));
  EXPECT_EQ(HeldWithKey(scan::kX, 12), (std::set<int>{4}));
  EXPECT_EQ(HeldWithKey(scan::kZ, 12), (std::set<int>{5}));
  EXPECT_EQ(HeldWithKey(scan::kD, 12), (std::set<int>{6}));
  EXPECT_EQ(HeldWithKey(scan::kS, 12), (std::set<int>{7}));
  EXPECT_EQ(HeldWithKey(scan::kA, 12), (std::set<int>{8}));
  EXPECT_EQ(HeldWithKey(scan::kUp, 12), (std::set<int>{}));
  EXPECT_EQ(HeldWithPad(1, 0, 0, 12), (std::set<int>{3}));
  EXPECT_EQ(HeldWithPad(3, 0, 0, 12), (std::set<int>{4}));
  EXPECT_EQ(HeldWithPad(2, 0, 0, 12), (std::set<int>{5}));
  EXPECT_EQ(HeldWithPad(4, 0, 0, 12), (std::set<int>{6}));
  EXPECT_EQ(HeldWithPad(5, 0, 0, 12), (std::set<int>{7}));
  EXPECT_EQ(HeldWithPad(6, 0, 0, 12), (std::set<int>{8}));
  EXPECT_EQ(HeldWithPad(0, -3201, 0, 12), (std::set<int>{1, 9}));
  EXPECT_EQ(HeldWithPad(0, 3201, 0, 12), (std::set<int>{2, 10}));
  EXPECT_EQ(HeldWithPad(0, 3200, 30000, 12), (std::set<int>{})) << "y drives no button here";
}

TEST_F(InputMappingsTest, StagePlayAxesRampOnKeysAndFollowTheStick) {
  InstallSceneInput(SceneInput::StagePlay, &input_, &map_);
  backend_->Press(scan::kDown);
  Pass();
  EXPECT_EQ(map_.GetAxis(1), 0) << "3200 is inside the keyboard's dead zone";
  Pass();
  EXPECT_EQ(map_.GetAxis(1), 6400);
  backend_->Release(scan::kDown);
  backend_->Press(scan::kLeft);
  Pad().axes[1] = platform::kAxisCentre - 20000;
  for (int i = 0; i < 7; ++i)
    Pass();
  EXPECT_EQ(map_.GetAxis(1), -20000) << "the stick's deflection beats the keyboard's swing";
  EXPECT_EQ(map_.GetAxis(2), -22400) << "left arrow: seven steps down";
  EXPECT_EQ(map_.GetAxis(3), 0);
}

TEST_F(InputMappingsTest, MenuButtons) {
  InstallSceneInput(SceneInput::Menu, &input_, &map_);
  EXPECT_EQ(HeldWithKey(scan::kUp, 8), (std::set<int>{1}));
  EXPECT_EQ(HeldWithKey(scan::kDown, 8), (std::set<int>{2}));
  EXPECT_EQ(HeldWithKey(scan::kLeft, 8), (std::set<int>{3}));
  EXPECT_EQ(HeldWithKey(scan::kRight, 8), (std::set<int>{4}));
  EXPECT_EQ(HeldWithKey(scan::kX, 8), (std::set<int>{5}));
  EXPECT_EQ(HeldWithKey(scan::kZ, 8), (std::set<int>{6}));
  EXPECT_EQ(HeldWithKey(scan::kC, 8), (std::set<int>{}));
  EXPECT_EQ(HeldWithPad(0, 0, -3201, 8), (std::set<int>{1}));
  EXPECT_EQ(HeldWithPad(0, 0, 3201, 8), (std::set<int>{2}));
  EXPECT_EQ(HeldWithPad(0, -3201, 0, 8), (std::set<int>{3}));
  EXPECT_EQ(HeldWithPad(0, 3201, 0, 8), (std::set<int>{4}));
  EXPECT_EQ(HeldWithPad(3, 0, 0, 8), (std::set<int>{5}));
  EXPECT_EQ(HeldWithPad(2, 0, 0, 8), (std::set<int>{6}));
  EXPECT_EQ(HeldWithPad(1, 0, 0, 8), (std::set<int>{}));
}

TEST_F(InputMappingsTest, MovieButtons) {
  InstallSceneInput(SceneInput::Movie, &input_, &map_);
  EXPECT_EQ(HeldWithKey(scan::kX, 4), (std::set<int>{1}));
  EXPECT_EQ(HeldWithKey(scan::kZ, 4), (std::set<int>{2}));
  EXPECT_EQ(HeldWithPad(3, 0, 0, 4), (std::set<int>{1}));
  EXPECT_EQ(HeldWithPad(2, 0, 0, 4), (std::set<int>{2}));
  EXPECT_EQ(HeldWithPad(0, 30000, 30000, 4), (std::set<int>{}));
}

TEST_F(InputMappingsTest, AFinishedSceneLeavesNoMappingForTheNext) {
  InstallSceneInput(SceneInput::StagePlay, &input_, &map_);
  ClearSceneInput(&input_);
  ButtonMap menu;
  InstallSceneInput(SceneInput::Menu, &input_, &menu);
  backend_->Press(scan::kC);
  backend_->Press(scan::kLeft);
  input_.Update();
  menu.Update();
  EXPECT_EQ(input_.GetKeyboard()->GetButton(3), 1) << "menu button 3 is the left arrow";
  EXPECT_EQ(menu.GetButton(3), 1);
  backend_->Release(scan::kLeft);
  input_.Update();
  EXPECT_EQ(input_.GetKeyboard()->GetButton(3), 0) << "C no longer drives button 3";
  EXPECT_EQ(input_.GetKeyboard()->GetAxis(2), 0);
}

TEST(InputMappingsAloneTest, NoInputSystemInstallsNothingAndDoesNotFail) {
  ButtonMap map;
  InstallSceneInput(SceneInput::StagePlay, nullptr, &map);
  ClearSceneInput(nullptr);
  map.Update();
  EXPECT_EQ(map.GetButton(3), 0);
}

}  // namespace
}  // namespace quarn
