#pragma once
// Base of the engine's drawables: something that draws itself on the render device.
#include "platform/RenderDevice.h"
#include "render/DeviceOrCurrent.h"

namespace quarn {

class GraphicsObject {
 public:
  virtual ~GraphicsObject() = default;
  virtual bool Draw() = 0;

 protected:
  // device: where to draw; null: the process's graphics device, looked up at each draw.
  explicit GraphicsObject(platform::RenderDevice* device = nullptr) : device_(device) {}
  GraphicsObject(const GraphicsObject&) = default;
  GraphicsObject& operator=(const GraphicsObject&) = default;

  // Null when there is no device to draw on.
  platform::RenderDevice* Device() const { return DeviceOrCurrent(device_); }

 private:
  platform::RenderDevice* device_;
};

}  // namespace quarn
