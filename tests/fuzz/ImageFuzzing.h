#pragma once
// The body of every image fuzz target: decode with one decoder; a picture that comes out
// must be whole, and small ones also go through scaling and the mip chain.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "gfxutil/Image.h"
#include "gfxutil/TextureCreation.h"
#include "gfxutil/TexturePlan.h"

namespace quarn::fuzzing {

template <class Decoder>
int FuzzImageDecoder(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  (void)Decoder::Recognises(bytes);
  gfx::Image image;
  std::string reason;
  if (!Decoder::Decode(bytes, &image, &reason)) {
    if (reason.empty())
      std::abort();  // every refusal says why
    return 0;
  }
  if (image.width == 0 || image.height == 0 ||
      image.pixels.size() != size_t{image.width} * image.height) {
    std::abort();
  }
  // Small pictures only: scaling is the same arithmetic at any size, and slow when traced.
  if (image.pixels.size() <= 64 * 64) {
    const auto plan = gfx::TexturePlan::For(image, 128, 128);
    const auto levels = gfx::BuildTextureLevels(image, plan);
    if (levels.size() != plan.levels || levels.back().pixels.size() != 1)
      std::abort();
  }
  return 0;
}

}  // namespace quarn::fuzzing
