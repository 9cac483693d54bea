#include "render/RenderManager.h"

#include "render/DeviceOrCurrent.h"
#include "render/Drawable.h"
#include "render/GroundDrawer.h"
#include "render/Overlay.h"
#include "render/SkyDrawer.h"
#include "render/ViewCamera.h"

namespace quarn {

using platform::RenderState;

bool RenderManager::AddDrawable(Drawable* drawable) {
  return drawables_.Add(drawable);
}

bool RenderManager::RemoveDrawable(Drawable* drawable) {
  return drawables_.Remove(drawable);
}

bool RenderManager::Render() {
  platform::RenderDevice* device = DeviceOrCurrent(device_);
  if (camera_ != nullptr)
    camera_->ApplyView();
  if (sky_ != nullptr)
    sky_->Draw();
  if (ground_ != nullptr)
    ground_->DrawNormal();
  DrawPass(false);

  SetTranslucentStates(device);
  if (ground_ != nullptr)
    ground_->DrawAlpha();
  // Unsorted; blend factors a drawable sets stay for the ones after it.
  DrawPass(true);
  RestoreOpaqueStates(device);

  if (hud_ != nullptr)
    hud_->Draw();
  return true;
}

void RenderManager::DrawPass(bool alphaPass) {
  // By index, without a copy: a drawable may leave the list while it draws, and the one
  // that moves into its place must still get its turn.
  for (size_t i = 0; i < drawables_.Size();) {
    Drawable* drawable = drawables_[i];
    if (camera_ == nullptr || drawable->Cull(*camera_, alphaPass)) {
      if (alphaPass)
        drawable->DrawAlpha();
      else
        drawable->DrawNormal();
    }
    if (i < drawables_.Size() && drawables_[i] == drawable)
      ++i;
  }
}

void RenderManager::SetTranslucentStates(platform::RenderDevice* device) {
  if (device == nullptr)
    return;
  device->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device->SetRenderState(RenderState::SrcBlend, platform::Blend::SrcAlpha);
  device->SetRenderState(RenderState::DestBlend, platform::Blend::InvSrcAlpha);
  // Translucent objects must not hide what is drawn after them in the same pass.
  device->SetRenderState(RenderState::ZWriteEnable, 0u);
}

void RenderManager::RestoreOpaqueStates(platform::RenderDevice* device) {
  if (device == nullptr)
    return;
  device->SetRenderState(RenderState::AlphaBlendEnable, 0u);
  device->SetRenderState(RenderState::ZWriteEnable, 1u);
}

}  // namespace quarn
