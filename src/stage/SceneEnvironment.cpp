#include "stage/SceneEnvironment.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "render/DeviceOrCurrent.h"
#include "stage/DirectionalLight.h"
#include "stage/Ground.h"
#include "stage/Sky.h"
#include "units/ChaseCamera.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageServices.h"

namespace quarn {

using platform::RenderState;

SceneEnvironment::SceneEnvironment(StageServices* stage) : stage_(stage) {}

SceneEnvironment::~SceneEnvironment() {
  Finish();
}

platform::Argb SceneEnvironment::PackColor(float r, float g, float b, float a) {
  auto byte = [](float channel) -> uint32_t {
    const float scaled = channel * 255.0f;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 2147483647.0f)
      return 0;
    return static_cast<uint32_t>(static_cast<int32_t>(scaled)) & 0xFF;
  };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

void SceneEnvironment::SetFogMode(platform::RenderDevice& device) const {
  if (device.Caps().tableFog)
    device.SetRenderState(RenderState::FogTableMode, platform::FogMode::Linear);
  else
    device.SetRenderState(RenderState::FogVertexMode, platform::FogMode::Linear);
}

bool SceneEnvironment::LoadEnvironment(DefinitionFile& stage) {
  stage.SelectSection("Scene");
  if (platform::RenderDevice* device = DeviceOrCurrent(nullptr))
    SetFogMode(*device);
  fogEnable_ = stage.GetBool("FogEnable", false);
  if (fogEnable_) {
    fogColor_ = PackColor(stage.GetFloat("FogColorR", 0.0f), stage.GetFloat("FogColorG", 0.0f),
                          stage.GetFloat("FogColorB", 0.0f), stage.GetFloat("FogColorA", 0.0f));
    fogStart_ = stage.GetFloat("FogStartDistance", 0.0f);
    fogEnd_ = stage.GetFloat("FogEndDistance", 0.0f);
  }
  // Every key of the section is read before another file may move its current section.
  const bool sky = stage.GetBool("SkyMeshEnable", false);
  const std::string skyFile = stage.GetString("SkyMeshFile", "");
  const bool ground = stage.GetBool("GroundEnable", false);
  const std::string groundFile = stage.GetString("GroundFile", "");
  const bool particle = stage.GetBool("EnvironParticleEnable", false);
  const std::string particleFile = stage.GetString("EnvironParticleFile", "");
  followCamera_ = stage.GetBool("EnvironParticleFollowCamera", false);
  const int lights = stage.GetCount("DirectionalLightCount");
  for (int i = 0; i < lights; ++i) {
    stage.SelectSection("DirectionalLight", static_cast<unsigned>(i));
    const platform::ColorValue diffuse{
        stage.GetFloat("DiffuseColorR", 0.0f), stage.GetFloat("DiffuseColorG", 0.0f),
        stage.GetFloat("DiffuseColorB", 0.0f), stage.GetFloat("DiffuseColorA", 0.0f)};
    const platform::ColorValue ambient{
        stage.GetFloat("AmbientColorR", 0.0f), stage.GetFloat("AmbientColorG", 0.0f),
        stage.GetFloat("AmbientColorB", 0.0f), stage.GetFloat("AmbientColorA", 0.0f)};
    auto light = std::make_unique<DirectionalLight>(static_cast<unsigned>(i), diffuse, ambient);
    light->Frame().SetParent(&stage_->WorldRoot());
    light->Frame().SetOrientation(
        {stage.GetFloat("DirectionX", 0.0f), stage.GetFloat("DirectionY", 0.0f),
         stage.GetFloat("DirectionZ", 0.0f)},
        {0, 1, 0}, &stage_->WorldRoot());
    lights_.push_back(std::move(light));
  }
  if (sky) {
    sky_ = std::make_unique<Sky>(stage_);
    sky_->Load(skyFile);
  }
  if (ground) {
    ground_ = std::make_unique<Ground>(stage_);
    ground_->Load(groundFile);
  }
  if (particle) {
    particle_ = std::make_unique<Particle>(stage_);
    particle_->Load(particleFile);
    particle_->StartTimed(kEnemySide);
    particle_->Update();
  }
  return true;
}

void SceneEnvironment::ApplyFogDistances() const {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return;
  device->SetRenderState(RenderState::FogStart, platform::FloatBits(fogStart_));
  device->SetRenderState(RenderState::FogEnd, platform::FloatBits(fogEnd_));
}

void SceneEnvironment::ApplyEnvironment() const {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return;
  SetFogMode(*device);
  device->SetRenderState(RenderState::FogEnable, fogEnable_ ? 1u : 0u);
  if (fogEnable_) {
    device->SetRenderState(RenderState::FogColor, fogColor_);
    ApplyFogDistances();
  }
  for (const auto& light : lights_)
    light->Apply(device);
}

void SceneEnvironment::FollowCamera() const {
  if (particle_ == nullptr || !followCamera_)
    return;
  if (const ChaseCamera* camera = stage_->Camera())
    particle_->SetWorldPosition(camera->WorldPosition());
}

void SceneEnvironment::Finish() {
  lights_.clear();
  if (particle_ != nullptr) {
    particle_->Deactivate();
    particle_->Unload();
    particle_.reset();
  }
  if (ground_ != nullptr) {
    ground_->Unload();
    ground_.reset();
  }
  if (sky_ != nullptr) {
    sky_->Unload();
    sky_.reset();
  }
}

}  // namespace quarn
