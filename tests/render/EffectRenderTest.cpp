// Particles and trails drawn by the OpenGL device, compared with reference pictures: an
// alpha-blended and an additive system whose particles show different animation frames and
// variations, a trail with a break, and more live particles than one draw call holds.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "render/EffectTesting.h"
#include "render/ParticleEmitter.h"
#include "render/RenderTest.h"
#include "render/Texture.h"
#include "render/TrajectoryTrail.h"
#include "render/Transform.h"

namespace quarn::testing {
namespace {

using namespace platform;

class EffectRenderTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    GameRandom().Seed(1);
    device_->SetViewport(Viewport{0, 0, 160, 120, 0, 1});
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF203048u, 1.0f, 0);
    device_->SetTransform(TransformState::Projection,
                          PerspectiveFovLH(std::numbers::pi_v<float> / 4, 4.0f / 3.0f, 1, 100));
    // The camera 30 units back from the origin; the effects' vertices come in camera space.
    device_->SetTransform(TransformState::View, Translation(0, 0, 30));
    // As the render manager's translucent pass leaves the device.
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
    device_->SetRenderState(RenderState::ZWriteEnable, 0u);
  }
  void TearDown() override {
    cells_.Release();  // before its device
    RenderTest::TearDown();
  }
  // Cells of 16 x 16 in columns (animation frames) and rows (variations), each a solid colour
  // of its own inside a half-transparent rim.
  void MakeCells(int columns, int rows) {
    static const Argb kColours[8] = {0xFF0000, 0x00FF00, 0x4060FF, 0xFFFF00,
                                     0xFF00FF, 0x00FFFF, 0xFF8000, 0xFFFFFF};
    const int width = 16 * columns, height = 16 * rows;
    std::vector<Argb> pixels(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const int cx = x % 16, cy = y % 16;
        const bool rim = cx < 3 || cx > 12 || cy < 3 || cy > 12;
        const Argb colour = kColours[(y / 16 * columns + x / 16) % 8];
        pixels[static_cast<size_t>(y * width + x)] = colour | (rim ? 0x60000000u : 0xFF000000u);
      }
    }
    cells_.Attach(MakeTexture(width, height, pixels));
  }
  void LoadEmitter(ParticleEmitter& emitter, const std::string& lines) {
    ParseSection(file_, "Particle", 0, lines);
    emitter.Load(file_, nullptr);
    emitter.SetFrame(&frame_);
  }

  quarn::Texture cells_;
  Transform frame_;
  DefinitionFile file_;
};

// About 30 particles over two seconds of life: the four frames (by age) and both variations.
constexpr const char* kCellSystem =
    "AnimationCount=4\nVariationCount=2\nLifeTime=2\nEmitRate=15\nColorR=1\nColorG=1\n"
    "ColorB=1\nColorA=1\nColorDeltaA=-0.3\nSizeMin=2.5\nSizeMax=3.5\nPositionMinX=-10\n"
    "PositionMaxX=10\nPositionMinY=-6\nPositionMaxY=6\nDirectionMinY=1\nDirectionMaxY=1\n"
    "VelocityMin=0.5\nVelocityMax=1\n";

TEST_F(EffectRenderTest, AlphaBlendedAndAdditiveSystemsShowFramesAndVariations) {
  MakeCells(4, 2);
  for (bool additive : {false, true}) {
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF203048u, 1.0f, 0);
    GameRandom().Seed(1);
    ParticleEmitter emitter(device_.get());
    LoadEmitter(emitter, std::string(kCellSystem) + (additive ? "AdditiveBlend=true" : ""));
    emitter.SetTexture(&cells_);
    emitter.SetEmitting(true);
    for (int i = 0; i < 60; ++i)
      emitter.Update(kFrameStep);
    ASSERT_TRUE(emitter.Draw());
    EXPECT_TRUE(MatchesReference(additive ? "particles-additive" : "particles-alpha", 160, 120, 2));
  }
}

TEST_F(EffectRenderTest, ATrailWithABreakDrawsTwoRibbons) {
  // Across the screen v alternates between a yellow (v 0) and a red (v 1) half, softened at
  // the ribbon's edges (u 0 and 1).
  std::vector<Argb> pixels(8 * 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const Argb alpha = x == 0 || x == 7 ? 0x40u : 0xFFu;
      pixels[static_cast<size_t>(y * 8 + x)] = alpha << 24 | (y < 4 ? 0xFFE040u : 0xE02020u);
    }
  }
  quarn::Texture ribbon;
  ribbon.Attach(MakeTexture(8, 8, pixels));
  TrajectoryTrail trail(device_.get());
  ParseSection(file_, "Trajectory", 0,
               "EmitRate=15\nLifeTime=5\nSize=2\nSizeDelta=0.5\nColorR=1\nColorG=1\nColorB=1\n"
               "ColorA=1\nColorDeltaA=-0.4");
  trail.Load(file_, nullptr);
  trail.SetTexture(&ribbon);
  trail.SetFrame(&frame_);
  trail.SetEmitting(true);
  for (int i = 0; i < 72; ++i) {
    const float t = static_cast<float>(i) / 72;
    frame_.SetPosition({-14 + 28 * t, 6 * std::sin(t * 2 * std::numbers::pi_v<float>), 0});
    trail.SetEmitting(i < 30 || i >= 42);  // a stop of 12 frames in the middle
    trail.Update(kFrameStep);
  }
  ASSERT_TRUE(trail.Draw());
  EXPECT_TRUE(MatchesReference("trail-break", 160, 120, 2));
}

TEST_F(EffectRenderTest, MoreThanOneDrawCallOfParticlesAreAllDrawn) {
  // 50 particles a frame at one place each frame, on a grid of 6 x 5 places: 1500 alive.
  ParticleEmitter emitter(device_.get());
  LoadEmitter(emitter,
              "EmitRate=1501.6\nLifeTime=10\nColorR=1\nColorG=0.8\nColorB=0.3\n"
              "ColorA=1\nSizeMin=2\nSizeMax=2\nAdditiveBlend=true");
  emitter.SetEmitting(true);
  for (int k = 0; k < 30; ++k) {
    frame_.SetPosition(
        {static_cast<float>(k % 6) * 3 - 7.5f, static_cast<float>(k / 6) * 3 - 6, 0});
    emitter.Update(kFrameStep);
  }
  ASSERT_EQ(emitter.ParticleCount(), 1500u);
  ASSERT_TRUE(emitter.Draw());
  EXPECT_TRUE(MatchesReference("particles-many", 160, 120, 2));
  // The newest places (the last draw call's particles) are there too.
  const float pixelsPerUnit = 60 / (30 * std::tan(std::numbers::pi_v<float> / 8));
  for (int k = 0; k < 30; ++k) {
    const float x = static_cast<float>(k % 6) * 3 - 7.5f, y = static_cast<float>(k / 6) * 3 - 6;
    const Argb pixel =
        Pixel(static_cast<int>(80 + x * pixelsPerUnit), static_cast<int>(60 - y * pixelsPerUnit));
    EXPECT_GT(Red(pixel), 200) << "place " << k;
  }
}

}  // namespace
}  // namespace quarn::testing
