#include "gfxutil/Sprite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gfxutil/RenderToSurface.h"
#include "platform/NullRenderDevice.h"

namespace quarn::gfx {
namespace {

using platform::DrawRecord;
using platform::RenderState;

struct SpriteVertex {
  float x, y, z, rhw;
  platform::Argb color;
  float u, v;
};

SpriteVertex VertexOf(const DrawRecord& draw, size_t index) {
  SpriteVertex vertex;
  std::memcpy(&vertex, draw.vertices.data() + index * sizeof vertex, sizeof vertex);
  return vertex;
}

class SpriteTest : public ::testing::Test {
 protected:
  SpriteTest()
      : texture_(device_.CreateTexture(256, 128, 1, 0, platform::Format::A8R8G8B8,
                                       platform::Pool::Managed)),
        other_(device_.CreateTexture(16, 16, 1, 0, platform::Format::A8R8G8B8,
                                     platform::Pool::Managed)),
        sprite_(device_) {}

  platform::NullRenderDevice device_;
  std::unique_ptr<platform::Texture> texture_;
  std::unique_ptr<platform::Texture> other_;
  Sprite sprite_;
};

TEST_F(SpriteTest, UnscaledQuadCoversTheSourceRectangleTexelForPixel) {
  const platform::Rect source{32, 64, 96, 96};
  ASSERT_TRUE(sprite_.Begin());
  ASSERT_TRUE(sprite_.Draw(texture_.get(), &source, 1, 1, 0, 0, 0, 100, 50, 0x80FF0000u));
  ASSERT_TRUE(sprite_.End());
  ASSERT_EQ(device_.Draws().size(), 1u);
  const DrawRecord& draw = device_.Draws()[0];
  EXPECT_EQ(draw.primitiveCount, 2u);
  EXPECT_EQ(draw.state.textures[0], texture_.get());
  EXPECT_EQ(draw.state.fvf, platform::kFvfXyzRhw | platform::kFvfDiffuse | platform::kFvfTex1);
  EXPECT_EQ(draw.state.GetRenderState(RenderState::AlphaBlendEnable), 1u);
  EXPECT_EQ(draw.state.GetRenderState(RenderState::ZEnable), 0u);
  const SpriteVertex topLeft = VertexOf(draw, 0);
  const SpriteVertex bottomRight = VertexOf(draw, 2);
  EXPECT_FLOAT_EQ(topLeft.x, 100);
  EXPECT_FLOAT_EQ(topLeft.y, 50);
  EXPECT_FLOAT_EQ(bottomRight.x, 164);
  EXPECT_FLOAT_EQ(bottomRight.y, 82);
  EXPECT_FLOAT_EQ(topLeft.u, 32.0f / 256);
  EXPECT_FLOAT_EQ(topLeft.v, 64.0f / 128);
  EXPECT_FLOAT_EQ(bottomRight.u, 96.0f / 256);
  EXPECT_FLOAT_EQ(bottomRight.v, 96.0f / 128);
  EXPECT_EQ(topLeft.color, 0x80FF0000u);
}

TEST_F(SpriteTest, ScaleThenRotateAboutTheCentreThenTranslate) {
  // A 16 x 32 arrow turned a quarter about its point (8, 16), drawn at (300, 200).
  const platform::Rect arrow{64, 64, 80, 96};
  const float quarter = static_cast<float>(M_PI / 2);
  sprite_.Begin();
  sprite_.Draw(texture_.get(), &arrow, 1, 1, 8, 16, quarter, 300, 200, 0xFFFFFFFFu);
  sprite_.Draw(texture_.get(), &arrow, 2, 0.5f, 0, 0, 0, 10, 10, 0xFFFFFFFFu);
  sprite_.End();
  ASSERT_EQ(device_.Draws().size(), 1u) << "one texture, one batch";
  const DrawRecord& draw = device_.Draws()[0];
  // The top-left corner (0, 0) is (-8, -16) from the centre; a positive quarter turn carries
  // it to (16, -8) from the centre, clockwise on a screen whose y grows downward.
  const SpriteVertex turned = VertexOf(draw, 0);
  EXPECT_NEAR(turned.x, 300 + 8 + 16, 1e-4);
  EXPECT_NEAR(turned.y, 200 + 16 - 8, 1e-4);
  const SpriteVertex scaled = VertexOf(draw, 6);
  EXPECT_FLOAT_EQ(scaled.x, 10 + 32);
  EXPECT_FLOAT_EQ(scaled.y, 10 + 16);
}

TEST_F(SpriteTest, RequestOrderIsKeptAcrossTexturesAndStatesAreRestored) {
  device_.SetRenderState(RenderState::Lighting, 1u);
  device_.SetRenderState(RenderState::DestBlend, platform::Blend::One);
  sprite_.Begin();
  sprite_.Draw(texture_.get(), nullptr, 1, 1, 0, 0, 0, 0, 0, 0xFFFFFFFFu);
  sprite_.Draw(other_.get(), nullptr, 1, 1, 0, 0, 0, 0, 0, 0xFFFFFFFFu);
  EXPECT_FALSE(sprite_.Draw(nullptr, nullptr, 1, 1, 0, 0, 0, 0, 0, 0xFFFFFFFFu));
  sprite_.Draw(texture_.get(), nullptr, 1, 1, 0, 0, 0, 0, 0, 0xFFFFFFFFu);
  EXPECT_TRUE(sprite_.End()) << "a refused request does not fail the others";
  ASSERT_EQ(device_.Draws().size(), 3u);
  EXPECT_EQ(device_.Draws()[0].state.textures[0], texture_.get());
  EXPECT_EQ(device_.Draws()[1].state.textures[0], other_.get());
  EXPECT_EQ(device_.Draws()[2].state.textures[0], texture_.get());
  EXPECT_EQ(VertexOf(device_.Draws()[1], 2).x, 16.0f) << "no source: the whole texture";
  EXPECT_EQ(device_.GetRenderState(RenderState::Lighting), 1u);
  EXPECT_EQ(device_.GetRenderState(RenderState::DestBlend),
            static_cast<uint32_t>(platform::Blend::One));
  EXPECT_EQ(device_.GetRenderState(RenderState::AlphaBlendEnable), 0u);
  EXPECT_FALSE(sprite_.End()) << "End without Begin";
}

TEST_F(SpriteTest, ManyQuadsAreSplitIntoBatchesThatFitSixteenBitIndices) {
  sprite_.Begin();
  for (int i = 0; i < 2500; ++i) {
    sprite_.Draw(texture_.get(), nullptr, 1, 1, 0, 0, 0, static_cast<float>(i), 0, 0xFFFFFFFFu);
  }
  sprite_.End();
  ASSERT_EQ(device_.Draws().size(), 3u);
  uint32_t quads = 0;
  for (const DrawRecord& draw : device_.Draws()) {
    quads += draw.primitiveCount / 2;
    EXPECT_LE(draw.vertexCount, 65536u);
  }
  EXPECT_EQ(quads, 2500u);
}

TEST(RenderToSurfaceTest, DrawsIntoTheTargetAndGivesTheBackBufferBack) {
  platform::NullRenderDevice device;
  auto target = device.CreateTexture(1024, 512, 1, platform::kUsageRenderTarget,
                                     platform::Format::X8R8G8B8, platform::Pool::Default);
  RenderToSurface renderer(device, 1024, 512, platform::Format::X8R8G8B8);
  ASSERT_TRUE(renderer.BeginScene(target->GetSurfaceLevel(0), nullptr));
  EXPECT_EQ(device.GetRenderTarget(), target->GetSurfaceLevel(0));
  EXPECT_EQ(device.GetViewport().width, 1024u);
  EXPECT_FALSE(renderer.BeginScene(target->GetSurfaceLevel(0), nullptr));
  ASSERT_TRUE(renderer.EndScene());
  EXPECT_EQ(device.GetRenderTarget(), nullptr);
  EXPECT_EQ(device.GetViewport().width, 640u);
  EXPECT_TRUE(device.BeginScene()) << "the surface scene is over";
  device.EndScene();
  auto small = device.CreateTexture(64, 64, 1, platform::kUsageRenderTarget,
                                    platform::Format::X8R8G8B8, platform::Pool::Default);
  EXPECT_FALSE(renderer.BeginScene(small->GetSurfaceLevel(0), nullptr)) << "size must match";
}

}  // namespace
}  // namespace quarn::gfx
