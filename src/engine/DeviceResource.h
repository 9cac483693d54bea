#pragma once
// Objects with device-dependent state hear of device loss and reset through this base.

namespace quarn {

class GraphicsDevice;

class DeviceResource {
 public:
  // Registers with the device (the process's graphics device by default).
  DeviceResource();
  explicit DeviceResource(GraphicsDevice* device);
  virtual ~DeviceResource();
  DeviceResource(const DeviceResource&) = delete;
  DeviceResource& operator=(const DeviceResource&) = delete;

  // May be called several times before one OnDeviceReset. Results: 1 for success.
  virtual int OnDeviceLost() = 0;
  virtual int OnDeviceReset() = 0;

 private:
  friend class GraphicsDevice;
  GraphicsDevice* device_;
};

}  // namespace quarn
