#pragma once
// The device states particles and trails draw with, for the life of one emitter's or trail's
// draw: vertices are given in camera space (world and view transforms identity), unlit, both
// faces shown, blended over (or added to) what is behind, the texture modulated by the vertex
// colour. At the end lighting, back-face culling and the view come back; the world transform
// stays identity and the blend and texture-stage settings stay set, as the drawables after
// this one expect.
#include "gfxutil/Matrix.h"
#include "platform/RenderDevice.h"

namespace quarn {

class EffectDrawScope {
 public:
  EffectDrawScope(platform::RenderDevice& device, bool additiveBlend, platform::Texture* texture);
  ~EffectDrawScope();
  EffectDrawScope(const EffectDrawScope&) = delete;
  EffectDrawScope& operator=(const EffectDrawScope&) = delete;

  // The view matrix in force before the scope: world to camera space for the vertices.
  const gfx::Matrix& View() const { return view_; }

 private:
  platform::RenderDevice& device_;
  gfx::Matrix view_;
};

}  // namespace quarn
