#include "gfxutil/DxtBlockDecoder.h"

#include "gfxutil/Image.h"

namespace quarn::gfx {

namespace {

struct Rgb {
  uint32_t r, g, b;
};

Rgb Expand565(uint32_t c) {
  const uint32_t r = (c >> 11) & 31;
  const uint32_t g = (c >> 5) & 63;
  const uint32_t b = c & 31;
  return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

// (weightA x a + weightB x b) / (weightA + weightB), rounded to nearest.
uint32_t Mix(uint32_t a, uint32_t weightA, uint32_t b, uint32_t weightB) {
  const uint32_t total = weightA + weightB;
  return (a * weightA + b * weightB + total / 2) / total;
}

platform::Argb Opaque(const Rgb& c) {
  return platform::MakeArgb(255, c.r, c.g, c.b);
}

platform::Argb MixColor(const Rgb& a, uint32_t weightA, const Rgb& b, uint32_t weightB) {
  return platform::MakeArgb(255, Mix(a.r, weightA, b.r, weightB), Mix(a.g, weightA, b.g, weightB),
                            Mix(a.b, weightA, b.b, weightB));
}

uint32_t Le16(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}
uint32_t Le32(const uint8_t* p) {
  return Le16(p) | Le16(p + 2) << 16;
}

}  // namespace

uint32_t DxtBlockDecoder::BlockBytes(platform::Format format) {
  switch (format) {
    case platform::Format::Dxt1:
      return 8;
    case platform::Format::Dxt3:
    case platform::Format::Dxt5:
      return 16;
    default:
      return 0;
  }
}

uint64_t DxtBlockDecoder::SurfaceBytes(platform::Format format, uint32_t width, uint32_t height) {
  return uint64_t{(width + 3u) / 4} * ((height + 3u) / 4) * BlockBytes(format);
}

DxtBlockDecoder::Block DxtBlockDecoder::DecodeColor(const uint8_t* block, bool allowTransparent) {
  const uint32_t c0 = Le16(block);
  const uint32_t c1 = Le16(block + 2);
  const Rgb e0 = Expand565(c0);
  const Rgb e1 = Expand565(c1);
  std::array<platform::Argb, 4> palette;
  palette[0] = Opaque(e0);
  palette[1] = Opaque(e1);
  if (c0 > c1 || !allowTransparent) {
    palette[2] = MixColor(e0, 2, e1, 1);
    palette[3] = MixColor(e0, 1, e1, 2);
  } else {
    palette[2] = MixColor(e0, 1, e1, 1);
    palette[3] = 0;  // transparent black
  }
  const uint32_t indices = Le32(block + 4);
  Block pixels;
  for (uint32_t i = 0; i < 16; ++i)
    pixels[i] = palette[(indices >> (2 * i)) & 3];
  return pixels;
}

void DxtBlockDecoder::DecodeExplicitAlpha(const uint8_t* block, Block* pixels) {
  for (uint32_t i = 0; i < 16; ++i) {
    const uint32_t nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
    (*pixels)[i] = ((*pixels)[i] & 0x00FFFFFFu) | (nibble * 17) << 24;
  }
}

void DxtBlockDecoder::DecodeInterpolatedAlpha(const uint8_t* block, Block* pixels) {
  const uint32_t a0 = block[0];
  const uint32_t a1 = block[1];
  std::array<uint32_t, 8> alphas{a0, a1};
  if (a0 > a1) {
    for (uint32_t i = 2; i < 8; ++i)
      alphas[i] = Mix(a0, 8 - i, a1, i - 1);
  } else {
    for (uint32_t i = 2; i < 6; ++i)
      alphas[i] = Mix(a0, 6 - i, a1, i - 1);
    alphas[6] = 0;
    alphas[7] = 255;
  }
  uint64_t indices = 0;
  for (uint32_t i = 0; i < 6; ++i)
    indices |= uint64_t{block[2 + i]} << (8 * i);
  for (uint32_t i = 0; i < 16; ++i) {
    const uint32_t alpha = alphas[(indices >> (3 * i)) & 7];
    (*pixels)[i] = ((*pixels)[i] & 0x00FFFFFFu) | alpha << 24;
  }
}

void DxtBlockDecoder::DecodeSurface(platform::Format format, std::span<const uint8_t> data,
                                    Image* image) {
  const uint32_t blockBytes = BlockBytes(format);
  const uint32_t blocksWide = (image->width + 3) / 4;
  const uint32_t blocksHigh = (image->height + 3) / 4;
  for (uint32_t by = 0; by < blocksHigh; ++by) {
    for (uint32_t bx = 0; bx < blocksWide; ++bx) {
      const uint8_t* block = data.data() + (size_t{by} * blocksWide + bx) * blockBytes;
      Block pixels;
      if (format == platform::Format::Dxt1) {
        pixels = DecodeColor(block, true);
      } else {
        pixels = DecodeColor(block + 8, false);
        if (format == platform::Format::Dxt3) {
          DecodeExplicitAlpha(block, &pixels);
        } else {
          DecodeInterpolatedAlpha(block, &pixels);
        }
      }
      // Blocks at the right and bottom edges may reach past the picture.
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = bx * 4 + i % 4;
        const uint32_t y = by * 4 + i / 4;
        if (x < image->width && y < image->height)
          image->At(x, y) = pixels[i];
      }
    }
  }
}

}  // namespace quarn::gfx
