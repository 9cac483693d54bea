#include "platform/NullRenderDevice.h"

#include <gtest/gtest.h>

namespace quarn::platform {
namespace {

TEST(NullRenderDeviceTest, StartsWithTheFixedFunctionDefaults) {
  NullRenderDevice device;
  EXPECT_EQ(device.GetRenderState(RenderState::Lighting), 1u);
  EXPECT_EQ(device.GetRenderState(RenderState::CullMode),
            static_cast<uint32_t>(CullMode::CounterClockwise));
  EXPECT_EQ(device.GetRenderState(RenderState::ZWriteEnable), 1u);
  EXPECT_EQ(device.GetRenderState(RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(BitsFloat(device.GetRenderState(RenderState::FogEnd)), 1.0f);
  EXPECT_EQ(device.GetTextureStageState(0, TextureStageState::ColorOp),
            static_cast<uint32_t>(TextureOp::Modulate));
  EXPECT_EQ(device.GetTextureStageState(1, TextureStageState::ColorOp),
            static_cast<uint32_t>(TextureOp::Disable));
  EXPECT_EQ(device.GetSamplerState(0, SamplerState::AddressU),
            static_cast<uint32_t>(TextureAddress::Wrap));
  const Viewport viewport = device.GetViewport();
  EXPECT_EQ(viewport.width, 640u);
  EXPECT_EQ(viewport.height, 480u);
}

TEST(NullRenderDeviceTest, RecordsDrawsWithTheStatesOfTheirTime) {
  NullRenderDevice device;
  struct Vertex {
    float x, y, z;
    Argb color;
    float u, v;
  };
  const Vertex triangle[3] = {
      {0, 0, 0, 0xFFFFFFFF, 0, 0}, {1, 0, 0, 0xFFFFFFFF, 1, 0}, {0, 1, 0, 0xFFFFFFFF, 0, 1}};
  EXPECT_FALSE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 1, triangle, sizeof(Vertex)))
      << "no vertex format set";
  device.SetFvf(kFvfXyz | kFvfDiffuse | kFvfTex1);
  EXPECT_EQ(FvfVertexSize(device.GetFvf()), sizeof(Vertex));
  device.SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device.SetRenderState(RenderState::DestBlend, Blend::One);
  ASSERT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 1, triangle, sizeof(Vertex)));
  device.SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  ASSERT_EQ(device.Draws().size(), 1u);
  const DrawRecord& draw = device.Draws()[0];
  EXPECT_EQ(draw.vertexCount, 3u);
  EXPECT_EQ(draw.vertices.size(), 3 * sizeof(Vertex));
  EXPECT_EQ(draw.state.GetRenderState(RenderState::DestBlend), static_cast<uint32_t>(Blend::One));
}

TEST(NullRenderDeviceTest, ClearsAndCopiesIntoTheBackBuffer) {
  NullRenderDevice device;
  device.Clear(0, nullptr, kClearTarget, 0xFF112233u, 1.0f, 0);
  const Argb frame[4] = {1, 2, 3, 4};
  device.WriteBackBuffer(638, 479, 2, 2, frame, 2);  // clipped at the corner
  std::vector<Argb> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(device.ReadBackBuffer(pixels, &width, &height));
  ASSERT_EQ(pixels.size(), 640u * 480u);
  EXPECT_EQ(pixels[0], 0xFF112233u);
  EXPECT_EQ(pixels[479 * 640 + 638], 1u);
  EXPECT_EQ(pixels[479 * 640 + 639], 2u);
}

TEST(NullRenderDeviceTest, LossAndResetFollowTheCooperativeLevel) {
  NullRenderDevice device;
  EXPECT_EQ(device.Present(nullptr), DeviceResult::Ok);
  device.SetLost(true, 1);
  EXPECT_EQ(device.Present(nullptr), DeviceResult::DeviceLost);
  EXPECT_EQ(device.TestCooperativeLevel(), DeviceResult::DeviceLost);
  EXPECT_EQ(device.TestCooperativeLevel(), DeviceResult::DeviceNotReset);
  device.FailNextResets(1);
  EXPECT_EQ(device.Reset(), DeviceResult::InvalidCall);
  {
    auto target =
        device.CreateTexture(1024, 512, 1, kUsageRenderTarget, Format::X8R8G8B8, Pool::Default);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(device.Reset(), DeviceResult::InvalidCall)
        << "a render target in the default pool must be released before a reset";
    ASSERT_TRUE(device.SetRenderTarget(target->GetSurfaceLevel(0)));
    EXPECT_EQ(device.GetViewport().width, 1024u);
  }
  EXPECT_EQ(device.GetRenderTarget(), nullptr) << "destroying a target unbinds it";
  EXPECT_EQ(device.Reset(), DeviceResult::Ok);
  EXPECT_EQ(device.Present(nullptr), DeviceResult::Ok);
}

}  // namespace
}  // namespace quarn::platform

namespace quarn::platform {
namespace {

TEST(NullRenderDeviceTest, ResetStartsAgainFromTheDefaultStates) {
  NullRenderDevice device;
  device.SetRenderState(RenderState::CullMode, CullMode::None);
  device.SetViewport(Viewport{10, 10, 100, 100, 0, 1});
  auto texture = device.CreateTexture(4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed);
  device.SetTexture(0, texture.get());
  device.SetLost(true);
  ASSERT_EQ(device.Reset(), DeviceResult::Ok);
  EXPECT_EQ(device.GetRenderState(RenderState::CullMode),
            static_cast<uint32_t>(CullMode::CounterClockwise));
  EXPECT_EQ(device.GetViewport().width, 640u);
  EXPECT_EQ(device.GetTexture(0), nullptr);
  EXPECT_EQ(texture->Levels(), 1u) << "resources live on";
}

}  // namespace
}  // namespace quarn::platform
