#include "game/LabGrid.h"

#include <vector>

#include "render/DeviceOrCurrent.h"

namespace quarn {

namespace {
struct LineVertex {
  float x, y, z;
  platform::Argb colour;
};
}  // namespace

bool LabGrid::Draw() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr || !(spacing_ > 0.0f))
    return false;
  using platform::RenderState;
  std::vector<LineVertex> lines;
  const int steps = static_cast<int>(half_ / spacing_);
  for (int i = -steps; i <= steps; ++i) {
    const float at = static_cast<float>(i) * spacing_;
    // Every fifth line brighter, the axes brightest.
    const platform::Argb colour = i == 0 ? 0xFFB0B8C8u : (i % 5 == 0 ? 0xFF6A7280u : 0xFF454B56u);
    lines.push_back({at, y_, -half_, colour});
    lines.push_back({at, y_, half_, colour});
    lines.push_back({-half_, y_, at, colour});
    lines.push_back({half_, y_, at, colour});
  }
  device->SetTransform(platform::TransformState::World, platform::Matrix4{});
  device->SetRenderState(RenderState::Lighting, 0u);
  device->SetRenderState(RenderState::ZWriteEnable, 0u);
  device->SetRenderState(RenderState::FogEnable, 0u);
  device->SetTexture(0, nullptr);
  device->SetFvf(platform::kFvfXyz | platform::kFvfDiffuse);
  device->DrawPrimitiveUP(platform::PrimitiveType::LineList,
                          static_cast<uint32_t>(lines.size() / 2), lines.data(),
                          sizeof(LineVertex));
  device->SetRenderState(RenderState::ZWriteEnable, 1u);
  device->SetRenderState(RenderState::Lighting, 1u);
  return true;
}

}  // namespace quarn
