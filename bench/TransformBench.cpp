// Work: 10,000 world-matrix rebuilds of the leaf of a 5-deep Transform chain (each preceded
// by a small turn of the root, which invalidates the chain, so every rebuild recomputes all
// five world matrices), and, in the same run, the same arithmetic on plain matrices (build
// the turn, apply it to the root, four products). Reports ns per rebuild and the ratio.
#include <benchmark/benchmark.h>

#include <array>

#include "BenchTiming.h"
#include "gfxutil/Matrix.h"
#include "render/Transform.h"

namespace {

constexpr int kDepth = 5;
constexpr int kRebuilds = 10000;
constexpr float kTurn = 0.001f;

void BM_TransformWorldRebuild(benchmark::State& state) {
  std::array<quarn::Transform, kDepth> chain;
  std::array<quarn::gfx::Matrix, kDepth> locals;
  for (int i = 0; i < kDepth; ++i) {
    if (i > 0)
      chain[i].SetParent(&chain[i - 1]);
    chain[i].SetPosition({1.0f * i, 2.0f, -0.5f * i});
    chain[i].RotateX(quarn::CombineMode::LocalAxes, 0.1f * i);
    locals[i] = chain[i].GetLocalMatrix();
  }
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    timer.TimeWork([&] {
      for (int n = 0; n < kRebuilds; ++n) {
        chain[0].RotateY(quarn::CombineMode::LocalAxes, kTurn);
        benchmark::DoNotOptimize(chain[kDepth - 1].GetWorldMatrix());
      }
    });
    timer.TimeBaseline([&] {
      for (int n = 0; n < kRebuilds; ++n) {
        locals[0] = quarn::gfx::MatrixRotationAxis({0, 1, 0}, kTurn) * locals[0];
        quarn::gfx::Matrix world = locals[0];
        for (int i = 1; i < kDepth; ++i)
          world = locals[i] * world;
        benchmark::DoNotOptimize(world);
      }
    });
  }
  const double rebuilds = static_cast<double>(kRebuilds) * state.iterations();
  state.counters["rebuild_ns"] = timer.WorkSeconds() * 1e9 / rebuilds;
  state.counters["plain_matrices_ns"] = timer.BaselineSeconds() * 1e9 / rebuilds;
  state.counters["rebuild_to_plain_ratio"] = timer.Ratio();
}
BENCHMARK(BM_TransformWorldRebuild)->Unit(benchmark::kMillisecond);

// Work: 10,000 world-to-local point conversions at the leaf of the same chain with the
// world matrices cached (each conversion inverts the leaf's world matrix), against 10,000
// plain inversions of that matrix.
void BM_TransformWorldToLocal(benchmark::State& state) {
  std::array<quarn::Transform, kDepth> chain;
  for (int i = 0; i < kDepth; ++i) {
    if (i > 0)
      chain[i].SetParent(&chain[i - 1]);
    chain[i].SetPosition({1.0f * i, 2.0f, -0.5f * i});
    chain[i].RotateZ(quarn::CombineMode::LocalAxes, 0.2f * i);
  }
  const quarn::gfx::Matrix world = chain[kDepth - 1].GetWorldMatrix();
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    timer.TimeWork([&] {
      for (int n = 0; n < kRebuilds; ++n) {
        benchmark::DoNotOptimize(chain[kDepth - 1].WorldToLocalPoint({1.0f * n, 2, 3}));
      }
    });
    timer.TimeBaseline([&] {
      for (int n = 0; n < kRebuilds; ++n) {
        quarn::gfx::Matrix inverse;
        benchmark::DoNotOptimize(quarn::gfx::MatrixInverse(&inverse, nullptr, world));
        benchmark::DoNotOptimize(inverse);
      }
    });
  }
  const double conversions = static_cast<double>(kRebuilds) * state.iterations();
  state.counters["conversion_ns"] = timer.WorkSeconds() * 1e9 / conversions;
  state.counters["inverse_ns"] = timer.BaselineSeconds() * 1e9 / conversions;
  state.counters["conversion_to_inverse_ratio"] = timer.Ratio();
}
BENCHMARK(BM_TransformWorldToLocal)->Unit(benchmark::kMillisecond);

}  // namespace
