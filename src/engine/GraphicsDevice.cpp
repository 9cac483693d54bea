#include "engine/GraphicsDevice.h"

#include <algorithm>

#include "engine/DeviceResource.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "platform/Window.h"

namespace quarn {

namespace {
std::unique_ptr<platform::RenderDevice> DefaultFactory(platform::Window& window,
                                                       const platform::PresentParameters& params,
                                                       std::string* error) {
  if (window.Native() == nullptr)
    return std::make_unique<platform::NullRenderDevice>(params);
  return platform::CreateGlRenderDevice(window, params, error);
}
}  // namespace

GraphicsDevice::GraphicsDevice(DeviceFactory factory)
    : factory_(factory ? std::move(factory) : DeviceFactory(DefaultFactory)) {}

// The device is released by Release, not by destruction. Resources still listed forget this
// device, so that their own destruction later does not reach it.
GraphicsDevice::~GraphicsDevice() {
  for (DeviceResource* resource : resources_)
    resource->device_ = nullptr;
}

bool GraphicsDevice::Create(WindowHandle window, const GraphicsParams& params) {
  Release();
  platform::Window* native = platform::FindWindow(window);
  if (native == nullptr) {
    lastError_ = "no window to draw into";
    return false;
  }
  window_ = window;
  // No text composition pops up over a full-screen game.
  native->SetInputMethodEnabled(params.fullscreen == 0);
  parameters_ = platform::PresentParameters{};
  parameters_.backBufferWidth = static_cast<uint32_t>(params.width);
  parameters_.backBufferHeight = static_cast<uint32_t>(params.height);
  parameters_.windowed = params.fullscreen == 0;
  parameters_.backBufferFormat =
      params.fullscreen != 0 ? platform::Format::X8R8G8B8 : platform::Format::Unknown;
  lastError_.clear();
  device_ = factory_(*native, parameters_, &lastError_);
  if (device_ == nullptr) {
    if (lastError_.empty())
      lastError_ = "the render device could not be made";
    Release();
    return false;
  }
  return true;
}

void GraphicsDevice::Release() {
  device_.reset();
  if (platform::Window* native = platform::FindWindow(window_))
    native->SetInputMethodEnabled(true);
  window_ = nullptr;
}

bool GraphicsDevice::Clear(const platform::Rect* rect, uint32_t flags, platform::Argb color,
                           float z, uint32_t stencil) {
  if (device_ == nullptr)
    return false;
  return device_->Clear(rect != nullptr ? 1 : 0, rect, flags, color, z, stencil);
}

bool GraphicsDevice::Present(const platform::Rect* rect, int* lost) {
  if (device_ == nullptr)
    return false;
  switch (device_->Present(rect)) {
    case platform::DeviceResult::Ok:
      *lost = 0;
      return true;
    case platform::DeviceResult::DeviceLost:
      *lost = 1;
      return false;
    default:
      return false;
  }
}

bool GraphicsDevice::Restore() {
  if (device_ == nullptr)
    return false;
  const platform::DeviceResult level = device_->TestCooperativeLevel();
  if (level == platform::DeviceResult::Ok)
    return true;
  if (level != platform::DeviceResult::DeviceNotReset)
    return false;
  platform::DebugText("D3DERR_DEVICENOTRESET\n");
  TellResources(&DeviceResource::OnDeviceLost);
  if (device_->Reset() != platform::DeviceResult::Ok)
    return false;
  platform::DebugText("D3D_OK\n");
  TellResources(&DeviceResource::OnDeviceReset);
  return true;
}

void GraphicsDevice::TellResources(int (DeviceResource::*notice)()) {
  // Over a copy, in registration order: a resource may register or unregister others (or
  // itself) while it is told; one that is gone by its turn is skipped.
  const std::vector<DeviceResource*> resources = resources_;
  for (DeviceResource* resource : resources) {
    if (std::find(resources_.begin(), resources_.end(), resource) != resources_.end())
      (resource->*notice)();
  }
}

bool GraphicsDevice::AddResource(DeviceResource* resource) {
  if (std::find(resources_.begin(), resources_.end(), resource) != resources_.end())
    return false;
  resources_.push_back(resource);
  return true;
}

bool GraphicsDevice::RemoveResource(DeviceResource* resource) {
  auto it = std::find(resources_.begin(), resources_.end(), resource);
  if (it == resources_.end())
    return false;
  resources_.erase(it);
  return true;
}

DeviceResource::DeviceResource() : DeviceResource(GraphicsDevice::Instance()) {}

DeviceResource::DeviceResource(GraphicsDevice* device) : device_(device) {
  if (device_ != nullptr)
    device_->AddResource(this);
}

DeviceResource::~DeviceResource() {
  if (device_ != nullptr)
    device_->RemoveResource(this);
}

}  // namespace quarn
