// Particle emitters on the null device: emission by rate and time, the closed-form motion,
// colours, frames and variations as drawn, the draw order of a seeded game, the device states,
// and the limits that keep broken numbers harmless.
#include "render/ParticleEmitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "gfxutil/Matrix.h"
#include "platform/Diagnostics.h"
#include "render/EffectTesting.h"
#include "render/Transform.h"

namespace quarn {
namespace {

using platform::RenderState;
using testing::DrawnVertex;

// One particle a frame, straight along z at 10 units a second, living 10 seconds.
constexpr const char* kStraight =
    "EmitRate=30.1\nLifeTime=10\nDirectionMinZ=1\nDirectionMaxZ=1\nVelocityMin=10\n"
    "VelocityMax=10\n";

class ParticleEmitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameRandom().Seed(1);
    platform::ForgetReportedProblems();
    emitter_.SetFrame(&frame_);
  }
  // Loads the lines and starts a continuous emission.
  void Start(const std::string& lines) {
    testing::ParseSection(file_, "Particle", 0, lines);
    emitter_.Load(file_, nullptr);
    emitter_.SetEmitting(true);
  }
  void Run(int frames) {
    for (int i = 0; i < frames; ++i)
      emitter_.Update(kFrameStep);
  }
  std::vector<DrawnVertex> Drawn() {
    device_.ClearDraws();
    EXPECT_TRUE(emitter_.Draw());
    std::vector<DrawnVertex> all;
    for (const auto& draw : device_.Draws()) {
      const auto vertices = testing::VerticesOf(draw);
      all.insert(all.end(), vertices.begin(), vertices.end());
    }
    return all;
  }

  platform::NullRenderDevice device_;
  ParticleEmitter emitter_{&device_};
  Transform frame_;
  DefinitionFile file_;
};

TEST_F(ParticleEmitterTest, EmissionFollowsTheRateAndTheEmitTime) {
  Start("EmitRate=10\nLifeTime=100");
  Run(900);  // 29.97 seconds at a third of a particle per frame: the fraction carries over
  EXPECT_NEAR(static_cast<double>(emitter_.ParticleCount()), 299.7, 1.0);

  Start("EmitRate=1000\nLifeTime=1\nEmitTime=0");
  emitter_.StartTimed();
  Run(1);
  EXPECT_FALSE(emitter_.IsEmitting());
  EXPECT_EQ(emitter_.ParticleCount(), 0u) << "EmitTime 0 ends before the first particle";
  emitter_.StartTimed(0.1f);  // time left after each frame: 0.0667, 0.0334, 0.0001, then ends
  Run(4);
  EXPECT_FALSE(emitter_.IsEmitting());
  EXPECT_EQ(emitter_.ParticleCount(), 99u);
}

TEST_F(ParticleEmitterTest, StoppedEmittersDrawTheirLiveParticlesUntilTheyExpire) {
  Start("EmitRate=300\nLifeTime=1");
  Run(3);
  const size_t alive = emitter_.ParticleCount();
  emitter_.SetEmitting(false);
  Run(20);
  EXPECT_EQ(emitter_.ParticleCount(), alive);
  EXPECT_EQ(Drawn().size(), 4 * alive);
  Run(10);
  EXPECT_EQ(emitter_.ParticleCount(), 0u);
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(ParticleEmitterTest, InertiaPassesOnTheEmittersOwnVelocity) {
  for (float inertia : {0.0f, 1.0f}) {
    frame_.SetPosition({0, 0, 0});
    Start(kStraight + ("Inertia=" + std::to_string(inertia)));
    frame_.SetPosition({3, 0, 0});  // 3 units in one frame
    Run(1);
    const ParticleRecord& p = emitter_.GetParticle(0);
    const float vx = inertia * 3 / kFrameStep;
    EXPECT_FLOAT_EQ(p.speed, std::hypot(vx, 10.0f)) << inertia;
    EXPECT_FLOAT_EQ(p.direction.x, vx / p.speed) << inertia;
    EXPECT_FLOAT_EQ(p.direction.z, 10 / p.speed) << inertia;
    EXPECT_EQ(p.birth, gfx::Vector3(3, 0, 0)) << "born at the frame's origin";
  }
}

TEST_F(ParticleEmitterTest, ANegativeVelocityDeltaBringsTheParticleBackAndHoldsItThere) {
  // Slowing by 10 units/s^2: back home at t = 2 and held there, while falling at 1 unit/s.
  Start(kStraight + std::string("VelocityDelta=-10\nVertically=1"));
  Run(1);
  ParticleRecord p = emitter_.GetParticle(0);
  for (float t : {1.0f, 2.0f, 3.0f, 6.0f}) {
    p.age = t;
    const gfx::Vector3 at = emitter_.StateOf(p).position;
    EXPECT_NEAR(at.z, t < 2 ? 10 * t - 5 * t * t : 0.0f, 1e-5f) << t;
    EXPECT_FLOAT_EQ(at.y, -t) << t;
  }
  // No direction and no speed: the particle stays where it was born (no NaN).
  Start("EmitRate=30.1\nLifeTime=10\nPositionMinX=2\nPositionMaxX=2");
  Run(5);
  EXPECT_EQ(emitter_.StateOf(emitter_.GetParticle(0)).position, gfx::Vector3(2, 0, 0));
}

TEST_F(ParticleEmitterTest, ColourIsClampedWhenDrawn) {
  Start(
      "EmitRate=30.1\nLifeTime=10\nColorR=0.5\nColorG=0.5\nColorB=0.25\nColorA=1\n"
      "ColorDeltaR=1\nColorDeltaG=-1");
  Run(30);  // the first particle is 1 second old: R 1.5, G -0.5
  EXPECT_EQ(Drawn().at(0).colour, 0xFFFF003Fu) << "B: trunc(0.25 x 255) = 63";
  EXPECT_EQ(emitter_.GetParticle(0).colour.r, 0.5f) << "the record keeps its birth colour";
}

TEST_F(ParticleEmitterTest, AnimationFramesFollowTheShareOfLifeAndTheLastFrameHolds) {
  Start("EmitRate=2\nLifeTime=1\nAnimationCount=4");
  emitter_.Update(0.5f);  // one particle, half its life gone: frame 2 of 4
  emitter_.SetEmitting(false);
  std::vector<DrawnVertex> quad = Drawn();
  EXPECT_EQ(quad.at(0).u, 0.5f);
  EXPECT_EQ(quad.at(1).u, 0.75f);
  emitter_.Update(0.5f);  // age == LifeTime: still alive, on the last frame
  quad = Drawn();
  EXPECT_EQ(quad.at(0).u, 0.75f);
  EXPECT_EQ(quad.at(1).u, 1.0f);

  Start("EmitRate=30.1\nLifeTime=1\nAnimationCount=0\nVariationCount=-3");  // count as 1
  Run(15);
  quad = Drawn();
  EXPECT_EQ(quad.at(2).u, 1.0f);
  EXPECT_EQ(quad.at(2).v, 1.0f);
}

TEST_F(ParticleEmitterTest, TheFirstParticlesOfASeededGameLandWhereTheDrawOrderPutsThem) {
  frame_.RotateY(CombineMode::LocalAxes, std::numbers::pi_v<float> / 2);
  frame_.SetPosition({90, 20, -50});
  Start(
      "EmitRate=90\nLifeTime=10\nVariationCount=3\nInertia=0.5\nPositionMinX=-1\n"
      "PositionMinY=-2\nPositionMinZ=-3\nPositionMaxX=4\nPositionMaxY=5\nPositionMaxZ=6\n"
      "DirectionMinX=-1\nDirectionMinY=0.5\nDirectionMinZ=1\nDirectionMaxX=1\n"
      "DirectionMaxY=1\nDirectionMaxZ=2\nVelocityMin=5\nVelocityMax=15\nVertically=2\n"
      "VerticallyDelta=4\nVelocityDelta=-1\nSizeMin=1\nSizeMax=3");
  frame_.SetPosition({100, 20, -50});
  Run(1);
  const gfx::Matrix view =
      gfx::MatrixMultiply(gfx::MatrixRotationX(0.3f), gfx::MatrixTranslation(0, -5, 40));
  device_.SetTransform(platform::TransformState::View, view);
  const std::vector<DrawnVertex> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 8u);  // 2.997 particles' worth: two

  // Draws in the documented order: variation; position z, y, x; direction z, y, x; speed; size.
  RandomGenerator random(1);
  auto range = [&](float a, float b) {
    return a + (b - a) * static_cast<float>(random.Next()) * 0.000030518509f;
  };
  const gfx::Matrix world = frame_.GetWorldMatrix();
  const gfx::Vector3 emitterVelocity = gfx::Vector3(10, 0, 0) / kFrameStep;
  for (size_t k = 0; k < 2; ++k) {
    const float variation = static_cast<float>(random.Next() % 3);
    gfx::Vector3 offset, direction;
    offset.z = range(-3, 6), offset.y = range(-2, 5), offset.x = range(-1, 4);
    direction.z = range(1, 2), direction.y = range(0.5f, 1), direction.x = range(-1, 1);
    direction = gfx::Vec3TransformNormal(gfx::Vec3Normalize(direction), world);
    const gfx::Vector3 velocity = direction * range(5, 15) + 0.5f * emitterVelocity;
    const float half = range(1, 3) / 2;
    const float t = kFrameStep;
    const float along = gfx::Vec3Length(velocity) - 0.5f * t;
    const gfx::Vector3 position = gfx::Vec3TransformCoord(offset, world) +
                                  gfx::Vec3Normalize(velocity) * along * t -
                                  gfx::Vector3(0, (2 + 2 * t) * t, 0);
    const gfx::Vector4 q = gfx::Vec3Transform(position, view);
    const float corners[4][4] = {{-half, half, 0, variation / 3},
                                 {half, half, 1, variation / 3},
                                 {half, -half, 1, (variation + 1) / 3},
                                 {-half, -half, 0, (variation + 1) / 3}};
    for (size_t c = 0; c < 4; ++c) {
      const DrawnVertex& v = drawn[4 * k + c];
      EXPECT_NEAR(v.x, q.x + corners[c][0], 1e-3f) << k << " " << c;
      EXPECT_NEAR(v.y, q.y + corners[c][1], 1e-3f) << k << " " << c;
      EXPECT_NEAR(v.z, q.z, 1e-3f) << k << " " << c;
      EXPECT_EQ(v.u, corners[c][2]);
      EXPECT_FLOAT_EQ(v.v, corners[c][3]);
    }
  }
}

TEST_F(ParticleEmitterTest, DrawingSetsTheEffectStatesAndRestoresLightingCullingAndView) {
  const gfx::Matrix view = gfx::MatrixTranslation(1, 2, 3);
  for (bool additive : {true, false}) {
    Start(std::string("EmitRate=30.1\nLifeTime=1\nAdditiveBlend=") + (additive ? "true" : "false"));
    Run(1);
    device_.SetTransform(platform::TransformState::View, view);
    ASSERT_EQ(Drawn().size(), 4u);
    const platform::DeviceStateBlock& during = device_.Draws().at(0).state;
    auto state = [&](RenderState s) { return during.GetRenderState(s); };
    EXPECT_EQ(device_.Draws()[0].stride, 24u);
    EXPECT_EQ(during.fvf, platform::kFvfXyz | platform::kFvfDiffuse | platform::kFvfTex1);
    EXPECT_EQ(state(RenderState::SrcBlend), static_cast<uint32_t>(platform::Blend::SrcAlpha));
    EXPECT_EQ(
        state(RenderState::DestBlend),
        static_cast<uint32_t>(additive ? platform::Blend::One : platform::Blend::InvSrcAlpha));
    EXPECT_EQ(state(RenderState::Lighting), 0u);
    EXPECT_EQ(state(RenderState::CullMode), static_cast<uint32_t>(platform::CullMode::None));
    EXPECT_EQ(gfx::Matrix(during.view), gfx::Matrix());
    EXPECT_EQ(device_.GetRenderState(RenderState::Lighting), 1u);
    EXPECT_EQ(device_.GetRenderState(RenderState::CullMode),
              static_cast<uint32_t>(platform::CullMode::CounterClockwise));
    EXPECT_EQ(gfx::Matrix(device_.State().view), view);
  }
}

TEST_F(ParticleEmitterTest, EveryLiveParticleIsDrawnInBatchesOfTheArraySize) {
  Start("EmitRate=75000\nLifeTime=1");  // 2497 particles in one frame
  Run(1);
  ASSERT_EQ(emitter_.ParticleCount(), 2497u);
  EXPECT_EQ(Drawn().size(), 4 * 2497u);
  ASSERT_EQ(device_.Draws().size(), 3u);
  const uint32_t quads[3] = {1024, 1024, 449};
  for (size_t i = 0; i < 3; ++i) {
    const platform::DrawRecord& draw = device_.Draws()[i];
    EXPECT_EQ(draw.primitiveCount, 2 * quads[i]);
    EXPECT_EQ(draw.indexList.size(), 6 * quads[i]);
    EXPECT_EQ(draw.indexList.back(), 4 * quads[i] - 3) << "4i+1 of the batch's last quad";
  }
}

TEST_F(ParticleEmitterTest, BrokenNumbersNeverRunAwayAndAreReportedOnce) {
  file_.SetName("Broken.txt");
  ::testing::internal::CaptureStderr();
  Start("EmitRate=1e30\nLifeTime=1e30\nSizeMin=-5\nVelocityMax=nan");
  Run(30);
  const std::string reports = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(emitter_.ParticleCount(), ParticleEmitter::kMaxParticles);
  const std::string capReport = "quarn: Broken.txt [Particle_0]: more than 16384";
  const size_t cap = reports.find(capReport);
  EXPECT_NE(cap, std::string::npos) << reports;
  EXPECT_EQ(reports.find(capReport, cap + 1), std::string::npos) << "once";
  EXPECT_NE(reports.find("[Particle_0] EmitRate: 1e+30 is out of range"), std::string::npos);
  for (const DrawnVertex& v : Drawn())
    ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));

  for (const char* lines : {"EmitRate=nan\nLifeTime=10", "EmitRate=-100\nLifeTime=-1"}) {
    Start(lines);
    Run(10);
    EXPECT_EQ(emitter_.ParticleCount(), 0u) << lines;
  }
}

}  // namespace
}  // namespace quarn
