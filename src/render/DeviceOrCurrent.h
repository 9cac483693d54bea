#pragma once
// Render objects draw on the device they were given (tests), or else on the process's
// graphics device as it is when they draw: it may be made after them, or made again.
#include "engine/GraphicsDevice.h"
#include "platform/RenderDevice.h"

namespace quarn {

inline platform::RenderDevice* DeviceOrCurrent(platform::RenderDevice* given) {
  if (given != nullptr)
    return given;
  const GraphicsDevice* graphics = GraphicsDevice::Instance();
  return graphics != nullptr ? graphics->GetDevice() : nullptr;
}

}  // namespace quarn
