// Work: load a generated 100,352-triangle grid mesh (50,625 vertices, with normals and texture
// coordinates) from a .x file in text and in binary form through the whole loader (read,
// parse, build, device buffers on the null device), against merely reading the same file;
// and cast rays at a 10,082-triangle grid, all hitting it, or all passing beside it.
// Reports triangles per second for loads and rays per second for ray tests.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "BenchTiming.h"
#include "gfxutil/XFileReader.h"
#include "gfxutil/XFileWriter.h"
#include "gfxutil/XMeshLoader.h"
#include "platform/NullRenderDevice.h"

namespace {

using quarn::testing::GridMesh;
using quarn::testing::XDocument;

XDocument GridDocument(uint32_t side) {
  XDocument document;
  document.objects.push_back(GridMesh(side).Build("Grid"));
  return document;
}

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  const std::string path = "/tmp/quarn-bench-" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void LoadBenchmark(benchmark::State& state, const std::string& path, size_t fileBytes) {
  quarn::platform::NullRenderDevice device;
  quarn::bench::SplitTimer timer;
  uint32_t faces = 0;
  for (auto _ : state) {
    timer.TimeWork([&] {
      std::string error;
      auto mesh = quarn::gfx::LoadMeshFromX(path, device, &error);
      if (!mesh)
        state.SkipWithError(error.c_str());
      faces = mesh ? mesh->FaceCount() : 0;
      benchmark::DoNotOptimize(mesh.get());
    });
    timer.TimeBaseline([&] { benchmark::DoNotOptimize(ReadAll(path).size()); });
  }
  const double loads = static_cast<double>(state.iterations());
  state.counters["triangles"] = faces;
  state.counters["file_MB"] = static_cast<double>(fileBytes) / 1e6;
  state.counters["triangles_per_s"] = faces * loads / timer.WorkSeconds();
  state.counters["load_MB_per_s"] =
      static_cast<double>(fileBytes) * loads / 1e6 / timer.WorkSeconds();
  state.counters["read_only_MB_per_s"] =
      static_cast<double>(fileBytes) * loads / 1e6 / timer.BaselineSeconds();
  state.counters["load_to_read_ratio"] = timer.Ratio();
}

void BM_XMeshLoadText(benchmark::State& state) {
  const std::string bytes = quarn::testing::WriteTextX(GridDocument(224));
  LoadBenchmark(state, WriteTemp("grid-text.x", bytes), bytes.size());
}
BENCHMARK(BM_XMeshLoadText)->Unit(benchmark::kMillisecond);

void BM_XMeshLoadBinary(benchmark::State& state) {
  const std::string bytes = quarn::testing::WriteBinaryX(GridDocument(224));
  LoadBenchmark(state, WriteTemp("grid-binary.x", bytes), bytes.size());
}
BENCHMARK(BM_XMeshLoadBinary)->Unit(benchmark::kMillisecond);

// Rays from above the grid straight down at scattered points (hit: true), or the same rays
// moved beside the grid (hit: false).
void RayBenchmark(benchmark::State& state, bool hit) {
  constexpr uint32_t kSide = 71;
  quarn::platform::NullRenderDevice device;
  const std::string text = quarn::testing::WriteBinaryX(GridDocument(kSide));
  quarn::gfx::MeshData data;
  std::string error;
  quarn::gfx::XFileReader::Read(
      std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), &data, &error);
  auto mesh = quarn::gfx::Mesh::Create(device, std::move(data), &error);
  if (!mesh) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::vector<quarn::platform::Vector3> origins;
  uint32_t seed = 12345;
  for (int i = 0; i < 1024; ++i) {
    seed = seed * 214013u + 2531011u;
    const float x = static_cast<float>((seed >> 8) % 7000) / 100.0f + (hit ? 0.0f : 200.0f);
    seed = seed * 214013u + 2531011u;
    const float z = static_cast<float>((seed >> 8) % 7000) / 100.0f;
    origins.push_back({x, 10.0f, z});
  }
  const quarn::platform::Vector3 down{0, -1, 0};
  uint64_t hits = 0;
  for (auto _ : state) {
    for (const auto& origin : origins) {
      bool found = false;
      uint32_t face = 0;
      float distance = 0;
      mesh->Intersect(origin, down, &found, &face, &distance);
      hits += found;
    }
  }
  state.counters["triangles"] = mesh->FaceCount();
  state.counters["hit_fraction"] =
      static_cast<double>(hits) / (static_cast<double>(state.iterations()) * origins.size());
  state.counters["rays_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * origins.size(), benchmark::Counter::kIsRate);
}

void BM_XMeshIntersectHits(benchmark::State& state) {
  RayBenchmark(state, true);
}
BENCHMARK(BM_XMeshIntersectHits)->Unit(benchmark::kMillisecond);

void BM_XMeshIntersectMisses(benchmark::State& state) {
  RayBenchmark(state, false);
}
BENCHMARK(BM_XMeshIntersectMisses)->Unit(benchmark::kMillisecond);

}  // namespace
