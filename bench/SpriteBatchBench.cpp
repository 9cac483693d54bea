// Work: one frame of 2D drawing on the null render device: Clear, N sprite requests over 4
// textures (in runs of 5 on the same texture), then Draw; the device's record of the frame is
// dropped after each frame. Baseline: the same N quads handed straight to the screen-space
// sprite between Begin and End, the record dropped alike. N = 200 (a HUD) and 1,000. Reports
// microseconds per frame and the ratio to the baseline: what queueing costs on top of drawing.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "BenchTiming.h"
#include "gfxutil/Sprite.h"
#include "platform/NullRenderDevice.h"
#include "render/SpriteBatch.h"
#include "render/Texture.h"

namespace {

constexpr int kTextures = 4;
constexpr int kRun = 5;

void BM_SpriteBatchFrame(benchmark::State& state) {
  const int requests = static_cast<int>(state.range(0));
  quarn::platform::NullRenderDevice device;
  std::array<std::unique_ptr<quarn::Texture>, kTextures> textures;
  for (auto& texture : textures) {
    texture = std::make_unique<quarn::Texture>(&device);
    texture->Attach(device.CreateTexture(256, 256, 1, 0, quarn::platform::Format::A8R8G8B8,
                                         quarn::platform::Pool::Managed));
  }
  quarn::SpriteBatch batch(&device);
  batch.CreateSprite();
  quarn::gfx::Sprite sprite(device);
  const quarn::platform::ColorValue colour{1.0f, 0.9f, 0.8f, 0.7f};
  const quarn::platform::Argb packed = quarn::SpriteBatch::PackColour(colour);
  auto textureOf = [&](int i) {
    return textures[static_cast<size_t>((i / kRun) % kTextures)].get();
  };
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    timer.TimeWork([&] {
      batch.Clear();
      for (int i = 0; i < requests; ++i) {
        batch.Queue(textureOf(i), {i % 640, (i * 7) % 480}, 0, 0, 32, 32, 1.0f, 1.0f, {16, 16},
                    0.01f * i, colour);
      }
      benchmark::DoNotOptimize(batch.Draw());
      device.ClearDraws();
    });
    timer.TimeBaseline([&] {
      sprite.Begin();
      const quarn::platform::Rect source{0, 0, 32, 32};
      for (int i = 0; i < requests; ++i) {
        sprite.Draw(textureOf(i)->GetTexture(), &source, 1.0f, 1.0f, 16.0f, 16.0f, 0.01f * i,
                    static_cast<float>(i % 640), static_cast<float>((i * 7) % 480), packed);
      }
      benchmark::DoNotOptimize(sprite.End());
      device.ClearDraws();
    });
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["frame_us"] = timer.WorkSeconds() * 1e6 / frames;
  state.counters["sprite_only_us"] = timer.BaselineSeconds() * 1e6 / frames;
  state.counters["batch_to_sprite_ratio"] = timer.Ratio();
}
BENCHMARK(BM_SpriteBatchFrame)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
