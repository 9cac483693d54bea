#include "projectiles/Bullet.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "render/DeviceOrCurrent.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageServices.h"
#include "units/Trajectory.h"

namespace quarn {

namespace {
constexpr float kRadiansToDegrees = 57.295776f;
constexpr float kRandScale = 0.000030518509f;
constexpr float kTolerance = 1e-8f;

// A turn rate within its limit; a limit that is not a positive number allows no turn.
float ClampRate(float rate, float limit) {
  if (!(limit > 0.0f) || !std::isfinite(rate))
    return 0.0f;
  return rate > limit ? limit : (rate < -limit ? -limit : rate);
}

template <class Effect>
void StopIfSet(Effect* effect) {
  if (effect != nullptr)
    effect->StopEmitting();
}
}  // namespace

Bullet::Bullet(StageServices* stage) : Solid(stage) {}

Bullet::~Bullet() {
  LeaveRegistry();
}

void Bullet::Unload() {}

bool Bullet::LoadBullet(const std::string& file) {
  if (!Solid::Load(file, 3, kProjectileGroup, {}))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Bullet");
  lightingEnable_ = def.GetBool("LightingEnable", false);
  followParticleEnable_ = def.GetBool("FollowParticleEnable", false);
  const std::string followParticleFile = def.GetString("FollowParticleFile", "");
  followTrailEnable_ = def.GetBool("FollowTrajectoryEnable", false);
  const std::string followTrailFile = def.GetString("FollowTrajectoryFile", "");
  burstParticleEnable_ = def.GetBool("BurstParticleEnable", false);
  const std::string burstFile = def.GetString("BurstParticleFile", "");
  fireVariability_ = def.GetFloat("FireVariability", 0.0f);
  disappearDistance_ = def.GetFloat("DisappearDistance", 0.0f);
  disappearBurst_ = def.GetBool("DisappearBurstEnable", false);
  proximityFuse_ = def.GetBool("ProximityFuseEnable", false);
  if (proximityFuse_) {
    minFuse_ = def.GetFloat("MinProximityFuseDistance", 0.0f);
    maxFuse_ = def.GetFloat("MaxProximityFuseDistance", 0.0f);
  }
  homing_ = def.GetBool("HomingEnable", false);
  if (homing_) {
    predictHomingRate_ = def.GetFloat("PredictHomingRate", 0.0f);
    maxPitchRate_ = def.GetFloat("MaxPitchRotationally", 0.0f);
    maxHeadRate_ = def.GetFloat("MaxHeadRotationally", 0.0f);
  }
  const int rays = def.GetCount("IntersectRayCount");
  rayOrigins_.clear();
  rayReach_ = 0.0f;
  for (int i = 0; i < rays; ++i) {
    const auto n = static_cast<unsigned>(i);
    const gfx::Vector3 origin(def.GetFloat("IntersectRayPositionX", n, 0.0f),
                              def.GetFloat("IntersectRayPositionY", n, 0.0f),
                              def.GetFloat("IntersectRayPositionZ", n, 0.0f));
    rayOrigins_.push_back(origin);
    const float reach = gfx::Vec3Length(origin);
    if (reach > rayReach_)
      rayReach_ = reach;
  }
  EffectSource& effects = stage_->Effects();
  if (followParticleEnable_) {
    followParticle_ = effects.AcquireParticle(followParticleFile, true);
    followParticle_->Hold();
    followParticle_->SetFinishWatcher(this);
    followParticle_->Body().SetParent(&body_);
  }
  if (followTrailEnable_) {
    followTrail_ = effects.AcquireTrail(followTrailFile, true);
    followTrail_->Hold();
    followTrail_->SetFinishWatcher(this);
    followTrail_->Body().SetParent(&body_);
  }
  if (burstParticleEnable_) {
    burstParticle_ = effects.AcquireParticle(burstFile, true);
    burstParticle_->Hold();
    burstParticle_->SetFinishWatcher(this);
    burstParticle_->Body().SetParent(&body_);
  }
  return true;
}

bool Bullet::MountOnPort(Transform* frame, bool visible) {
  portFrame_ = frame;
  if (frame != nullptr) {
    // Whatever the last user left, a projectile put on a port starts clean.
    armed_ = false;
    target_ = nullptr;
    body_.SetParent(frame);
    body_.AlignTo(frame);
  }
  if (frame == nullptr)
    NotifyMaybeFinished();
  if (visible)
    return EnterRenders();
  return false;
}

void Bullet::Release() {
  portFrame_ = nullptr;
  armed_ = false;
  target_ = nullptr;
  LeaveRenders();
  NotifyMaybeFinished();
}

void Bullet::SetTarget(Model* target) {
  target_ = target;
}

void Bullet::SetLaunchVelocity(const gfx::Vector3& velocity) {
  launchVelocity_ = velocity;
  SetVelocityEstimate(velocity);
}

void Bullet::StartFollowEffects() {
  if (followParticle_ != nullptr)
    followParticle_->StartContinuous(Side());
  if (followTrail_ != nullptr)
    followTrail_->StartContinuous(Side());
}

void Bullet::Activate(int side) {
  Solid::Activate(side);
  armed_ = false;
  travelled_ = 0.0f;
  speed_ = 0.0f;
  pitchRate_ = 0.0f;
  headRate_ = 0.0f;
  ended_ = false;
  fuseDistance_ = minFuse_ + static_cast<float>(Rand()) * kRandScale * (maxFuse_ - minFuse_);
  if (stage_ != nullptr)
    body_.SetParent(&stage_->WorldRoot());
  if (portFrame_ != nullptr)
    body_.AlignTo(portFrame_);
  portFrame_ = nullptr;
  const float spread = fireVariability_;
  const float yaw = static_cast<float>(Rand()) * kRandScale * spread - spread * 0.5f;
  body_.RotateY(CombineMode::LocalAxes, yaw * kDegreesToRadians);
  const float pitch = static_cast<float>(Rand()) * kRandScale * spread - spread * 0.5f;
  body_.RotateX(CombineMode::LocalAxes, pitch * kDegreesToRadians);
  StartFollowEffects();
  if (stage_ != nullptr && !inRegistry_)
    inRegistry_ = stage_->Projectiles().Add(this);
}

void Bullet::LeaveRegistry() {
  if (inRegistry_) {
    stage_->Projectiles().Remove(this);
    inRegistry_ = false;
  }
}

void Bullet::Deactivate() {
  target_ = nullptr;
  LeaveRegistry();
  StopIfSet(followParticle_);
  StopIfSet(followTrail_);
  Solid::Deactivate();
}

bool Bullet::IsFinished() const {
  if (IsMounted())
    return false;
  if (followParticle_ != nullptr && followParticle_->IsActive())
    return false;
  if (followTrail_ != nullptr && followTrail_->IsActive())
    return false;
  // A burst that still plays belongs to this shot; a new user would move it.
  if (burstParticle_ != nullptr && burstParticle_->IsActive())
    return false;
  return Solid::IsFinished();
}

void Bullet::Burst() {
  if (burstParticle_ != nullptr)
    burstParticle_->StartTimed(Side());
}

void Bullet::End(bool burst) {
  if (ended_)
    return;
  ended_ = true;
  if (burst)
    Burst();
  Deactivate();
}

void Bullet::UpdateHoming() {
  pitchRate_ = 0.0f;
  headRate_ = 0.0f;
  // A target that has been destroyed or left the scene is no longer followed.
  if (!homing_ || target_ == nullptr || !target_->IsInPlay())
    return;
  const gfx::Vector3 p = WorldPosition();
  const gfx::Vector3 q = target_->WorldPosition();
  const gfx::Vector3 forward = WorldForward();
  const gfx::Vector3 v = target_->VelocityEstimate();
  const gfx::Vector3 r = v - speed_ * forward;
  const float distance = gfx::Vec3Length(p - q);
  const float closing = gfx::Vec3Length(r);
  float t = std::fabs(closing) > kTolerance ? distance / closing : 0.0f;
  t *= predictHomingRate_;
  const gfx::Vector3 aim = q + v * t;
  const gfx::Vector3 l = gfx::Vec3Normalize(body_.WorldToLocalPoint(aim));
  pitchRate_ =
      ClampRate(std::atan2(l.y, l.z) * kRadiansToDegrees * kUpdatesPerSecond, maxPitchRate_);
  headRate_ = ClampRate(std::atan2(l.x, l.z) * kRadiansToDegrees * kUpdatesPerSecond, maxHeadRate_);
}

void Bullet::FlightStep() {
  // |speed|: a projectile flying backwards still reaches its range.
  travelled_ += std::fabs(speed_) * kFrameStep;
  if (proximityFuse_ && target_ != nullptr) {
    const float d = gfx::Vec3Length(target_->Body().GetPosition(&body_));
    if (d < fuseDistance_)
      End(true);
  }
  // One that can never reach its range (no speed left) ends too, instead of staying in the
  // pool and the registries for the rest of the stage.
  if (travelled_ > disappearDistance_ || std::fabs(speed_) <= kTolerance)
    End(disappearBurst_);
  body_.RotateX(CombineMode::LocalAxes, -pitchRate_ * kFrameStep * kDegreesToRadians);
  body_.RotateY(CombineMode::LocalAxes, headRate_ * kFrameStep * kDegreesToRadians);
  body_.Translate(CombineMode::LocalAxes, {0.0f, 0.0f, speed_ * kFrameStep});
  Model::Update();
}

void Bullet::Update() {
  FlightStep();
}

bool Bullet::Cull(ViewCamera& camera, bool alphaPass) {
  return Solid::Cull(camera, alphaPass);
}

bool Bullet::DrawNormal() {
  if (!HasNormalMesh())
    return false;
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::Lighting, lightingEnable_ ? 1u : 0u);
  const bool drawn = Solid::DrawNormal();
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::Lighting, 1u);
  return drawn;
}

bool Bullet::DrawAlpha() {
  if (!HasAlphaMesh())
    return false;
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::Lighting, lightingEnable_ ? 1u : 0u);
  const bool drawn = Solid::DrawAlpha();
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::Lighting, 1u);
  return drawn;
}

bool Bullet::CollectSpheres(std::vector<CollisionSphere>& list) {
  // Centred on the middle of this frame's path and wide enough for its rays, so that a hit
  // early in the path (on a small part, or the ground) is not lost.
  const float path = speed_ * kFrameStep;
  CollisionSphere sphere;
  sphere.centre = WorldPosition() - WorldForward() * (path * 0.5f);
  sphere.radius = std::fabs(path) * 0.5f + rayReach_;
  list.push_back(sphere);
  return true;
}

bool Bullet::CollectRays(std::vector<IntersectRay>& list) {
  const gfx::Vector3 back = -gfx::Vec3Normalize(WorldForward());
  for (const gfx::Vector3& origin : rayOrigins_)
    list.push_back(IntersectRay{body_.LocalToWorldPoint(origin), back, speed_ * kFrameStep});
  return true;
}

bool Bullet::OnHit(Collider&, const gfx::Vector3& hitPoint, const gfx::Vector3&) {
  Shatter(hitPoint);
  Burst();
  Deactivate();
  ended_ = true;
  return true;
}

bool Bullet::OnGroundHit(GroundCollider&, int, const gfx::Vector3& hitPoint,
                         const gfx::Vector3& push) {
  SetWorldPosition(WorldPosition() + push);
  Shatter(hitPoint);
  Burst();
  Deactivate();
  ended_ = true;
  return true;
}

}  // namespace quarn
