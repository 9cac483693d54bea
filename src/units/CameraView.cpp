#include "units/CameraView.h"

#include "render/DeviceOrCurrent.h"
#include "render/Transform.h"

namespace quarn {

gfx::Matrix CameraView::Projection() {
  return gfx::MatrixPerspectiveFovLH(kFieldOfView, kAspect, kNear, kFar);
}

void CameraView::BuildFrustum(const gfx::Matrix& view) {
  gfx::Matrix inverse;
  if (!gfx::MatrixInverse(&inverse, nullptr, gfx::MatrixMultiply(view, Projection())))
    return;
  const gfx::Vector3 clip[8] = {{-1, -1, 0}, {1, -1, 0}, {-1, 1, 0}, {1, 1, 0},
                                {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}};
  gfx::Vector3 c[8];
  for (int i = 0; i < 8; ++i)
    c[i] = gfx::Vec3TransformCoord(clip[i], inverse);
  planes_[0] = gfx::PlaneFromPoints(c[0], c[1], c[2]);  // near
  planes_[1] = gfx::PlaneFromPoints(c[6], c[7], c[5]);  // far
  planes_[2] = gfx::PlaneFromPoints(c[2], c[6], c[4]);  // left
  planes_[3] = gfx::PlaneFromPoints(c[7], c[3], c[5]);  // right
  planes_[4] = gfx::PlaneFromPoints(c[2], c[3], c[6]);  // top
  planes_[5] = gfx::PlaneFromPoints(c[1], c[0], c[4]);  // bottom
}

bool CameraView::Apply() {
  platform::RenderDevice* device = DeviceOrCurrent(device_);
  if (device == nullptr || frame_ == nullptr)
    return false;
  const gfx::Matrix view = frame_->GetInverseWorldMatrix();
  if (!device->SetTransform(platform::TransformState::View, view))
    return false;
  if (!device->SetTransform(platform::TransformState::Projection, Projection()))
    return false;
  BuildFrustum(view);
  return true;
}

bool CameraView::TestBox(const BoxCorners& corners) const {
  // Outside flags per corner, one bit per plane.
  unsigned common = 0x3F;
  for (const gfx::Vector3& point : corners) {
    unsigned outside = 0;
    for (size_t p = 0; p < planes_.size(); ++p) {
      if (gfx::PlaneDotCoord(planes_[p], point) < 0.0f)
        outside |= 1u << p;
    }
    if (outside == 0)
      return true;  // a corner inside every plane
    common &= outside;
  }
  return common == 0;
}

}  // namespace quarn
