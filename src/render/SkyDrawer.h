#pragma once
// The sky, as the render manager draws it: first of everything in a frame, around the camera
// and behind all else (it switches depth, lighting and fog off around its own mesh).
namespace quarn {

class SkyDrawer {
 public:
  virtual ~SkyDrawer() = default;
  virtual bool Draw() = 0;

 protected:
  SkyDrawer() = default;
  SkyDrawer(const SkyDrawer&) = default;
  SkyDrawer& operator=(const SkyDrawer&) = default;
};

}  // namespace quarn
