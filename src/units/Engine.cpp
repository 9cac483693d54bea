#include "units/Engine.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/ResourceCache.h"
#include "render/DeviceOrCurrent.h"
#include "render/ViewCamera.h"
#include "units/ChaseCamera.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageServices.h"

namespace quarn {

Engine::Engine(StageServices* stage) : Container(stage) {}

Engine::~Engine() {
  Engine::Unload();
}

bool Engine::Load(const std::string& file, Container* owner) {
  if (!LoadContainer(file, 2, kUnitPartGroup, owner))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Engine");
  exhaustEnable_ = def.GetBool("ExhaustParticleEnable", false);
  const std::string exhaustFile = def.GetString("ExhaustParticleFile", "");
  flashMeshEnable_ = def.GetBool("FlashMeshEnable", false);
  const std::string flashFile = def.GetString("FlashMeshFile", "");
  soundEnable_ = def.GetBool("EngineSoundEnable", false);
  const std::string soundFile = def.GetString("EngineSoundFile", "");
  const float soundMin = def.GetFloat("EngineSoundMinDistance", 0.0f);
  const float soundMax = def.GetFloat("EngineSoundMaxDistance", 0.0f);
  minPropeller_ = def.GetFloat("MinPropellerRotationally", 0.0f);
  maxPropeller_ = def.GetFloat("MaxPropellerRotationally", 0.0f);
  const int count = def.GetCount("PropellerCount");
  for (int i = 0; i < count; ++i) {
    def.SelectSection("Propeller", static_cast<unsigned>(i));
    auto propeller = std::make_unique<Propeller>();
    propeller->frame.SetParent(&body_);
    propeller->frame.SetPosition({def.GetFloat("PositionX", 0.0f), def.GetFloat("PositionY", 0.0f),
                                  def.GetFloat("PositionZ", 0.0f)});
    propeller->clockwise = def.GetBool("ClockwiseRotation", false);
    propeller->mesh.SetMesh(stage_->Cache().GetMesh(def.GetString("MeshFile", "")));
    propeller->mesh.SetFrame(&propeller->frame);
    propellers_.push_back(std::move(propeller));
  }
  if (exhaustEnable_) {
    exhaust_ = stage_->Effects().AcquireParticle(exhaustFile, true);
    exhaust_->Hold();
    exhaust_->Body().SetParent(&body_);
  }
  if (flashMeshEnable_) {
    flashMesh_.SetMesh(stage_->Cache().GetMesh(flashFile));
    flashMesh_.SetFrame(&body_);
  }
  if (soundEnable_) {
    sound_.Create(stage_->Cache().GetSound(soundFile));
    sound_.SetSourceNode(&body_);
    sound_.SetDistances(soundMin, soundMax);
  }
  return true;
}

void Engine::Unload() {
  sound_.Stop();
  sound_.Release();
  propellers_.clear();
  Container::Unload();
}

void Engine::Activate(int side) {
  throttle_ = 0.0f;
  if (soundEnable_) {
    if (stage_ != nullptr && stage_->Camera() != nullptr)
      sound_.SetListenerNode(&stage_->Camera()->Body());
    sound_.Update();
    sound_.Play(true, false);
  }
  Container::Activate(side);
  // The exhaust and the flash show while the engine runs.
  if (exhaust_ != nullptr)
    exhaust_->StartContinuous(side);
}

void Engine::Deactivate() {
  if (soundEnable_)
    sound_.Stop();
  if (exhaust_ != nullptr)
    exhaust_->StopEmitting();
  Container::Deactivate();
}

void Engine::Break() {
  if (soundEnable_)
    sound_.Stop();
  if (exhaust_ != nullptr && GetLifeState() == LifeState::Alive)
    exhaust_->StopEmitting();
  Container::Break();
}

void Engine::SetEngineThrottle(float fraction) {
  throttle_ = fraction;
  if (!(throttle_ >= 0.0f))
    throttle_ = 0.0f;
  if (throttle_ > 1.0f)
    throttle_ = 1.0f;
  Container::SetEngineThrottle(fraction);
}

float Engine::PropellerRate() const {
  return minPropeller_ + (maxPropeller_ - minPropeller_) * throttle_;
}

void Engine::UpdateAlive() {
  const float rate = PropellerRate();
  for (auto& propeller : propellers_) {
    const float turn = (propeller->clockwise ? -rate : rate) * kFrameStep * kDegreesToRadians;
    propeller->frame.RotateZ(CombineMode::LocalAxes, turn);
  }
  if (soundEnable_) {
    sound_.Update();
    sound_.SetFrequencyScale(1.0f + throttle_);
  }
}

bool Engine::Cull(ViewCamera& camera, bool alphaPass) {
  if (alphaPass) {
    BoxCorners flash;
    if (FlashShown() && flashMesh_.GetBoxCorners(&flash) && camera.TestBox(flash))
      return true;
    for (const auto& propeller : propellers_) {
      BoxCorners corners;
      if (propeller->mesh.GetBoxCorners(&corners) && camera.TestBox(corners))
        return true;
    }
  }
  return Container::Cull(camera, alphaPass);
}

bool Engine::DrawAlpha() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::CullMode, platform::CullMode::None);
  for (auto& propeller : propellers_)
    propeller->mesh.Draw();
  if (FlashShown()) {
    if (device != nullptr) {
      device->SetRenderState(platform::RenderState::DestBlend, platform::Blend::One);
      device->SetRenderState(platform::RenderState::Lighting, 0u);
    }
    flashMesh_.Draw();
    if (device != nullptr) {
      device->SetRenderState(platform::RenderState::DestBlend, platform::Blend::InvSrcAlpha);
      device->SetRenderState(platform::RenderState::Lighting, 1u);
    }
  }
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::CullMode, platform::CullMode::CounterClockwise);
  return Container::DrawAlpha();
}

bool Engine::FlashShown() const {
  return flashMeshEnable_ && GetLifeState() == LifeState::Alive;
}

}  // namespace quarn
