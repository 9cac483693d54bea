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
  // A world point in camera space: (p, 1) x view, as gfx::Vec3Transform adds it up, inline
  // because it runs for every particle and trail point of a frame.
  gfx::Vector3 ToCamera(const gfx::Vector3& p) const {
    const auto& a = view_.m;
    return {p.x * a[0][0] + p.y * a[1][0] + p.z * a[2][0] + a[3][0],
            p.x * a[0][1] + p.y * a[1][1] + p.z * a[2][1] + a[3][1],
            p.x * a[0][2] + p.y * a[1][2] + p.z * a[2][2] + a[3][2]};
  }

 private:
  platform::RenderDevice& device_;
  gfx::Matrix view_;
};

}  // namespace quarn
