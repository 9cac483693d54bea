#pragma once
// What is drawn over the finished 3D picture, last of a frame: the stage's HUD. It draws on
// the fixed 640 x 480 screen with blending and depth writes back to their usual states.
namespace quarn {

class Overlay {
 public:
  virtual ~Overlay() = default;
  virtual bool Draw() = 0;

 protected:
  Overlay() = default;
  Overlay(const Overlay&) = default;
  Overlay& operator=(const Overlay&) = default;
};

}  // namespace quarn
