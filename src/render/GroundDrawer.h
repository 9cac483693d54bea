#pragma once
// The stage's ground, as the render manager draws it: its opaque part first of the opaque
// pass, its translucent part first of the translucent pass (with the blend states set).
namespace quarn {

class GroundDrawer {
 public:
  virtual ~GroundDrawer() = default;
  virtual bool DrawNormal() = 0;
  virtual bool DrawAlpha() = 0;

 protected:
  GroundDrawer() = default;
  GroundDrawer(const GroundDrawer&) = default;
  GroundDrawer& operator=(const GroundDrawer&) = default;
};

}  // namespace quarn
