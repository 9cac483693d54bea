#include "gfxutil/ColorMask.h"

#include <bit>

namespace quarn::gfx {

ColorMask::ColorMask(uint32_t mask) : mask_(mask) {
  if (mask == 0)
    return;
  shift_ = static_cast<uint32_t>(std::countr_zero(mask));
  bits_ = 32 - static_cast<uint32_t>(std::countl_zero(mask)) - shift_;
}

uint8_t ColorMask::Extract(uint32_t pixel) const {
  if (bits_ == 0)
    return 0;
  const uint64_t value = (pixel & mask_) >> shift_;
  const uint64_t maximum = (uint64_t{1} << bits_) - 1;
  return static_cast<uint8_t>((value * 255 + maximum / 2) / maximum);
}

}  // namespace quarn::gfx
