#include "stage/DirectionalLight.h"

#include "render/DeviceOrCurrent.h"

namespace quarn {

DirectionalLight::DirectionalLight(unsigned index, const platform::ColorValue& diffuse,
                                   const platform::ColorValue& ambient)
    : index_(index) {
  light_.type = platform::LightType::Directional;
  light_.diffuse = diffuse;
  light_.ambient = ambient;
}

bool DirectionalLight::Apply(platform::RenderDevice* given) {
  platform::RenderDevice* device = DeviceOrCurrent(given);
  if (device == nullptr)
    return false;
  const gfx::Matrix world = frame_.GetWorldMatrix();
  light_.position = world.GetRow(3);
  light_.direction = world.GetRow(2);
  if (!device->SetLight(index_, light_))
    return false;
  return device->LightEnable(index_, true);
}

}  // namespace quarn
