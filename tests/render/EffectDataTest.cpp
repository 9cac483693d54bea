// The demo game's effect files as the game reads them: each loads without a report, every
// emitter names a texture of the demo set with that texture's layout of frames and variations,
// emits when started, keeps a sensible number alive, and a timed effect finishes and empties.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "render/ParticleEmitter.h"
#include "render/TrajectoryTrail.h"
#include "render/Transform.h"

namespace quarn {
namespace {

// Texture columns (animation frames) and rows (variations) as the demo content makes them.
const std::map<std::string, std::pair<int, int>> kLayouts = {
    {"Smoke.png", {4, 2}}, {"Explosion.png", {8, 2}}, {"Spark.png", {1, 4}},
    {"Flash.png", {1, 1}}, {"Glow.png", {1, 1}},      {"Trail.png", {1, 1}},
    {"Rain.png", {1, 1}},  {"Debris.png", {1, 4}}};
const std::set<std::string> kSounds = {"Explosion.wav", "SmallExplosion.wav", "Hit.wav"};

struct EffectFile {
  const char* name;
  bool continuous;  // started with every emitter emitting, else timed
  size_t most;      // live particles or points of the whole effect, at most
};

class EffectDataTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ForgetReportedProblems(); }
  void Open(const EffectFile& effect) {
    file_.Clear();  // loading adds to what a file holds
    ASSERT_TRUE(file_.Load(std::string(QUARN_SOURCE_DIR) + "/data/" + effect.name));
    file_.SetName(effect.name);
  }
  // Flies the frame forward at 90 units a second.
  void Fly() { frame_.Translate(CombineMode::LocalAxes, {0, 0, 3}); }

  DefinitionFile file_;
  Transform frame_;
  platform::NullRenderDevice device_;
};

TEST_F(EffectDataTest, ParticleFilesEmitWithinTheirCountsAndTimedOnesFinish) {
  const EffectFile files[] = {{"ExplosionLarge.txt", false, 100}, {"ExplosionSmall.txt", false, 60},
                              {"HitSpark.txt", false, 20},        {"SmokeColumn.txt", true, 80},
                              {"MuzzleFlash.txt", false, 3},      {"EngineExhaust.txt", true, 40},
                              {"Overheat.txt", true, 60},         {"Rain.txt", false, 3000},
                              {"ChargeGlow.txt", true, 40}};
  for (const EffectFile& effect : files) {
    SCOPED_TRACE(effect.name);
    ::testing::internal::CaptureStderr();
    Open(effect);
    file_.SelectSection("Particle");
    if (file_.GetBool("ParticleSoundEnable", false)) {
      EXPECT_EQ(kSounds.count(file_.GetString("ParticleSoundFile", "")), 1u);
    }
    const int count = file_.GetCount("ParticleCount");
    ASSERT_GE(count, 1);
    std::vector<std::unique_ptr<ParticleEmitter>> emitters;
    for (int i = 0; i < count; ++i) {
      file_.SelectSection("Particle", static_cast<unsigned>(i));
      const auto layout = kLayouts.find(file_.GetString("Texture", ""));
      ASSERT_NE(layout, kLayouts.end()) << file_.GetString("Texture", "");
      EXPECT_EQ(file_.GetInt("AnimationCount", 1), layout->second.first) << i;
      EXPECT_EQ(file_.GetInt("VariationCount", 1), layout->second.second) << i;
      emitters.push_back(std::make_unique<ParticleEmitter>(&device_));
      emitters.back()->Load(file_, nullptr);
      emitters.back()->SetFrame(&frame_);
      if (effect.continuous)
        emitters.back()->SetEmitting(true);
      else
        emitters.back()->StartTimed();
    }
    size_t most = 0;
    for (int frame = 0; frame < 300; ++frame) {  // 10 seconds
      Fly();
      size_t alive = 0;
      for (auto& emitter : emitters) {
        emitter->Update(kFrameStep);
        alive += emitter->ParticleCount();
        ASSERT_TRUE(emitter->Draw());
        if (!effect.continuous && std::string(effect.name) != "Rain.txt" && frame == 299) {
          EXPECT_FALSE(emitter->IsEmitting() || emitter->ParticleCount() > 0) << "finished";
        }
      }
      most = std::max(most, alive);
      device_.ClearDraws();
    }
    EXPECT_GT(most, 0u);
    EXPECT_LE(most, effect.most);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

TEST_F(EffectDataTest, TrajectoryFilesDrawRibbonsWhileFlyingAndEmptyAfterAStop) {
  const EffectFile files[] = {
      {"MissileTrail.txt", true, 50}, {"TracerTrail.txt", true, 5}, {"RollVapour.txt", true, 40}};
  for (const EffectFile& effect : files) {
    SCOPED_TRACE(effect.name);
    ::testing::internal::CaptureStderr();
    Open(effect);
    file_.SelectSection("Trajectory");
    const int count = file_.GetCount("TrajectoryCount");
    ASSERT_GE(count, 1);
    std::vector<std::unique_ptr<TrajectoryTrail>> trails;
    for (int i = 0; i < count; ++i) {
      file_.SelectSection("Trajectory", static_cast<unsigned>(i));
      EXPECT_EQ(kLayouts.count(file_.GetString("Texture", "")), 1u);
      trails.push_back(std::make_unique<TrajectoryTrail>(&device_));
      trails.back()->Load(file_, nullptr);
      trails.back()->SetFrame(&frame_);
      trails.back()->SetEmitting(true);
    }
    size_t most = 0;
    for (int frame = 0; frame < 150; ++frame) {
      Fly();
      if (frame == 60) {
        for (auto& trail : trails)
          trail->StartTimed(0);
      }
      size_t alive = 0;
      for (auto& trail : trails) {
        trail->Update(kFrameStep);
        alive += trail->PointCount();
      }
      most = std::max(most, alive);
      if (frame == 59) {
        device_.ClearDraws();
        for (auto& trail : trails)
          ASSERT_TRUE(trail->Draw());
        EXPECT_EQ(device_.Draws().size(), 2 * trails.size()) << "one segment each";
      }
    }
    EXPECT_LE(most, effect.most);
    for (auto& trail : trails)
      EXPECT_EQ(trail->PointCount(), 0u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

}  // namespace
}  // namespace quarn
