#include "gfxutil/MipChain.h"

#include <algorithm>

#include "gfxutil/TexturePlan.h"

namespace quarn::gfx {

Image MipChain::HalfSize(const Image& image) {
  Image half;
  half.fileType = image.fileType;
  half.format = image.format;
  half.hasAlpha = image.hasAlpha;
  half.width = std::max(1u, image.width / 2);
  half.height = std::max(1u, image.height / 2);
  half.pixels.resize(size_t{half.width} * half.height);
  // An odd or single last row or column is taken twice rather than read past.
  const uint32_t lastX = image.width - 1;
  const uint32_t lastY = image.height - 1;
  for (uint32_t y = 0; y < half.height; ++y) {
    const uint32_t y0 = std::min(2 * y, lastY);
    const uint32_t y1 = std::min(2 * y + 1, lastY);
    for (uint32_t x = 0; x < half.width; ++x) {
      const uint32_t x0 = std::min(2 * x, lastX);
      const uint32_t x1 = std::min(2 * x + 1, lastX);
      const platform::Argb a = image.At(x0, y0);
      const platform::Argb b = image.At(x1, y0);
      const platform::Argb c = image.At(x0, y1);
      const platform::Argb d = image.At(x1, y1);
      platform::Argb result = 0;
      for (uint32_t shift = 0; shift < 32; shift += 8) {
        const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) +
                             ((d >> shift) & 0xFF);
        result |= ((sum + 2) / 4) << shift;
      }
      half.At(x, y) = result;
    }
  }
  return half;
}

std::vector<Image> MipChain::Build(Image top, uint32_t levels) {
  if (top.pixels.empty())
    return {std::move(top)};
  const uint32_t full = FullMipLevels(top.width, top.height);
  levels = levels == 0 ? full : std::min(levels, full);
  std::vector<Image> chain;
  chain.reserve(levels);
  chain.push_back(std::move(top));
  while (chain.size() < levels)
    chain.push_back(HalfSize(chain.back()));
  return chain;
}

}  // namespace quarn::gfx
