#pragma once
// The view of a camera: the frame it looks from, the device's view and projection set from
// it, and the six planes of its frustum (near, far, left, right, top, bottom) for culling.
#include <array>

#include "gfxutil/Matrix.h"
#include "gfxutil/Plane.h"
#include "platform/RenderDevice.h"
#include "render/BoxCorners.h"

namespace quarn {

class Transform;

class CameraView {
 public:
  static constexpr float kFieldOfView = 0.7853982f;  // vertical, radians
  static constexpr float kAspect = 1.3333334f;
  static constexpr float kNear = 1.0f;
  static constexpr float kFar = 8000.0f;

  // device: where the view is set; null: the process's graphics device.
  explicit CameraView(platform::RenderDevice* device = nullptr) : device_(device) {}

  void SetFrame(const Transform* frame) { frame_ = frame; }
  const Transform* Frame() const { return frame_; }
  // Sets view and projection and rebuilds the planes; false without a device or a frame, or
  // when the device refuses a transform.
  bool Apply();
  // Rebuilds the planes for a view matrix (world to camera) and the fixed projection.
  void BuildFrustum(const gfx::Matrix& view);
  // Hidden only when all eight corners lie outside one and the same plane.
  bool TestBox(const BoxCorners& corners) const;
  const std::array<gfx::Plane, 6>& Planes() const { return planes_; }
  static gfx::Matrix Projection();

 private:
  platform::RenderDevice* device_;
  const Transform* frame_ = nullptr;
  std::array<gfx::Plane, 6> planes_{};
};

}  // namespace quarn
