#pragma once
// One colour channel of a packed pixel described by a bit mask (BMP bit fields, DDS pixel
// formats): extracts the channel and widens it to 8 bits, so that a full 5-bit value
// becomes 255 rather than 248.
#include <cstdint>

namespace quarn::gfx {

class ColorMask {
 public:
  ColorMask() = default;
  explicit ColorMask(uint32_t mask);

  bool Empty() const { return bits_ == 0; }
  uint32_t Mask() const { return mask_; }
  // Bits of the channel (its lowest set bit to its highest, gaps included).
  uint32_t Bits() const { return bits_; }
  // The channel of a pixel as 0..255; 0 for an empty mask.
  uint8_t Extract(uint32_t pixel) const;

 private:
  uint32_t mask_ = 0;
  uint32_t shift_ = 0;
  uint32_t bits_ = 0;
};

}  // namespace quarn::gfx
