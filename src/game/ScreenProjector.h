#pragma once
// World points onto the 640 x 480 screen through the view, projection and viewport the device
// held when they were captured: the 3D pass of a frame sets them, the HUD reads them after it.
#include "gfxutil/Matrix.h"
#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"
#include "render/ScreenPoint.h"

namespace quarn::platform {
class RenderDevice;
}

namespace quarn {

class ScreenProjector {
 public:
  struct Point {
    float x = 0;
    float y = 0;
    float depth = 2.0f;

    // In front of the far plane and not behind the eye (NaN is never usable).
    bool Usable() const { return depth < 1.0f; }
    // Strictly inside the screen rectangle.
    bool OnScreen() const { return x > 0.0f && x < 640.0f && y > 0.0f && y < 480.0f; }
    // Whole pixels, clamped far off screen so that no conversion overflows.
    ScreenPoint Pixel() const;
  };

  // Copies the device's viewport, projection and view; false (everything unusable) when a
  // matrix cannot be read.
  bool Capture(const platform::RenderDevice& device);
  void Set(const platform::Viewport& viewport, const gfx::Matrix& projection,
           const gfx::Matrix& view);

  // As the graphics library projects: (v x view x projection) / w onto the viewport, depth
  // on the viewport's depth range.
  Point Project(const gfx::Vector3& world) const;
  gfx::Vector3 ToCamera(const gfx::Vector3& world) const;

 private:
  platform::Viewport viewport_;
  gfx::Matrix view_;
  gfx::Matrix viewProjection_;
  bool valid_ = false;
};

// A pixel coordinate from a float: truncated toward zero, NaN and far values held at +-1e6.
int TruncatePixel(float value);

}  // namespace quarn
