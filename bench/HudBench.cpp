// Work: one frame of the stage HUD with 200 targets in both target registries, on the null
// render device: the HUD's update (candidates, their two orders, the buttons, the message and
// the alarm scan over 20 enemy projectiles) and the building of its sprite queue (focus mark,
// arrows, armour bars, weapon marks, radar blips, gauges, figures, panels). Targets lie on a
// spiral round the player within their search distance, so some are on screen, some behind
// and most on the radar. Reports microseconds of processor time per frame and the sprites
// queued; the target is 200 us a frame.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "TestMedia.h"
#include "engine/Archive.h"
#include "engine/GraphicsDevice.h"
#include "engine/Window.h"
#include "game/Hud.h"
#include "game/HudStageFiles.h"
#include "gfxutil/ImageWriter.h"
#include "projectiles/Gun.h"
#include "stage/MainScene.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"

namespace quarn {
namespace {

constexpr int kTargets = 200;
constexpr int kProjectiles = 20;

double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void WritePicture(const std::string& path, uint32_t width, uint32_t height) {
  const std::vector<platform::Argb> pixels(size_t{width} * height, 0xFFFFFFFFu);
  std::string error;
  gfx::ImageWriter::WritePng(path, pixels.data(), width, height, width, true, &error);
}

void BM_HudFrame(benchmark::State& state) {
  testing::TempFolder folder;
  const std::string data = folder.File("Data");
  std::filesystem::create_directories(data);
  std::filesystem::create_directories(folder.File("tmp"));
  testing::HudStageOptions options;
  for (int i = 0; i < kTargets; ++i) {
    const float angle = static_cast<float>(i) * 0.7f;
    const float reach = 100.0f + static_cast<float>(i) * 20.0f;
    options.targets.push_back({{reach * std::sin(angle), 500.0f + static_cast<float>(i % 7) * 10,
                                reach * std::cos(angle)},
                               i % 5 == 0,
                               0.5f});
  }
  for (const auto& [name, bytes] : testing::HudStageFiles(options)) {
    std::string lower = name;
    for (char& c : lower)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::ofstream(data + "/" + lower, std::ios::binary) << bytes;
  }
  WritePicture(data + "/hud.png", 512, 256);
  WritePicture(data + "/number.png", 256, 32);
  WritePicture(data + "/message.png", 256, 512);
  WritePicture(data + "/gunicon.png", 512, 128);
  WritePicture(data + "/missileicon.png", 512, 128);

  Archive archive(folder.File("tmp"));
  archive.Open(data);
  WindowParams params;
  params.backend = platform::WindowBackend::None;
  Window window;
  window.Create(params);
  GraphicsDevice graphics;
  graphics.Create(window.GetHandle(), GraphicsParams{1, 640, 480});
  testing::HudOwner owner;
  {
    MainScene scene(&owner);
    testing::LoadHudStage(scene, options);
    scene.SetHudMessage(4);
    for (int i = 0; i < kProjectiles; ++i) {
      Gun* shell = scene.Pool().AcquireGunBullet("Shell.txt", false);
      shell->Activate(kEnemySide);
      shell->SetWorldPosition({static_cast<float>(i) * 50.0f, 400.0f, 300.0f});
      shell->SetVelocityEstimate({0.0f, 0.0f, -100.0f});
    }
    scene.Render();  // the camera's view onto the device
    auto& hud = *static_cast<Hud*>(scene.Hud());
    double seconds = 0;
    double sprites = 0;
    for (auto _ : state) {
      const double start = ThreadSeconds();
      hud.Update();
      hud.QueueFrame();
      seconds += ThreadSeconds() - start;
      sprites += static_cast<double>(hud.Sprites().Records().size());
      scene.SetHudMessage(4);  // kept up, as the stage would
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["frame_cpu_us"] = seconds * 1e6 / frames;
    state.counters["sprites"] = sprites / frames;
    state.counters["candidates"] = static_cast<double>(hud.Selection().ByDistance().size());
    scene.Finish();
  }
  graphics.Release();
}
BENCHMARK(BM_HudFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quarn
