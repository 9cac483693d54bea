#pragma once
// Draws one frame of a stage in a fixed order: the camera's view, the sky, the ground's
// opaque part, every drawable's opaque part, then with alpha blending on and depth writes off
// the ground's translucent part and every drawable's translucent part, then the HUD. The
// manager lists what it draws and owns none of it.
#include <vector>

#include "platform/RenderDevice.h"
#include "render/ObjectList.h"

namespace quarn {

class Drawable;
class GroundDrawer;
class Overlay;
class SkyDrawer;
class ViewCamera;

class RenderManager {
 public:
  // device: where the pass states are set; null: the process's graphics device.
  explicit RenderManager(platform::RenderDevice* device = nullptr) : device_(device) {}
  RenderManager(const RenderManager&) = delete;
  RenderManager& operator=(const RenderManager&) = delete;

  // Appends a drawable; false for null or one already listed.
  bool AddDrawable(Drawable* drawable);
  // Removes it, keeping the order of the rest; false when it is not listed.
  bool RemoveDrawable(Drawable* drawable);
  const std::vector<Drawable*>& GetDrawables() const { return drawables_.Items(); }
  bool Contains(const Drawable* drawable) const { return drawables_.Contains(drawable); }

  // Each may be null (then its step is skipped).
  void SetCamera(ViewCamera* camera) { camera_ = camera; }
  void SetSky(SkyDrawer* sky) { sky_ = sky; }
  void SetGround(GroundDrawer* ground) { ground_ = ground; }
  void SetHud(Overlay* hud) { hud_ = hud; }
  ViewCamera* GetCamera() const { return camera_; }
  SkyDrawer* GetSky() const { return sky_; }
  GroundDrawer* GetGround() const { return ground_; }
  Overlay* GetHud() const { return hud_; }

  // Draws the frame, inside the device's begin and end of scene. Always true.
  bool Render();

 private:
  // Draws every drawable's part of one pass, skipping those the camera cannot see.
  void DrawPass(bool alphaPass);
  static void SetTranslucentStates(platform::RenderDevice* device);
  static void RestoreOpaqueStates(platform::RenderDevice* device);

  platform::RenderDevice* device_;
  ViewCamera* camera_ = nullptr;
  SkyDrawer* sky_ = nullptr;
  GroundDrawer* ground_ = nullptr;
  Overlay* hud_ = nullptr;
  ObjectList<Drawable> drawables_;
};

}  // namespace quarn
