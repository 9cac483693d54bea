// Drawing with the GL device: clears, pretransformed quads, winding and culling, depth,
// blending and the alpha test, checked pixel by pixel. Every test runs with and without
// clip control.
#include <cmath>
#include <numbers>

#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

using namespace platform;

constexpr float kFov = std::numbers::pi_v<float> / 4;

class DrawTest : public EitherClipSpace {
 protected:
  void SetUp() override {
    EitherClipSpace::SetUp();
    device_->SetRenderState(RenderState::Lighting, 0u);
    // Alpha from the vertex colour (the default stage takes it from the texture).
    device_->SetTextureStageState(0, TextureStageState::AlphaArg1, kTaDiffuse);
    device_->SetTransform(TransformState::Projection,
                          PerspectiveFovLH(kFov, 4.0f / 3.0f, 1.0f, 100.0f));
  }

  // A square facing the camera at eye depth z, half size h, centred on (cx, cy), wound
  // clockwise on screen (or counter-clockwise when reversed).
  void DrawSquare(float cx, float cy, float z, float h, Argb color, bool reversed = false) {
    ColorVertex tl{cx - h, cy + h, z, color, 0, 0}, tr{cx + h, cy + h, z, color, 1, 0};
    ColorVertex bl{cx - h, cy - h, z, color, 0, 1}, br{cx + h, cy - h, z, color, 1, 1};
    const ColorVertex clockwise[6] = {tl, tr, bl, bl, tr, br};
    const ColorVertex counter[6] = {tl, bl, tr, bl, br, tr};
    device_->SetFvf(kColorFvf);
    ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2,
                                         reversed ? counter : clockwise, sizeof(ColorVertex)));
  }
};

TEST_P(DrawTest, ClearFillsTheTargetAndKeepsAlphaOpaque) {
  ASSERT_TRUE(device_->Clear(0, nullptr, kClearTarget, 0x00336699u, 1.0f, 0));
  const auto& pixels = ReadBack();
  for (Argb pixel : {pixels.front(), pixels[240 * 640 + 320], pixels.back()})
    EXPECT_EQ(pixel, 0xFF336699u) << "a back buffer without alpha reads alpha as 1";
}

TEST_P(DrawTest, ClearOfRectanglesStaysInsideThemAndTheViewport) {
  const Rect rects[2] = {{10, 20, 30, 40}, {600, 460, 700, 500}};
  ASSERT_TRUE(device_->Clear(2, rects, kClearTarget, 0xFFFF0000u, 1.0f, 0));
  EXPECT_EQ(Pixel(10, 20), 0xFFFF0000u);
  EXPECT_EQ(Pixel(29, 39), 0xFFFF0000u);
  EXPECT_EQ(Pixel(30, 39), 0xFF000000u);
  EXPECT_EQ(Pixel(9, 20), 0xFF000000u);
  EXPECT_EQ(Pixel(639, 479), 0xFFFF0000u) << "clipped to the target";
  ASSERT_TRUE(device_->SetViewport(Viewport{100, 100, 50, 50, 0, 1}));
  ASSERT_TRUE(device_->Clear(0, nullptr, kClearTarget, 0xFF00FF00u, 1.0f, 0));
  EXPECT_EQ(Pixel(100, 100), 0xFF00FF00u);
  EXPECT_EQ(Pixel(149, 149), 0xFF00FF00u);
  EXPECT_EQ(Pixel(150, 149), 0xFF000000u);
  EXPECT_EQ(Pixel(99, 100), 0xFF000000u);
  EXPECT_FALSE(device_->SetViewport(Viewport{600, 0, 50, 50, 0, 1}))
      << "a viewport reaching outside the target is refused";
}

TEST_P(DrawTest, ScreenQuadCoversExactlyItsPixels) {
  DrawScreenQuad(10, 20, 30, 50, 0xFF00FF00u);
  EXPECT_EQ(Pixel(10, 20), 0xFF00FF00u);
  EXPECT_EQ(Pixel(29, 49), 0xFF00FF00u);
  EXPECT_EQ(Pixel(9, 20), 0xFF000000u);
  EXPECT_EQ(Pixel(10, 19), 0xFF000000u);
  EXPECT_EQ(Pixel(30, 49), 0xFF000000u);
  EXPECT_EQ(Pixel(29, 50), 0xFF000000u);
}

TEST_P(DrawTest, ScreenQuadsAreRelativeToTheViewport) {
  ASSERT_TRUE(device_->SetViewport(Viewport{200, 100, 100, 100, 0, 1}));
  DrawScreenQuad(190, 90, 210, 110, 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(200, 100), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(209, 109), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(199, 100), 0xFF000000u) << "clipped to the viewport";
  EXPECT_EQ(Pixel(200, 99), 0xFF000000u);
}

TEST_P(DrawTest, TransformedGeometryLandsWhereTheProjectionPutsIt) {
  // Right of and above the centre in view space is right of and above it on screen.
  DrawSquare(2, 1, 10, 0.5f, 0xFFFFFF00u);
  // Centre (2, 1) at depth 10: x = 320 + 320 * 2 * xScale / 10, y = 240 - 240 * 1 * yScale / 10.
  const float yScale = 1.0f / std::tan(kFov / 2);
  const float xScale = yScale * 0.75f;
  const int x = static_cast<int>(320 + 320 * 2 * xScale / 10);
  const int y = static_cast<int>(240 - 240 * yScale / 10);
  EXPECT_EQ(Pixel(x, y), 0xFFFFFF00u);
  EXPECT_EQ(Pixel(640 - x, y), 0xFF000000u);
  EXPECT_EQ(Pixel(x, 480 - y), 0xFF000000u);
}

TEST_P(DrawTest, CullModesFollowTheWindingOnScreen) {
  struct Case {
    CullMode mode;
    bool reversed;
    bool visible;
  };
  const Case cases[] = {{CullMode::CounterClockwise, false, true},
                        {CullMode::CounterClockwise, true, false},
                        {CullMode::Clockwise, false, false},
                        {CullMode::Clockwise, true, true},
                        {CullMode::None, false, true},
                        {CullMode::None, true, true}};
  for (const Case& c : cases) {
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    device_->SetRenderState(RenderState::CullMode, c.mode);
    DrawSquare(0, 0, 10, 1, 0xFFFFFFFFu, c.reversed);
    const Argb want = c.visible ? 0xFFFFFFFFu : 0xFF000000u;
    EXPECT_EQ(Pixel(320, 240), want) << "transformed, mode " << static_cast<int>(c.mode)
                                     << (c.reversed ? ", counter-clockwise" : ", clockwise");
    // The same rule for screen-space vertices.
    device_->Clear(0, nullptr, kClearTarget, 0xFF000000u, 1.0f, 0);
    const ScreenVertex tl{300, 200, 0, 1, 0xFFFFFFFFu, 0, 0}, tr{340, 200, 0, 1, 0xFFFFFFFFu, 1, 0};
    const ScreenVertex bl{300, 280, 0, 1, 0xFFFFFFFFu, 0, 1};
    const ScreenVertex clockwise[3] = {tl, tr, bl}, counter[3] = {tl, bl, tr};
    device_->SetFvf(kScreenFvf);
    ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1,
                                         c.reversed ? counter : clockwise, sizeof tl));
    EXPECT_EQ(Pixel(305, 210), want) << "screen space, mode " << static_cast<int>(c.mode)
                                     << (c.reversed ? ", counter-clockwise" : ", clockwise");
  }
}

TEST_P(DrawTest, NearerGeometryHidesFartherAndDepthRunsFromNearToFarPlane) {
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
  DrawSquare(0, 0, 20, 2, 0xFFFF0000u);
  DrawSquare(0, 0, 30, 4, 0xFF00FF00u);  // farther, drawn later
  EXPECT_EQ(Pixel(320, 240), 0xFFFF0000u);
  DrawSquare(0, 0, 19.9f, 2, 0xFF0000FFu);  // a little nearer
  EXPECT_EQ(Pixel(320, 240), 0xFF0000FFu);
  // Just beyond the near plane is drawn, just in front of it is not (depth 0..1 clipping).
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
  DrawSquare(0, 0, 0.95f, 0.05f, 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(320, 240), 0xFF000000u) << "in front of the near plane";
  DrawSquare(0, 0, 1.05f, 0.05f, 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(320, 240), 0xFFFFFFFFu) << "just behind the near plane";
  DrawSquare(0, 0, 99, 2, 0xFF00FF00u, false);
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
  DrawSquare(0, 0, 101, 20, 0xFF00FF00u);
  EXPECT_EQ(Pixel(320, 240), 0xFF000000u) << "beyond the far plane";
}

TEST_P(DrawTest, DepthWritesOffLetLaterFartherGeometryThrough) {
  // The translucent pass: depth tested, not written.
  device_->SetRenderState(RenderState::ZWriteEnable, 0u);
  DrawSquare(0, 0, 10, 2, 0xFFFF0000u);
  device_->SetRenderState(RenderState::ZWriteEnable, 1u);
  DrawSquare(0, 0, 20, 4, 0xFF00FF00u);
  EXPECT_EQ(Pixel(320, 240), 0xFF00FF00u);
  // Depth testing still holds against what was written.
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
  DrawSquare(0, 0, 10, 2, 0xFFFF0000u);
  device_->SetRenderState(RenderState::ZWriteEnable, 0u);
  DrawSquare(0, 0, 20, 6, 0xFF00FF00u);
  EXPECT_EQ(Pixel(320, 240), 0xFFFF0000u);
  EXPECT_EQ(Pixel(320, 380), 0xFF00FF00u) << "outside the nearer square";
  // With the depth test off the last drawn wins.
  device_->SetRenderState(RenderState::ZEnable, 0u);
  DrawSquare(0, 0, 20, 4, 0xFF0000FFu);
  EXPECT_EQ(Pixel(320, 240), 0xFF0000FFu);
}

TEST_P(DrawTest, ScreenDepthIsTheVertexZ) {
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
  DrawScreenQuad(0, 0, 100, 100, 0xFFFF0000u, 0, 0, 1, 1, 0.3f);
  DrawScreenQuad(0, 0, 100, 100, 0xFF00FF00u, 0, 0, 1, 1, 0.6f);
  EXPECT_EQ(Pixel(50, 50), 0xFFFF0000u);
  DrawScreenQuad(0, 0, 100, 100, 0xFF0000FFu, 0, 0, 1, 1, 0.29f);
  EXPECT_EQ(Pixel(50, 50), 0xFF0000FFu);
}

TEST_P(DrawTest, AlphaBlendingMixesWithWhatIsThere) {
  device_->Clear(0, nullptr, kClearTarget, 0xFFFF0000u, 1.0f, 0);
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  DrawScreenQuad(0, 0, 10, 10, 0x400000FFu);
  // a = 64/255: blue 255 a, red 255 (1 - a).
  EXPECT_TRUE(ColorNear(Pixel(5, 5), MakeArgb(255, 191, 0, 64), 1));
}

TEST_P(DrawTest, AdditiveBlendingAddsAndSaturates) {
  device_->Clear(0, nullptr, kClearTarget, 0xFF404040u, 1.0f, 0);
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::One);
  DrawScreenQuad(0, 0, 10, 10, 0x80FF8000u);
  // 0x40 + c * 128/255 per channel, clamped at 255.
  EXPECT_TRUE(ColorNear(Pixel(5, 5), MakeArgb(255, 192, 128, 64), 1));
  DrawScreenQuad(0, 0, 10, 10, 0x80FF8000u);
  EXPECT_TRUE(ColorNear(Pixel(5, 5), MakeArgb(255, 255, 192, 64), 1));
}

TEST_P(DrawTest, BlendingOffReplaces) {
  device_->Clear(0, nullptr, kClearTarget, 0xFFFF0000u, 1.0f, 0);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::One);
  DrawScreenQuad(0, 0, 10, 10, 0x400000FFu);
  EXPECT_EQ(Pixel(5, 5), 0xFF0000FFu) << "alpha is not written into a target without alpha";
}

TEST_P(DrawTest, AlphaTestDropsPixelsThatFailTheComparison) {
  device_->SetRenderState(RenderState::AlphaTestEnable, 1u);
  device_->SetRenderState(RenderState::AlphaFunc, CompareFunc::Greater);
  device_->SetRenderState(RenderState::AlphaRef, 0x80u);
  DrawScreenQuad(0, 0, 10, 10, 0x7FFFFFFFu);
  EXPECT_EQ(Pixel(5, 5), 0xFF000000u);
  DrawScreenQuad(0, 0, 10, 10, 0x81FFFFFFu);
  EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
  device_->SetRenderState(RenderState::AlphaTestEnable, 0u);
  DrawScreenQuad(20, 0, 30, 10, 0x00FF0000u);
  EXPECT_EQ(Pixel(25, 5), 0xFFFF0000u) << "test off: everything is drawn";
}

TEST_P(DrawTest, DefaultStageTakesAlphaFromTheMissingTextureAsOpaque) {
  device_->SetTextureStageState(0, TextureStageState::AlphaArg1, kTaTexture);
  device_->Clear(0, nullptr, kClearTarget, 0xFFFF0000u, 1.0f, 0);
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  DrawScreenQuad(0, 0, 10, 10, 0x400000FFu);
  EXPECT_EQ(Pixel(5, 5), 0xFF0000FFu);
}

INSTANTIATE_TEST_SUITE_P(GlDevice, DrawTest, ::testing::Bool(), ClipSpaceName);

}  // namespace
}  // namespace quarn::testing
