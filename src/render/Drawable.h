#pragma once
// A scene object as the render manager draws it: once in the opaque pass and once in the
// translucent pass of every frame. Everything placed in a stage implements it; the manager
// lists drawables without owning them.
namespace quarn {

class ViewCamera;

class Drawable {
 public:
  virtual ~Drawable() = default;
  // Whether the object has something to draw in this pass (alphaPass: the translucent one)
  // that the camera may see; false skips the pass's draw for this frame.
  virtual bool Cull(ViewCamera& camera, bool alphaPass) = 0;
  // The opaque part, drawn with the device's usual states; false when nothing was drawn.
  virtual bool DrawNormal() = 0;
  // The translucent part, drawn with alpha blending on and depth writes off. Blend factors
  // set here stay set for the drawables after this one.
  virtual bool DrawAlpha() = 0;

 protected:
  Drawable() = default;
  Drawable(const Drawable&) = default;
  Drawable& operator=(const Drawable&) = default;
};

}  // namespace quarn
