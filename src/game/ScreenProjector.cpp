#include "game/ScreenProjector.h"

#include <cmath>

#include "platform/RenderDevice.h"

namespace quarn {

int TruncatePixel(float value) {
  constexpr float kFar = 1.0e6f;
  if (!(value > -kFar))
    return -static_cast<int>(kFar);
  if (!(value < kFar))
    return static_cast<int>(kFar);
  return static_cast<int>(value);
}

ScreenPoint ScreenProjector::Point::Pixel() const {
  return {TruncatePixel(x), TruncatePixel(y)};
}

bool ScreenProjector::Capture(const platform::RenderDevice& device) {
  platform::Matrix4 projection, view;
  valid_ = device.GetTransform(platform::TransformState::Projection, &projection) &&
           device.GetTransform(platform::TransformState::View, &view);
  if (valid_)
    Set(device.GetViewport(), projection, view);
  return valid_;
}

void ScreenProjector::Set(const platform::Viewport& viewport, const gfx::Matrix& projection,
                          const gfx::Matrix& view) {
  viewport_ = viewport;
  view_ = view;
  viewProjection_ = gfx::MatrixMultiply(view, projection);
  valid_ = true;
}

ScreenProjector::Point ScreenProjector::Project(const gfx::Vector3& world) const {
  Point point;
  if (!valid_)
    return point;
  const gfx::Vector4 clip = gfx::Vec3Transform(world, viewProjection_);
  if (clip.w == 0.0f)
    return point;  // on the eye plane: nowhere on screen
  const float width = static_cast<float>(viewport_.width);
  const float height = static_cast<float>(viewport_.height);
  point.x = static_cast<float>(viewport_.x) + (1.0f + clip.x / clip.w) * width * 0.5f;
  point.y = static_cast<float>(viewport_.y) + (1.0f - clip.y / clip.w) * height * 0.5f;
  point.depth = viewport_.minZ + clip.z / clip.w * (viewport_.maxZ - viewport_.minZ);
  return point;
}

gfx::Vector3 ScreenProjector::ToCamera(const gfx::Vector3& world) const {
  return gfx::Vec3TransformCoord(world, view_);
}

}  // namespace quarn
