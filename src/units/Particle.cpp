#include "units/Particle.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/ResourceCache.h"
#include "engine/TimerPauseScope.h"
#include "engine/WaveSound.h"
#include "render/DeviceOrCurrent.h"
#include "units/ChaseCamera.h"
#include "units/Side.h"
#include "units/StageServices.h"

namespace quarn {

Particle::Particle(StageServices* stage) : Model(stage) {}

Particle::~Particle() {
  Particle::Unload();
}

bool Particle::Load(const std::string& file) {
  if (!Model::Load(file, 4, kParticleGroup, {kUnitGroup, kUnitPartGroup}))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Particle");
  soundEnable_ = def.GetBool("ParticleSoundEnable", false);
  if (soundEnable_) {
    WaveSound* wave = stage_->Cache().GetSound(def.GetString("ParticleSoundFile", ""));
    sound_.Create(wave);
    sound_.SetSourceNode(&body_);
    sound_.SetDistances(def.GetFloat("ParticleSoundMinDistance", 0.0f),
                        def.GetFloat("ParticleSoundMaxDistance", 0.0f));
  }
  const bool collision = def.GetBool("CollisionEnable", false);
  SetCollisionEnabled(collision);
  if (collision) {
    collisionDistance_ = def.GetFloat("CollisionDistance", 0.0f);
    minCollisionTime_ = def.GetFloat("MinCollisionTime", 0.0f);
    maxCollisionTime_ = def.GetFloat("MaxCollisionTime", 0.0f);
    impulsiveForce_ = def.GetFloat("ImpulsiveForce", 0.0f);
  }
  const int count = def.GetCount("ParticleCount");
  emitters_.clear();
  for (int i = 0; i < count; ++i) {
    def.SelectSection("Particle", static_cast<unsigned>(i));
    auto emitter = std::make_unique<ParticleEmitter>();
    emitter->Load(def, &stage_->Cache());
    emitter->SetFrame(&body_);
    emitters_.push_back(std::move(emitter));
  }
  return true;
}

void Particle::Unload() {
  emitters_.clear();
  sound_.Stop();
  sound_.Release();
  Model::Unload();
}

void Particle::Activate(int side) {
  elapsed_ = 0.0f;
  if (soundEnable_) {
    // The camera exists before anything that plays a sound starts.
    if (stage_ != nullptr && stage_->Camera() != nullptr)
      sound_.SetListenerNode(&stage_->Camera()->Body());
    const TimerPauseScope pause;
    sound_.Update();
    sound_.Play(false, true);
  }
  Model::Activate(side);
}

void Particle::StartTimed(int side) {
  for (auto& emitter : emitters_)
    emitter->StartTimed();
  Activate(side);
}

void Particle::StartContinuous(int side) {
  for (auto& emitter : emitters_)
    emitter->SetEmitting(true);
  Activate(side);
}

void Particle::StopEmitting() {
  for (auto& emitter : emitters_)
    emitter->SetEmitting(false);
}

bool Particle::IsRunning() const {
  for (const auto& emitter : emitters_) {
    if (emitter->IsEmitting() || emitter->ParticleCount() > 0)
      return true;
  }
  return false;
}

void Particle::Update() {
  elapsed_ += kFrameStep;
  if (soundEnable_)
    sound_.Update();
  for (auto& emitter : emitters_)
    emitter->Update(kFrameStep);
  if (!IsRunning())
    Deactivate();
  Model::Update();
}

bool Particle::Cull(ViewCamera&, bool alphaPass) {
  return alphaPass && !emitters_.empty();
}

bool Particle::DrawNormal() {
  return false;
}

bool Particle::DrawAlpha() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  // Particles are not fogged; the stage's own fog setting comes back afterwards.
  const uint32_t fog =
      device != nullptr ? device->GetRenderState(platform::RenderState::FogEnable) : 0;
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::FogEnable, 0u);
  for (auto& emitter : emitters_)
    emitter->Draw();
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::FogEnable, fog);
  return true;
}

bool Particle::CollectSpheres(std::vector<CollisionSphere>& list) {
  if (minCollisionTime_ < elapsed_ && elapsed_ < maxCollisionTime_)
    list.push_back(CollisionSphere{WorldPosition(), collisionDistance_});
  return true;
}

bool Particle::TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) {
  ownSpheres_.clear();
  otherSpheres_.clear();
  CollectSpheres(ownSpheres_);
  other.CollectSpheres(otherSpheres_);
  for (const CollisionSphere& a : ownSpheres_) {
    for (const CollisionSphere& b : otherSpheres_) {
      // A blast reaches what its own radius covers, whatever the other's size.
      if (gfx::Vec3Length(a.centre - b.centre) < a.radius) {
        *hitPoint = b.centre;
        *push = {};
        return true;
      }
    }
  }
  return false;
}

bool Particle::OnHit(Collider&, const gfx::Vector3&, const gfx::Vector3&) {
  return false;
}

bool Particle::OnGroundHit(GroundCollider&, int, const gfx::Vector3&, const gfx::Vector3&) {
  return false;
}

}  // namespace quarn
