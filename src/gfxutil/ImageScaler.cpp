#include "gfxutil/ImageScaler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace quarn::gfx {

namespace {

struct Tap {
  uint32_t index;
  float weight;
};

// For every destination position along one axis, the source positions it draws from.
std::vector<std::vector<Tap>> AxisTaps(uint32_t source, uint32_t destination) {
  std::vector<std::vector<Tap>> taps(destination);
  const double ratio = static_cast<double>(source) / destination;
  for (uint32_t i = 0; i < destination; ++i) {
    if (destination >= source) {
      // Bilinear between the two nearest source centres, clamped at the edges.
      const double centre = (i + 0.5) * ratio - 0.5;
      const double floor = std::floor(centre);
      const auto fraction = static_cast<float>(centre - floor);
      const auto clampIndex = [&](double at) {
        return static_cast<uint32_t>(std::clamp(at, 0.0, static_cast<double>(source - 1)));
      };
      taps[i].push_back({clampIndex(floor), 1.0f - fraction});
      if (fraction > 0)
        taps[i].push_back({clampIndex(floor + 1), fraction});
    } else {
      // Every source pixel the destination pixel covers, weighted by the covered part.
      const double start = i * ratio;
      const double end = (i + 1) * ratio;
      const auto first = static_cast<uint32_t>(start);
      const auto last = std::min(static_cast<uint32_t>(std::ceil(end)), source);
      for (uint32_t j = first; j < last; ++j) {
        const double overlap = std::min<double>(j + 1, end) - std::max<double>(j, start);
        if (overlap > 0)
          taps[i].push_back({j, static_cast<float>(overlap / ratio)});
      }
    }
  }
  return taps;
}

uint32_t Channel(float value) {
  return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

Image ImageScaler::Scale(const Image& source, uint32_t width, uint32_t height) {
  if (width == source.width && height == source.height)
    return source;
  Image out;
  out.fileType = source.fileType;
  out.format = source.format;
  out.hasAlpha = source.hasAlpha;
  out.width = width;
  out.height = height;
  out.pixels.assign(size_t{width} * height, 0u);
  if (source.pixels.empty())
    return out;  // nothing to sample: transparent black
  const auto columns = AxisTaps(source.width, width);
  const auto rows = AxisTaps(source.height, height);
  // One destination row at a time: blend the source rows it needs, then the columns.
  std::vector<std::array<float, 4>> blended(source.width);
  for (uint32_t y = 0; y < height; ++y) {
    std::fill(blended.begin(), blended.end(), std::array<float, 4>{});
    for (const Tap& row : rows[y]) {
      for (uint32_t x = 0; x < source.width; ++x) {
        const platform::Argb p = source.At(x, row.index);
        for (int c = 0; c < 4; ++c)
          blended[x][c] += row.weight * ((p >> (8 * c)) & 0xFF);
      }
    }
    for (uint32_t x = 0; x < width; ++x) {
      std::array<float, 4> sum{};
      for (const Tap& column : columns[x]) {
        for (int c = 0; c < 4; ++c)
          sum[c] += column.weight * blended[column.index][c];
      }
      out.At(x, y) =
          Channel(sum[0]) | Channel(sum[1]) << 8 | Channel(sum[2]) << 16 | Channel(sum[3]) << 24;
    }
  }
  return out;
}

}  // namespace quarn::gfx
