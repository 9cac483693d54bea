#pragma once
// A light of the stage: it shines along its node's forward axis with a diffuse and an
// ambient colour, under its index in the file.
#include "platform/DeviceTypes.h"
#include "platform/RenderDevice.h"
#include "render/Transform.h"

namespace quarn {

class DirectionalLight {
 public:
  DirectionalLight(unsigned index, const platform::ColorValue& diffuse,
                   const platform::ColorValue& ambient);

  // Hands the light to the device under its index and enables it; false without a device or
  // when the device refuses it (the light then stays off).
  bool Apply(platform::RenderDevice* device = nullptr);

  Transform& Frame() { return frame_; }
  unsigned Index() const { return index_; }
  const platform::Light& Record() const { return light_; }

 private:
  Transform frame_;
  unsigned index_;
  platform::Light light_;
};

}  // namespace quarn
