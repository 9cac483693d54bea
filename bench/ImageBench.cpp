// Work: turn an image file held in memory into the levels of its texture (decode, then the
// full mip chain), for a 1024 x 1024 RGBA PNG of typical texture content (smooth shading
// with fine noise, deflate level 6) and for a 1024 x 1024 DXT5 DDS of random blocks. In the
// same run, a plain copy of the decoded pixels is timed as the baseline. Reports MB/s of
// decoded pixels (4 bytes each, top level) and the ratio to the copy.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <random>
#include <vector>

#include "BenchTiming.h"
#include "gfxutil/ImageDecoder.h"
#include "gfxutil/TextureCreation.h"

namespace {

constexpr uint32_t kSide = 1024;

std::vector<uint8_t> MakeTypicalPng() {
  std::mt19937 random(7);
  std::vector<uint8_t> rgba(size_t{kSide} * kSide * 4);
  for (uint32_t y = 0; y < kSide; ++y) {
    for (uint32_t x = 0; x < kSide; ++x) {
      uint8_t* p = &rgba[(size_t{y} * kSide + x) * 4];
      const uint32_t noise = random() % 8;
      p[0] = static_cast<uint8_t>(x / 4 + noise);
      p[1] = static_cast<uint8_t>(y / 4 + noise);
      p[2] = static_cast<uint8_t>((x + y) / 8);
      p[3] = static_cast<uint8_t>(x < 512 ? 255 : 128 + noise);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = kSide;
  image.height = kSide;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  std::vector<uint8_t> file(size);
  png_image_write_to_memory(&image, file.data(), &size, 0, rgba.data(), 0, nullptr);
  file.resize(size);
  return file;
}

std::vector<uint8_t> MakeDxt5Dds() {
  std::vector<uint8_t> file(128 + size_t{kSide / 4} * (kSide / 4) * 16);
  const auto put = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
  std::memcpy(file.data(), "DDS ", 4);
  put(4, 124);
  put(8, 0x81007);
  put(12, kSide);
  put(16, kSide);
  put(76, 32);
  put(80, 0x4);
  std::memcpy(&file[84], "DXT5", 4);
  std::mt19937 random(11);
  for (size_t i = 128; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(random());
  return file;
}

void BenchTextureFromBytes(benchmark::State& state, const std::vector<uint8_t>& file) {
  quarn::bench::SplitTimer timer;
  std::vector<quarn::platform::Argb> copy(size_t{kSide} * kSide);
  for (auto _ : state) {
    std::vector<quarn::gfx::Image> levels;
    timer.TimeWork([&] {
      quarn::gfx::Image image;
      std::string reason;
      if (!quarn::gfx::ImageDecoder::Decode(file, &image, &reason)) {
        state.SkipWithError(reason.c_str());
        return;
      }
      const auto plan = quarn::gfx::TexturePlan::For(image, kSide, kSide);
      levels = quarn::gfx::BuildTextureLevels(std::move(image), plan);
      benchmark::DoNotOptimize(levels.back().pixels.data());
    });
    if (levels.empty())
      break;
    timer.TimeBaseline([&] {
      std::memcpy(copy.data(), levels.front().pixels.data(), copy.size() * 4);
      benchmark::DoNotOptimize(copy.data());
    });
  }
  const double megabytes = kSide * kSide * 4.0 * static_cast<double>(state.iterations()) / 1e6;
  state.counters["texture_MB_per_s"] = megabytes / timer.WorkSeconds();
  state.counters["copy_MB_per_s"] = megabytes / timer.BaselineSeconds();
  state.counters["texture_to_copy_ratio"] = timer.Ratio();
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

void BM_PngTexture1024(benchmark::State& state) {
  static const std::vector<uint8_t> file = MakeTypicalPng();
  BenchTextureFromBytes(state, file);
}
BENCHMARK(BM_PngTexture1024)->Unit(benchmark::kMillisecond);

void BM_Dxt5Texture1024(benchmark::State& state) {
  static const std::vector<uint8_t> file = MakeDxt5Dds();
  BenchTextureFromBytes(state, file);
}
BENCHMARK(BM_Dxt5Texture1024)->Unit(benchmark::kMillisecond);

}  // namespace
