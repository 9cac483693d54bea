#pragma once
// The graphics device service: creates the render device on the main window, clears and
// presents, notices a lost device and restores it, telling its resources in order.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Service.h"
#include "platform/Message.h"
#include "platform/RenderDevice.h"

namespace quarn {

using platform::WindowHandle;
class DeviceResource;

struct GraphicsParams {
  int fullscreen = 1;
  int width = 640;
  int height = 480;
};

class GraphicsDevice : public Service<GraphicsDevice> {
 public:
  // Makes the render device for a window; the default makes an OpenGL device on a real
  // window and a null device on a window without a native one.
  using DeviceFactory = std::function<std::unique_ptr<platform::RenderDevice>(
      platform::Window& window, const platform::PresentParameters& parameters, std::string* error)>;

  explicit GraphicsDevice(DeviceFactory factory = {});
  virtual ~GraphicsDevice();

  virtual bool Create(WindowHandle window, const GraphicsParams& params);
  virtual void Release();
  // rect null: the whole target. False without a device.
  virtual bool Clear(const platform::Rect* rect, uint32_t flags, platform::Argb color, float z,
                     uint32_t stencil);
  // *lost = 1 and false when the device is lost; *lost = 0 and true when shown.
  virtual bool Present(const platform::Rect* rect, int* lost);
  virtual bool Restore();

  bool AddResource(DeviceResource* resource);
  bool RemoveResource(DeviceResource* resource);
  platform::RenderDevice* GetDevice() const { return device_.get(); }
  // Why the last Create failed.
  const std::string& LastError() const { return lastError_; }

 private:
  void TellResources(int (DeviceResource::*notice)());

  DeviceFactory factory_;
  WindowHandle window_ = nullptr;
  platform::PresentParameters parameters_;
  std::unique_ptr<platform::RenderDevice> device_;
  std::vector<DeviceResource*> resources_;
  std::string lastError_;
};

}  // namespace quarn
