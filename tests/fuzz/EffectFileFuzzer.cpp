// Particle and trajectory files: arbitrary bytes loaded as both, every emitter and trail run
// for a few updates on a moving, turning frame and drawn on the null render device.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "platform/NullRenderDevice.h"
#include "render/ParticleEmitter.h"
#include "render/TrajectoryTrail.h"
#include "render/Transform.h"

namespace {

// The most sections read per input: enough to reach every key, few enough to stay fast.
constexpr int kMostSections = 4;

template <class Effect>
void Run(quarn::DefinitionFile& file, const char* name, const char* countKey, bool timed,
         quarn::platform::NullRenderDevice& device) {
  file.SelectSection(name);
  const int count = std::min(file.GetCount(countKey), kMostSections);
  quarn::Transform frame;
  std::vector<std::unique_ptr<Effect>> effects;
  for (int i = 0; i < count; ++i) {
    file.SelectSection(name, static_cast<unsigned>(i));
    effects.push_back(std::make_unique<Effect>(&device));
    effects.back()->Load(file, nullptr);
    effects.back()->SetFrame(&frame);
    if (timed)
      effects.back()->StartTimed(1.0f);
    else
      effects.back()->SetEmitting(true);
  }
  for (int step = 0; step < 8; ++step) {
    frame.Translate(quarn::CombineMode::LocalAxes, {0, 0, 7});
    frame.RotateY(quarn::CombineMode::LocalAxes, 0.3f);
    for (auto& effect : effects) {
      effect->Update(quarn::kFrameStep);
      effect->Draw();
    }
    device.ClearDraws();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  quarn::DefinitionFile file;
  file.SetName("fuzz.txt");
  file.Parse(quarn::DefinitionFile::ApplyBlockRule(bytes));
  quarn::platform::NullRenderDevice device;
  const bool timed = size > 0 && (data[0] & 1) != 0;
  Run<quarn::ParticleEmitter>(file, "Particle", "ParticleCount", timed, device);
  Run<quarn::TrajectoryTrail>(file, "Trajectory", "TrajectoryCount", timed, device);
  return 0;
}
