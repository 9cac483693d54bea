#include "engine/InputSystem.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/InputMappings.h"
#include "engine/ScriptedInputBackend.h"
#include "platform/ScanCodes.h"

namespace quarn {
namespace {

namespace scan = platform::scan;
using testing::ScriptedInputBackend;

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "/input_system_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// An input system over a scripted backend the test keeps a pointer to.
class InputSystemTest : public ::testing::Test {
 protected:
  InputSystemTest() {
    auto backend = std::make_unique<ScriptedInputBackend>();
    backend_ = backend.get();
    input_.UseBackend(std::move(backend));
  }

  InputSystem input_;
  ScriptedInputBackend* backend_;
};

TEST_F(InputSystemTest, WithoutAJoystickTheKeyboardAloneDrivesTheScene) {
  ASSERT_TRUE(input_.Create(nullptr));
  EXPECT_EQ(InputSystem::Instance(), &input_);
  ASSERT_NE(input_.GetKeyboard(), nullptr);
  EXPECT_EQ(input_.GetJoystick(0), nullptr);
  ButtonMap map;
  InstallSceneInput(SceneInput::Menu, &input_, &map);
  backend_->Press(scan::kX);
  EXPECT_TRUE(input_.Update());
  map.Update();
  EXPECT_TRUE(map.IsPressed(5));
  EXPECT_EQ(backend_->polls, 1);
}

TEST_F(InputSystemTest, AJoystickPluggedInLaterIsAddedAndMappedFromTheNextScene) {
  ASSERT_TRUE(input_.Create(nullptr));
  ButtonMap scene1;
  InstallSceneInput(SceneInput::Movie, &input_, &scene1);
  backend_->state.joysticks.resize(1);
  backend_->state.joysticks[0].buttons[2] = platform::kKeyDown;  // button 3: skip
  input_.Update();
  scene1.Update();
  ASSERT_NE(input_.GetJoystick(0), nullptr);
  EXPECT_EQ(input_.JoystickCount(), 1u);
  EXPECT_EQ(scene1.GetButton(1), 0) << "the running scene installed nothing on it";
  ClearSceneInput(&input_);
  ButtonMap scene2;
  InstallSceneInput(SceneInput::Movie, &input_, &scene2);
  input_.Update();
  scene2.Update();
  EXPECT_TRUE(scene2.IsPressed(1));
}

TEST_F(InputSystemTest, AnUnpluggedJoystickKeepsItsSlotAndReadsAtRest) {
  backend_->state.joysticks.resize(2);
  ASSERT_TRUE(input_.Create(nullptr));
  ASSERT_EQ(input_.JoystickCount(), 2u);
  ButtonMap map;
  InstallSceneInput(SceneInput::StagePlay, &input_, &map);
  backend_->state.joysticks[0].axes[0] = platform::kAxisMax;
  backend_->state.joysticks[0].buttons[0] = platform::kKeyDown;
  for (int i = 0; i < 3; ++i) {
    input_.Update();
    map.Update();
  }
  EXPECT_EQ(map.GetAxis(2), 9600);
  EXPECT_EQ(map.GetButton(3), 1);
  backend_->state.joysticks[0] = platform::JoystickState::AtRest(false);
  input_.Update();
  map.Update();
  EXPECT_EQ(map.GetAxis(2), 6400) << "it slews back toward the centre";
  EXPECT_TRUE(map.IsReleased(3));
  EXPECT_EQ(input_.JoystickCount(), 2u);
}

TEST_F(InputSystemTest, WithoutFocusNoDeviceChangesAndUpdateSaysSo) {
  backend_->state.joysticks.resize(1);
  ASSERT_TRUE(input_.Create(nullptr));
  ButtonMap map;
  InstallSceneInput(SceneInput::StagePlay, &input_, &map);
  backend_->Press(scan::kC);
  EXPECT_TRUE(input_.Update());
  map.Update();
  backend_->state.acquirable = false;
  backend_->Release(scan::kC);
  EXPECT_FALSE(input_.Update());
  map.Update();
  EXPECT_EQ(map.GetButton(3), 1) << "the keyboard keeps its previous state";
  backend_->state.acquirable = true;
  EXPECT_TRUE(input_.Update());
  map.Update();
  EXPECT_TRUE(map.IsReleased(3));
}

TEST_F(InputSystemTest, ABackendThatCannotStartFailsCreate) {
  backend_->startResult = false;
  EXPECT_FALSE(input_.Create(nullptr));
  EXPECT_FALSE(input_.LastError().empty());
  EXPECT_EQ(input_.GetKeyboard(), nullptr);
  EXPECT_FALSE(input_.Update());
}

TEST_F(InputSystemTest, ReleaseLetsGoOfEveryDevice) {
  backend_->state.joysticks.resize(1);
  ASSERT_TRUE(input_.Create(nullptr));
  input_.Release();
  EXPECT_EQ(input_.GetKeyboard(), nullptr);
  EXPECT_EQ(input_.GetJoystick(0), nullptr);
  EXPECT_EQ(input_.GetBackend(), nullptr);
  EXPECT_FALSE(input_.Update());
}

TEST_F(InputSystemTest, RecordingWritesEveryPassAndReplayingGivesTheSamePasses) {
  const std::string path = TempPath("roundtrip.txt");
  input_.SetRecordFile(path);
  ASSERT_TRUE(input_.Create(nullptr));
  std::vector<platform::InputSnapshot> seen;
  for (int pass = 0; pass < 40; ++pass) {
    if (pass == 5)
      backend_->Press(scan::kDown);
    if (pass == 9)
      backend_->state.joysticks.resize(1);  // plugged in
    if (pass == 12)
      backend_->state.joysticks[0].axes[1] = 100;
    if (pass == 20)
      backend_->Release(scan::kDown);
    if (pass == 30)
      backend_->state.mouse.x = 4;
    if (pass == 31)
      backend_->state.mouse.x = 0;
    input_.Update();
    seen.push_back(input_.LastSnapshot());
  }
  input_.Release();
  ASSERT_NE(ReadText(path).find("end 40"), std::string::npos) << ReadText(path);

  InputSystem replay;
  replay.SetReplayFile(path);
  ASSERT_TRUE(replay.Create(nullptr)) << replay.LastError();
  for (int pass = 0; pass < 40; ++pass) {
    EXPECT_FALSE(replay.InputEnded());
    replay.Update();
    EXPECT_EQ(replay.LastSnapshot(), seen[pass]) << "pass " << pass;
  }
  EXPECT_TRUE(replay.InputEnded());
  EXPECT_EQ(replay.JoystickCount(), 1u);
}

TEST(InputSystemReplayTest, AnUnreadableReplayFailsCreateAndSaysWhy) {
  InputSystem input;
  input.SetReplayFile(TempPath("missing.txt"));
  EXPECT_FALSE(input.Create(nullptr));
  EXPECT_NE(input.LastError().find("missing.txt"), std::string::npos) << input.LastError();
  const std::string other = TempPath("other.txt");
  WriteText(other, "this is not a recording\n");
  input.SetReplayFile(other);
  EXPECT_FALSE(input.Create(nullptr));
  EXPECT_NE(input.LastError().find("not a recording"), std::string::npos);
}

TEST(InputSystemReplayTest, ADamagedReplayPlaysWhatItHoldsAndSaysSoOnce) {
  const std::string path = TempPath("damaged.txt");
  WriteText(path, "quarn-replay 1\nupdate 0\nkeys 200\nupdate 3\nkeys 999\nend 10\n");
  InputSystem input;
  input.SetReplayFile(path);
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(input.Create(nullptr));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(path + ": line 5"), std::string::npos) << err;
  int passes = 0;
  while (!input.InputEnded() && passes < 100) {
    input.Update();
    EXPECT_TRUE(input.GetKeyboard()->GetKey(scan::kUp));
    ++passes;
  }
  EXPECT_EQ(passes, 3);
}

TEST(InputSystemRecordTest, AnUnwritableRecordFileIsReportedAndPlayGoesOn) {
  InputSystem input;
  auto backend = std::make_unique<ScriptedInputBackend>();
  input.UseBackend(std::move(backend));
  input.SetRecordFile("/nonexistent-dir/rec.txt");
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(input.Create(nullptr));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("/nonexistent-dir/rec.txt"),
            std::string::npos);
  EXPECT_TRUE(input.Update());
}

TEST(InputSystemDigestTest, TheDigestFollowsThePolledState) {
  auto digestOf = [](bool pressC) {
    InputSystem input;
    auto backend = std::make_unique<ScriptedInputBackend>();
    if (pressC)
      backend->Press(scan::kC);
    input.UseBackend(std::move(backend));
    input.Create(nullptr);
    input.Update();
    StateDigest digest;
    input.AddToDigest(digest);
    return digest.Value();
  };
  EXPECT_EQ(digestOf(false), digestOf(false));
  EXPECT_NE(digestOf(false), digestOf(true));
}

}  // namespace
}  // namespace quarn
