// Work: one game frame of effects on the null render device. Particles: 50 emitters of about
// 500 live particles each (250 a second living 2 seconds, at steady state), each updated once
// by the fixed step and drawn (its vertices built and handed to the device); the device's
// record of the frame is dropped after each frame. Trails: 50 trails of 200 points (60 a
// second living 3.33 seconds) on moving frames, updated and drawn alike. Reports microseconds
// of processor time per frame and nanoseconds per particle or trail point; the target for the
// particles is the 25,000 within 1 ms.
#include <benchmark/benchmark.h>

#include <time.h>

#include <memory>
#include <vector>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "platform/NullRenderDevice.h"
#include "render/ParticleEmitter.h"
#include "render/TrajectoryTrail.h"
#include "render/Transform.h"

namespace {

using quarn::kFrameStep;

constexpr int kEffects = 50;

// Processor time of this thread: the machine is shared, so wall time counts other programs too.
double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

quarn::DefinitionFile Definition(const char* text) {
  quarn::DefinitionFile file;
  file.Parse(text);
  return file;
}

// Runs kEffects effects of one definition section on frames that circle the origin.
template <class Effect>
void EffectFrames(benchmark::State& state, const char* text, const char* section,
                  size_t (Effect::*liveCount)() const, const char* perName) {
  quarn::platform::NullRenderDevice device;
  device.SetTransform(quarn::platform::TransformState::View,
                      quarn::gfx::MatrixTranslation(0, -10, 60));
  quarn::DefinitionFile file = Definition(text);
  file.SelectSection(section, 0);
  std::vector<std::unique_ptr<quarn::Transform>> frames;
  std::vector<std::unique_ptr<Effect>> effects;
  for (int i = 0; i < kEffects; ++i) {
    frames.push_back(std::make_unique<quarn::Transform>());
    frames.back()->SetPosition({static_cast<float>(i % 10) * 20, static_cast<float>(i / 10), 0});
    effects.push_back(std::make_unique<Effect>(&device));
    effects.back()->Load(file, nullptr);
    effects.back()->SetFrame(frames.back().get());
    effects.back()->SetEmitting(true);
  }
  auto frame = [&] {
    for (int i = 0; i < kEffects; ++i) {
      frames[i]->Translate(quarn::CombineMode::LocalAxes, {0, 0, 3});
      frames[i]->RotateY(quarn::CombineMode::LocalAxes, 0.05f);
      effects[i]->Update(kFrameStep);
      benchmark::DoNotOptimize(effects[i]->Draw());
    }
    device.ClearDraws();
  };
  for (int i = 0; i < 150; ++i)  // past the first lifetimes: the steady state
    frame();
  double live = 0;
  double seconds = 0;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    frame();
    seconds += ThreadSeconds() - start;
    for (const auto& effect : effects)
      live += static_cast<double>(((*effect).*liveCount)());
  }
  const double frameCount = static_cast<double>(state.iterations());
  state.counters["live"] = live / frameCount;
  state.counters["frame_cpu_us"] = seconds * 1e6 / frameCount;
  state.counters[perName] = seconds * 1e9 / live;
}

void BM_ParticleFrame(benchmark::State& state) {
  EffectFrames<quarn::ParticleEmitter>(
      state,
      "[Particle_0]\r\nEmitRate=250\r\nLifeTime=2\r\nAnimationCount=4\r\nVariationCount=2\r\n"
      "PositionMinX=-1\r\nPositionMaxX=1\r\nDirectionMinY=0.5\r\nDirectionMaxY=1\r\n"
      "DirectionMinX=-1\r\nDirectionMaxX=1\r\nVelocityMin=2\r\nVelocityMax=5\r\n"
      "Inertia=0.5\r\nVerticallyDelta=-1\r\nColorR=1\r\nColorG=0.8\r\nColorB=0.6\r\n"
      "ColorA=1\r\nColorDeltaA=-0.5\r\nSizeMin=1\r\nSizeMax=2\r\nSizeDelta=1\r\n",
      "Particle", &quarn::ParticleEmitter::ParticleCount, "ns_per_particle");
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMicrosecond);

void BM_TrailFrame(benchmark::State& state) {
  EffectFrames<quarn::TrajectoryTrail>(
      state,
      "[Trajectory_0]\r\nEmitRate=60\r\nLifeTime=3.33\r\nSize=1\r\nSizeDelta=2\r\n"
      "ColorR=1\r\nColorG=1\r\nColorB=1\r\nColorA=0.8\r\nColorDeltaA=-0.25\r\n",
      "Trajectory", &quarn::TrajectoryTrail::PointCount, "ns_per_point");
}
BENCHMARK(BM_TrailFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
