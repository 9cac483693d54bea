// The scene base: what Reset, Start and Finish do to the sprite, the cache and the device, and
// the states it applies again after a device reset.
#include "stage/GameScene.h"

#include <gtest/gtest.h>

#include "engine/DefinitionFile.h"
#include "game/SceneRig.h"

namespace quarn {
namespace {

using platform::SamplerState;
using testing::SceneRig;

// The least a scene must add: it counts its frames.
class CountingScene : public GameScene {
 public:
  using GameScene::GameScene;
  void Update() override { ++updates; }
  void Render() override { ++renders; }
  int updates = 0;
  int renders = 0;
};

uint32_t Value(platform::TextureAddress address) {
  return static_cast<uint32_t>(address);
}
uint32_t Value(platform::TextureFilter filter) {
  return static_cast<uint32_t>(filter);
}

class GameSceneTest : public ::testing::Test {
 protected:
  GameSceneTest() {
    rig_.AddDefinition("Scene.txt", {"[A]", "B=1"});
    rig_.Pack();
  }
  platform::NullRenderDevice& Device() { return rig_.Device(); }

  SceneRig rig_;
  CountingScene scene_{nullptr};
};

TEST_F(GameSceneTest, ResetMakesTheSpriteAndLeavesTheSceneInactive) {
  scene_.SetActive(true);
  EXPECT_EQ(scene_.Reset(), 1);
  EXPECT_TRUE(scene_.Sprites().HasSprite());
  EXPECT_FALSE(scene_.IsActive());
}

TEST_F(GameSceneTest, StartSetsMirroredLinearSamplingAndTheWholeScreen) {
  platform::Viewport small;
  small.width = 10;
  small.height = 10;
  Device().SetViewport(small);
  EXPECT_EQ(scene_.Start(), 1);
  EXPECT_EQ(Device().GetSamplerState(0, SamplerState::AddressU),
            Value(platform::TextureAddress::Mirror));
  EXPECT_EQ(Device().GetSamplerState(0, SamplerState::AddressV),
            Value(platform::TextureAddress::Mirror));
  for (SamplerState filter :
       {SamplerState::MagFilter, SamplerState::MinFilter, SamplerState::MipFilter}) {
    EXPECT_EQ(Device().GetSamplerState(0, filter), Value(platform::TextureFilter::Linear));
  }
  const platform::Viewport viewport = Device().GetViewport();
  EXPECT_EQ(viewport.x, 0u);
  EXPECT_EQ(viewport.y, 0u);
  EXPECT_EQ(viewport.width, 640u);
  EXPECT_EQ(viewport.height, 480u);
  EXPECT_EQ(viewport.minZ, 0.0f);
  EXPECT_EQ(viewport.maxZ, 1.0f);
}

TEST_F(GameSceneTest, ADeviceResetAppliesTheStatesAgain) {
  scene_.Reset();
  scene_.Start();
  Device().SetLost(true);
  ASSERT_TRUE(rig_.Graphics().Restore());
  EXPECT_EQ(Device().ResetCount(), 1);
  EXPECT_EQ(Device().GetSamplerState(0, SamplerState::AddressV),
            Value(platform::TextureAddress::Mirror))
      << "a reset device starts from its defaults; the scene put its own back";
  EXPECT_TRUE(scene_.Sprites().HasSprite());
}

TEST_F(GameSceneTest, FinishLetsGoOfTheSpriteAndEverythingCached) {
  scene_.Reset();
  ASSERT_NE(scene_.Cache().GetDefinition("Scene.txt"), nullptr);
  scene_.Finish();
  EXPECT_FALSE(scene_.Sprites().HasSprite());
  EXPECT_EQ(scene_.Cache().Count(ResourceCache::Kind::Definition), 0u);
}

}  // namespace
}  // namespace quarn
