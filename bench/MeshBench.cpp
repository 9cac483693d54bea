// Work: (1) load a generated 100,352-triangle grid mesh (50,625 vertices, normals and texture
// coordinates, one material) from a binary .x file as the game's mesh resource (device mesh,
// materials, bounds, one normal per face), against the device mesh load alone on the same
// file; reports the ratio, i.e. what bounds and face normals add. (2) One frame of the render
// manager over 1,000 drawables, each an 8-triangle, two-material mesh at its own node, on the
// null device; reports drawables per second. (3) Ray tests: 1,000 rays with a direction of
// length 30, from random points 10 to 50 units above a 5,000-triangle heightfield of 200 x 200
// units (hills up to about 12 high), in directions spread evenly over the sphere, through
// Mesh::IntersectRay (the face tree), and the same rays trying every face of the mesh; reports
// CPU ns per ray for each.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "gfxutil/Mesh.h"
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

// 50 x 50 squares of 4 units, two triangles each, with smooth hills and some roughness.
std::string HeightfieldFile() {
  constexpr uint32_t kSide = 50;
  testing::TestMesh field;
  uint32_t seed = 99;
  for (uint32_t z = 0; z <= kSide; ++z) {
    for (uint32_t x = 0; x <= kSide; ++x) {
      seed = seed * 214013u + 2531011u;
      const float rough = static_cast<float>((seed >> 16) & 0x7FFF) / 32767.0f;
      const float height =
          8 * std::sin(0.13f * x) * std::cos(0.11f * z) + 3 * std::sin(0.5f * x + 0.3f * z) + rough;
      field.positions.push_back({4.0f * x, height, 4.0f * z});
    }
  }
  for (uint32_t z = 0; z < kSide; ++z) {
    for (uint32_t x = 0; x < kSide; ++x) {
      const uint32_t a = z * (kSide + 1) + x;
      field.faces.push_back({a, a + kSide + 1, a + 1});
      field.faces.push_back({a + 1, a + kSide + 1, a + kSide + 2});
    }
  }
  testing::XDocument document;
  document.objects.push_back(field.Build("Ground"));
  return WriteTemp("mesh-heightfield.x", testing::WriteBinaryX(document));
}

// The heightfield and its 1,000 rays, made once for both ray benchmarks.
struct RayScene {
  platform::NullRenderDevice device;
  Mesh mesh{&device};
  std::vector<std::pair<gfx::Vector3, gfx::Vector3>> rays;
  double hitFraction = 0;
  std::string problem;

  RayScene() {
    if (!mesh.Load(HeightfieldFile())) {
      problem = mesh.LoadProblem();
      return;
    }
    uint32_t seed = 4321;
    const auto next = [&seed] {
      seed = seed * 214013u + 2531011u;
      return static_cast<float>((seed >> 8) & 0xFFFF) / 65535.0f;
    };
    while (rays.size() < 1000) {
      const gfx::Vector3 d{2 * next() - 1, 2 * next() - 1, 2 * next() - 1};
      const float length = gfx::Vec3Length(d);
      if (length < 0.1f || length > 1)
        continue;  // evenly over the sphere
      rays.push_back({{200 * next(), 10 + 40 * next(), 200 * next()}, d * (30 / length)});
    }
    const gfx::TriangleTree& tree = mesh.GetDeviceMesh()->Triangles();
    int hits = 0;
    for (const auto& [origin, direction] : rays) {
      uint32_t face = 0, expectedFace = 0;
      float distance = 0, expected = 0;
      const bool hit = tree.Intersect(origin, direction, &face, &distance);
      if (hit != tree.IntersectEveryFace(origin, direction, &expectedFace, &expected) ||
          (hit && (face != expectedFace || distance != expected))) {
        problem = "the tree and the full scan disagree";
      }
      hits += hit;
    }
    hitFraction = hits / 1000.0;
  }
};

RayScene& SharedRayScene() {
  static RayScene scene;
  return scene;
}

// ns_per_ray: CPU time per ray.
void ReportRays(benchmark::State& state, const RayScene& scene) {
  state.counters["triangles"] = scene.mesh.GetDeviceMesh()->FaceCount();
  state.counters["hit_fraction"] = scene.hitFraction;
  state.counters["ns_per_ray"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * scene.rays.size() / 1e9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MeshRaysThroughTree(benchmark::State& state) {
  RayScene& scene = SharedRayScene();
  if (!scene.problem.empty()) {
    state.SkipWithError(scene.problem.c_str());
    return;
  }
  for (auto _ : state) {
    for (const auto& [origin, direction] : scene.rays) {
      float distance = 0;
      gfx::Vector3 normal;
      benchmark::DoNotOptimize(scene.mesh.IntersectRay(origin, direction, &distance, &normal));
    }
  }
  ReportRays(state, scene);
}
BENCHMARK(BM_MeshRaysThroughTree)->Unit(benchmark::kMicrosecond);

void BM_MeshRaysAtEveryFace(benchmark::State& state) {
  RayScene& scene = SharedRayScene();
  if (!scene.problem.empty()) {
    state.SkipWithError(scene.problem.c_str());
    return;
  }
  const gfx::TriangleTree& tree = scene.mesh.GetDeviceMesh()->Triangles();
  for (auto _ : state) {
    for (const auto& [origin, direction] : scene.rays) {
      float distance = 0;
      uint32_t face = 0;
      benchmark::DoNotOptimize(tree.IntersectEveryFace(origin, direction, &face, &distance));
    }
  }
  ReportRays(state, scene);
}
BENCHMARK(BM_MeshRaysAtEveryFace)->Unit(benchmark::kMicrosecond);

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
