#include "stage/Sky.h"

#include "engine/ResourceCache.h"
#include "render/DeviceOrCurrent.h"
#include "render/RenderManager.h"
#include "units/ChaseCamera.h"
#include "units/StageServices.h"

namespace quarn {

using platform::RenderState;

Sky::Sky(StageServices* stage) : RigidBody(stage) {}

Sky::~Sky() {
  Sky::Unload();
}

bool Sky::Load(const std::string& meshFile) {
  mesh_.SetMesh(stage_->Cache().GetMesh(meshFile));
  mesh_.SetFrame(&body_);
  body_.SetParent(&stage_->WorldRoot());
  stage_->Renders().SetSky(this);
  return true;
}

void Sky::Unload() {
  body_.SetParent(nullptr);
  if (stage_ != nullptr && stage_->Renders().GetSky() == this)
    stage_->Renders().SetSky(nullptr);
}

bool Sky::Draw() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return false;
  const uint32_t fog = device->GetRenderState(RenderState::FogEnable);
  device->SetRenderState(RenderState::Lighting, 0u);
  device->SetRenderState(RenderState::ZWriteEnable, 0u);
  device->SetRenderState(RenderState::ZEnable, 0u);
  device->SetRenderState(RenderState::FogEnable, 0u);
  if (ChaseCamera* camera = stage_->Camera())
    body_.SetPosition({0.0f, 3.0f, 0.0f}, &camera->Body());
  mesh_.Draw();
  device->SetRenderState(RenderState::ZEnable, 1u);
  device->SetRenderState(RenderState::ZWriteEnable, 1u);
  device->SetRenderState(RenderState::Lighting, 1u);
  device->SetRenderState(RenderState::FogEnable, fog);
  return true;
}

}  // namespace quarn
