#include "gfxutil/TexturePlan.h"

#include <algorithm>
#include <bit>

namespace quarn::gfx {

uint32_t RoundUpToPowerOfTwo(uint32_t value) {
  if (value > (1u << 31))
    return 1u << 31;
  return std::bit_ceil(std::max(value, 1u));
}

uint32_t TextureSide(uint32_t side, uint32_t limit) {
  const uint32_t rounded = RoundUpToPowerOfTwo(side);
  return rounded <= limit ? rounded : std::bit_floor(std::max(limit, 1u));
}

uint32_t FullMipLevels(uint32_t width, uint32_t height) {
  return static_cast<uint32_t>(std::bit_width(std::max({width, height, 1u})));
}

TexturePlan TexturePlan::For(const Image& image, uint32_t maxWidth, uint32_t maxHeight) {
  TexturePlan plan;
  plan.width = TextureSide(image.width, maxWidth);
  plan.height = TextureSide(image.height, maxHeight);
  plan.levels = FullMipLevels(plan.width, plan.height);
  plan.format = image.format;
  return plan;
}

}  // namespace quarn::gfx
