#include "gfxutil/RenderToSurface.h"

namespace quarn::gfx {

RenderToSurface::RenderToSurface(platform::RenderDevice& device, uint32_t width, uint32_t height,
                                 platform::Format format)
    : device_(device), width_(width), height_(height), format_(format) {}

bool RenderToSurface::BeginScene(platform::Surface* surface, const platform::Viewport* viewport) {
  if (inScene_ || surface == nullptr || surface->Width() != width_ ||
      surface->Height() != height_) {
    return false;
  }
  savedTarget_ = device_.GetRenderTarget();
  savedViewport_ = device_.GetViewport();
  if (!device_.SetRenderTarget(surface))
    return false;
  if (viewport != nullptr)
    device_.SetViewport(*viewport);
  if (!device_.BeginScene()) {
    device_.SetRenderTarget(savedTarget_);
    device_.SetViewport(savedViewport_);
    return false;
  }
  inScene_ = true;
  return true;
}

bool RenderToSurface::EndScene() {
  if (!inScene_)
    return false;
  inScene_ = false;
  const bool ended = device_.EndScene();
  device_.SetRenderTarget(savedTarget_);
  device_.SetViewport(savedViewport_);
  return ended;
}

bool RenderToSurface::OnLostDevice() {
  if (inScene_)
    EndScene();
  return true;
}

}  // namespace quarn::gfx
