#pragma once
// Draws a scene into the surface of a render-target texture instead of the back buffer, as the
// graphics utility library's render-to-surface object does.
#include "platform/RenderDevice.h"

namespace quarn::gfx {

class RenderToSurface {
 public:
  RenderToSurface(platform::RenderDevice& device, uint32_t width, uint32_t height,
                  platform::Format format);
  RenderToSurface(const RenderToSurface&) = delete;
  RenderToSurface& operator=(const RenderToSurface&) = delete;

  // Redirects drawing to surface (viewport null: the whole surface) and begins a scene.
  // False when the surface does not match or a scene is already begun.
  bool BeginScene(platform::Surface* surface, const platform::Viewport* viewport);
  // Ends the scene and gives the back buffer (and its viewport) back.
  bool EndScene();

  // Nothing of its own lives in device memory; loss and reset only end a scene left open.
  bool OnLostDevice();
  bool OnResetDevice() { return true; }

  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  platform::Format GetFormat() const { return format_; }

 private:
  platform::RenderDevice& device_;
  uint32_t width_;
  uint32_t height_;
  platform::Format format_;
  bool inScene_ = false;
  platform::Surface* savedTarget_ = nullptr;
  platform::Viewport savedViewport_;
};

}  // namespace quarn::gfx
