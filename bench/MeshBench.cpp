// Work: (1) load a generated 100,352-triangle grid mesh (50,625 vertices, normals and texture
// coordinates, one material) from a binary .x file as the game's mesh resource (device mesh,
// materials, bounds, one normal per face), against the device mesh load alone on the same
// file; reports the ratio, i.e. what bounds and face normals add. (2) One frame of the render
// manager over 1,000 drawables, each an 8-triangle, two-material mesh at its own node, on the
// null device; reports drawables per second.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "gfxutil/XFileWriter.h"
#include "gfxutil/XMeshLoader.h"
#include "platform/NullRenderDevice.h"
#include "render/Drawable.h"
#include "render/Mesh.h"
#include "render/MeshInstance.h"
#include "render/RenderManager.h"
#include "render/Transform.h"

namespace {

using namespace quarn;

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  const std::string path = "/tmp/quarn-bench-" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string GridFile(uint32_t side, uint32_t materials) {
  testing::TestMesh grid = testing::GridMesh(side);
  grid.materialList = true;
  grid.materialCount = materials;
  for (uint32_t face = 0; face < 2 * side * side; ++face)
    grid.faceMaterials.push_back(face % materials);
  for (uint32_t m = 0; m < materials; ++m)
    grid.materials.push_back(testing::MaterialObject({1, 1, 1, 1}, 0, {0, 0, 0, 1}, {0, 0, 0, 1}));
  testing::XDocument document;
  document.objects.push_back(grid.Build("Grid"));
  return WriteTemp("mesh-grid-" + std::to_string(side) + ".x", testing::WriteBinaryX(document));
}

void BM_MeshLoad(benchmark::State& state) {
  const std::string path = GridFile(224, 1);
  platform::NullRenderDevice device;
  bench::SplitTimer timer;
  uint32_t faces = 0;
  for (auto _ : state) {
    timer.TimeWork([&] {
      Mesh mesh(&device);
      if (!mesh.Load(path))
        state.SkipWithError(mesh.LoadProblem().c_str());
      faces = static_cast<uint32_t>(mesh.GetFaceNormals().size());
      benchmark::DoNotOptimize(mesh.GetSphereRadius());
    });
    timer.TimeBaseline([&] {
      std::string error;
      auto mesh = gfx::LoadMeshFromX(path, device, &error);
      benchmark::DoNotOptimize(mesh.get());
    });
  }
  const double loads = static_cast<double>(state.iterations());
  state.counters["triangles"] = faces;
  state.counters["triangles_per_s"] = faces * loads / timer.WorkSeconds();
  state.counters["load_to_device_mesh_ratio"] = timer.Ratio();
}
BENCHMARK(BM_MeshLoad)->Unit(benchmark::kMillisecond);

// A scene object: one mesh at its own node, drawn in the opaque pass.
class Box : public Drawable {
 public:
  Box(platform::RenderDevice& device, Mesh* mesh, float x) : instance_(&device) {
    instance_.SetMesh(mesh);
    instance_.SetFrame(&frame_);
    frame_.SetPosition({x, 0, 10});
  }
  bool Cull(ViewCamera&, bool alphaPass) override { return !alphaPass; }
  bool DrawNormal() override { return instance_.Draw(); }
  bool DrawAlpha() override { return false; }

 private:
  MeshInstance instance_;
  Transform frame_;
};

void BM_RenderManagerFrame(benchmark::State& state) {
  platform::NullRenderDevice device;
  Mesh mesh(&device);
  if (!mesh.Load(GridFile(2, 2))) {
    state.SkipWithError(mesh.LoadProblem().c_str());
    return;
  }
  RenderManager manager(&device);
  std::vector<std::unique_ptr<Box>> boxes;
  for (int i = 0; i < 1000; ++i) {
    boxes.push_back(std::make_unique<Box>(device, &mesh, static_cast<float>(i)));
    manager.AddDrawable(boxes.back().get());
  }
  manager.Render();
  if (device.Draws().size() != 2 * boxes.size()) {
    state.SkipWithError("the frame did not draw every mesh");
    return;
  }
  for (auto _ : state) {
    manager.Render();
    // The null device keeps every draw; dropping them keeps each frame the same work.
    state.PauseTiming();
    device.ClearDraws();
    state.ResumeTiming();
  }
  state.counters["drawables_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * boxes.size(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderManagerFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
