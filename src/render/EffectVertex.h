#pragma once
// The vertex particles and trails are drawn with: a camera-space position, a packed colour and
// texture coordinates (XYZ | DIFFUSE | TEX1, 24 bytes).
#include <cstdint>

#include "platform/RenderDevice.h"

namespace quarn {

// Left without initialisers so that the draw arrays of thousands of vertices cost nothing
// until they are filled.
struct EffectVertex {
  float x, y, z;
  platform::Argb colour;
  float u, v;

  static constexpr uint32_t kFvf = platform::kFvfXyz | platform::kFvfDiffuse | platform::kFvfTex1;
  // A channel of 0..1 as a byte, cut down (not rounded); outside 0..1 (and NaN) clamped.
  static uint32_t ChannelByte(float channel) {
    if (!(channel > 0.0f))
      return 0;
    if (channel >= 1.0f)
      return 255;
    return static_cast<uint32_t>(channel * 255.0f);
  }
  static platform::Argb Pack(const platform::ColorValue& colour) {
    return platform::MakeArgb(ChannelByte(colour.a), ChannelByte(colour.r), ChannelByte(colour.g),
                              ChannelByte(colour.b));
  }
};
static_assert(sizeof(EffectVertex) == 24);

}  // namespace quarn
