// The empty stage: it ends on its first update as a mission not completed.
#include "stage/MainScene.h"

#include <gtest/gtest.h>

#include "game/SceneRig.h"

namespace quarn {
namespace {

using testing::RecordingOwner;
using testing::SceneRig;

TEST(MainSceneTest, TheFirstUpdateEndsTheStageAsNotCompletedAndGoesBackToTheMenu) {
  SceneRig rig;
  RecordingOwner owner;
  owner.values.Set(ValueId::Scene, "Main");
  owner.values.Set(ValueId::MissionCompleted, "true");
  MainScene scene(&owner);
  EXPECT_EQ(scene.Load("Stage.txt", "Plane.txt", "Gun.txt", "Missile.txt"), 1);
  EXPECT_EQ(scene.StageFile(), "Stage.txt");
  scene.Start();
  scene.SetActive(true);
  scene.Update();
  EXPECT_FALSE(scene.IsActive());
  EXPECT_EQ(owner.values.Get(ValueId::MissionCompleted), "false");
  EXPECT_EQ(owner.values.Get(ValueId::Scene), "Menu");
  scene.Finish();
}

TEST(MainSceneTest, RenderClearsTheFrameToBlack) {
  SceneRig rig;
  MainScene scene(nullptr);
  scene.Load("", "", "", "");
  rig.Device().Clear(0, nullptr, platform::kClearTarget, 0xFFFFFFFFu, 1.0f, 0);
  scene.Render();
  std::vector<platform::Argb> pixels;
  ASSERT_TRUE(rig.Device().ReadBackBuffer(pixels, nullptr, nullptr));
  EXPECT_EQ(pixels.at(320 * 640 + 200), 0xFF000000u);
  EXPECT_EQ(rig.Device().BeginSceneCount(), 1);
  scene.Finish();
}

}  // namespace
}  // namespace quarn
