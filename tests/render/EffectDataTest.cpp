// The demo game's effect files as the game reads them: each loads without a report, every
// emitter or trail names a texture of the demo set with that texture's layout of frames and
// variations, emits when started, keeps a sensible number alive, and a stopped or timed effect
// finishes and empties.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
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

enum class Start { Timed, Continuous, StoppedAfter2s, Endless };

struct EffectFile {
  const char* name;
  Start start;
  size_t most;  // live particles or points of the whole effect, at most
};

size_t Alive(const ParticleEmitter& emitter) {
  return emitter.ParticleCount();
}
size_t Alive(const TrajectoryTrail& trail) {
  return trail.PointCount();
}

// Runs the file's emitters or trails for 10 seconds on a frame flying at 90 units a second,
// drawing each frame; the most alive at once.
template <class Effect>
size_t RunFile(const EffectFile& effect, const char* section, const char* countKey) {
  DefinitionFile file;
  EXPECT_TRUE(file.Load(std::string(QUARN_SOURCE_DIR) + "/data/" + effect.name));
  file.SetName(effect.name);
  file.SelectSection(section);
  const int count = file.GetCount(countKey);
  EXPECT_GE(count, 1);
  platform::NullRenderDevice device;
  Transform frame;
  std::vector<std::unique_ptr<Effect>> effects;
  for (int i = 0; i < count; ++i) {
    file.SelectSection(section, static_cast<unsigned>(i));
    const auto layout = kLayouts.find(file.GetString("Texture", ""));
    EXPECT_NE(layout, kLayouts.end()) << i;
    if (layout != kLayouts.end()) {
      EXPECT_EQ(file.GetInt("AnimationCount", 1), layout->second.first) << i;
      EXPECT_EQ(file.GetInt("VariationCount", 1), layout->second.second) << i;
    }
    effects.push_back(std::make_unique<Effect>(&device));
    effects.back()->Load(file, nullptr);
    effects.back()->SetFrame(&frame);
    effects.back()->SetEmitting(true);
    if constexpr (std::is_same_v<Effect, ParticleEmitter>) {
      if (effect.start == Start::Timed || effect.start == Start::Endless)
        effects.back()->StartTimed();
    }
  }
  size_t most = 0;
  for (int step = 0; step < 300; ++step) {
    frame.Translate(CombineMode::LocalAxes, {0, 0, 3});
    size_t alive = 0;
    for (auto& e : effects) {
      if (effect.start == Start::StoppedAfter2s && step == 60)
        e->StartTimed(0);
      e->Update(kFrameStep);
      alive += Alive(*e);
      EXPECT_TRUE(e->Draw());
    }
    most = std::max(most, alive);
    device.ClearDraws();
  }
  for (auto& e : effects) {
    const bool finished = !e->IsEmitting() && Alive(*e) == 0;
    EXPECT_EQ(finished, effect.start == Start::Timed || effect.start == Start::StoppedAfter2s);
  }
  return most;
}

TEST(EffectDataTest, EffectFilesEmitWithinTheirCountsAndFinishWhenTimedOrStopped) {
  const EffectFile particles[] = {
      {"ExplosionLarge.txt", Start::Timed, 100},  {"ExplosionSmall.txt", Start::Timed, 60},
      {"HitSpark.txt", Start::Timed, 20},         {"MuzzleFlash.txt", Start::Timed, 3},
      {"SmokeColumn.txt", Start::Continuous, 80}, {"EngineExhaust.txt", Start::Continuous, 40},
      {"Overheat.txt", Start::Continuous, 60},    {"ChargeGlow.txt", Start::Continuous, 40},
      {"Rain.txt", Start::Endless, 3000}};
  const EffectFile trails[] = {{"MissileTrail.txt", Start::StoppedAfter2s, 50},
                               {"TracerTrail.txt", Start::StoppedAfter2s, 5},
                               {"RollVapour.txt", Start::StoppedAfter2s, 40}};
  platform::ForgetReportedProblems();
  ::testing::internal::CaptureStderr();
  for (const EffectFile& effect : particles) {
    const size_t most = RunFile<ParticleEmitter>(effect, "Particle", "ParticleCount");
    EXPECT_TRUE(most > 0 && most <= effect.most) << effect.name << ": " << most;
  }
  for (const EffectFile& effect : trails) {
    const size_t most = RunFile<TrajectoryTrail>(effect, "Trajectory", "TrajectoryCount");
    EXPECT_TRUE(most > 1 && most <= effect.most) << effect.name << ": " << most;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace quarn
