#include "weapons/Weapon.h"

#include <algorithm>
#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/ResourceCache.h"
#include "engine/TimerPauseScope.h"
#include "projectiles/Gun.h"
#include "projectiles/Rocket.h"
#include "render/DeviceOrCurrent.h"
#include "render/ViewCamera.h"
#include "units/ChaseCamera.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"
#include "units/StageServices.h"

namespace quarn {

namespace {
constexpr float kRadiansToDegrees = 57.2957763671875f;

bool Finite(const gfx::Vector3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// An angle within ±limit; a limit that is not a number allows no turn.
float ClampTurn(float angle, float limit) {
  if (!(limit >= 0.0f) || !std::isfinite(angle))
    return 0.0f;
  return std::clamp(angle, -limit, limit);
}

// Resets a frame to its parent's axes, keeping its position, then turns it about one axis.
void ResetAndTurn(Transform& frame, bool aboutY, float degrees) {
  frame.SetOrientation({0, 0, 1}, {0, 1, 0});
  if (!std::isfinite(degrees))
    return;
  if (aboutY)
    frame.RotateY(CombineMode::LocalAxes, degrees * kDegreesToRadians);
  else
    frame.RotateX(CombineMode::LocalAxes, degrees * kDegreesToRadians);
}
}  // namespace

Weapon::Weapon(StageServices* stage) : Container(stage) {}

Weapon::~Weapon() {
  Weapon::Unload();
}

bool Weapon::Load(const std::string& file, Container* owner) {
  if (!LoadContainer(file, 2, kUnitPartGroup, owner))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Weapon");
  headFrame_.SetParent(&body_);
  pitchFrame_.SetParent(&headFrame_);
  headMeshEnable_ = def.GetBool("HeadMeshEnable", false);
  const std::string headFile = def.GetString("HeadMeshFile", "");
  pitchMeshEnable_ = def.GetBool("PitchMeshEnable", false);
  const std::string pitchFile = def.GetString("PitchMeshFile", "");
  headFrame_.SetPosition({def.GetFloat("HeadPositionX", 0.0f), def.GetFloat("HeadPositionY", 0.0f),
                          def.GetFloat("HeadPositionZ", 0.0f)});
  pitchFrame_.SetPosition({def.GetFloat("PitchPositionX", 0.0f),
                           def.GetFloat("PitchPositionY", 0.0f),
                           def.GetFloat("PitchPositionZ", 0.0f)});
  maxLeftHeadAngle_ = def.GetFloat("MaxLeftHeadAngle", 0.0f);
  maxRightHeadAngle_ = def.GetFloat("MaxRightHeadAngle", 0.0f);
  maxUpPitchAngle_ = def.GetFloat("MaxUpPitchAngle", 0.0f);
  maxDownPitchAngle_ = def.GetFloat("MaxDownPitchAngle", 0.0f);
  headRotationally_ = def.GetFloat("HeadRotationally", 0.0f);
  pitchRotationally_ = def.GetFloat("PitchRotationally", 0.0f);
  sightDistance_ = def.GetFloat("SightDistance", 0.0f);
  centeringEnable_ = def.GetBool("CenteringEnable", false) ? 1.0f : 0.0f;
  rocketBulletEnable_ = def.GetBool("RocketBulletEnable", false);
  bulletFile_ = def.GetString("BulletFile", "");
  const int poolCount = def.GetCount("BulletPoolCount");
  const int portCount = def.GetCount("PortCount");
  ports_.clear();
  ports_.resize(static_cast<size_t>(portCount));
  for (int i = 0; i < portCount; ++i) {
    const auto n = static_cast<unsigned>(i);
    Transform& frame = *ports_[n].frame;
    frame.SetParent(&pitchFrame_);
    frame.SetPosition({def.GetFloat("PortPositionX", n, 0.0f),
                       def.GetFloat("PortPositionY", n, 0.0f),
                       def.GetFloat("PortPositionZ", n, 0.0f)});
  }
  exhaustEnable_ = def.GetBool("ExhaustParticleEnable", false);
  const std::string exhaustFile = def.GetString("ExhaustParticleFile", "");
  flashMeshEnable_ = def.GetBool("FlashMeshEnable", false);
  const std::string flashFile = def.GetString("FlashMeshFile", "");
  fireSoundEnable_ = def.GetBool("FireSoundEnable", false);
  const std::string soundFile = def.GetString("FireSoundFile", "");
  const float soundMin = def.GetFloat("FireSoundMinDistance", 0.0f);
  const float soundMax = def.GetFloat("FireSoundMaxDistance", 0.0f);
  fullLoadCount_ = def.GetInt("FullLoadCount", 0);
  maxFirableCount_ = def.GetInt("MaxFirableCount", 0);
  minFirableCount_ = def.GetInt("MinFirableCount", 0);
  loadTime_ = def.GetFloat("LoadTime", 0.0f);
  loadCount_ = def.GetInt("LoadCount", 0);
  bulletVisible_ = def.GetBool("BulletVisible", false);
  predictFireRate_ = def.GetFloat("PredictFireRate", 0.0f);
  referenceBulletVelocity_ = def.GetFloat("ReferenceBulletVelocity", 0.0f);

  ResourceCache& cache = stage_->Cache();
  if (headMeshEnable_) {
    headMesh_.SetMesh(cache.GetMesh(headFile));
    headMeshEnable_ = headMesh_.GetMesh() != nullptr;
  }
  headMesh_.SetFrame(&headFrame_);
  if (pitchMeshEnable_) {
    pitchMesh_.SetMesh(cache.GetMesh(pitchFile));
    pitchMeshEnable_ = pitchMesh_.GetMesh() != nullptr;
  }
  pitchMesh_.SetFrame(&pitchFrame_);
  if (exhaustEnable_) {
    exhaust_ = stage_->Effects().AcquireParticle(exhaustFile, true);
    exhaust_->Hold();
    exhaust_->Body().SetParent(&pitchFrame_);
  }
  if (flashMeshEnable_) {
    flashMesh_.SetMesh(cache.GetMesh(flashFile));
    flashMeshEnable_ = flashMesh_.GetMesh() != nullptr;
  }
  flashMesh_.SetFrame(&pitchFrame_);
  if (fireSoundEnable_) {
    fireSound_.Create(cache.GetSound(soundFile));
    fireSound_.SetSourceNode(&body_);
    fireSound_.SetDistances(soundMin, soundMax);
  }
  // The pool holds this many new ones in advance; the weapon does not keep them.
  for (int i = 0; i < poolCount; ++i)
    AcquireProjectile(false);
  return true;
}

Bullet* Weapon::AcquireProjectile(bool allowReuse) {
  if (stage_ == nullptr)
    return nullptr;
  if (rocketBulletEnable_)
    return stage_->Effects().AcquireRocket(bulletFile_, allowReuse);
  return stage_->Effects().AcquireGunBullet(bulletFile_, allowReuse);
}

void Weapon::Unload() {
  fireSound_.Stop();
  fireSound_.Release();
  for (WeaponPort& port : ports_) {
    if (port.projectile != nullptr) {
      port.projectile->Release();
      port.projectile->Body().SetParent(nullptr);
      port.projectile = nullptr;
    }
  }
  ports_.clear();
  Container::Unload();
}

void Weapon::Activate(int side) {
  if (side == kPlayerSide)
    SetPlayerSide();
  else if (side == kEnemySide)
    SetEnemySide();
  loadedCount_ = fullLoadCount_;
  reloadTimer_ = loadTime_;
  aimRequest_ = false;
  fireRequest_ = false;
  flashVisible_ = false;
  currentTarget_ = nullptr;
  if (fireSoundEnable_ && stage_ != nullptr && stage_->Camera() != nullptr)
    fireSound_.SetListenerNode(&stage_->Camera()->Body());
  Container::Activate(side);
  // Loaded from the start: reloading runs only on frames without a fire request, so a turret
  // with the player in its sights at once would otherwise never fire.
  RefillPorts();
}

void Weapon::Unregister() {
  for (WeaponPort& port : ports_) {
    if (port.projectile != nullptr) {
      port.projectile->Release();
      port.projectile = nullptr;
    }
  }
  Container::Unregister();
}

float Weapon::LoadRatio() const {
  if (fullLoadCount_ <= 0)
    return 0.0f;
  return static_cast<float>(loadedCount_) / static_cast<float>(fullLoadCount_);
}

void Weapon::UpdateAlive() {
  SelectTarget();
}

void Weapon::Update() {
  if (fireSoundEnable_)
    fireSound_.Update();
  flashVisible_ = false;
  // A target that broke or left the scene is not aimed at any more.
  if (currentTarget_ != nullptr && !currentTarget_->IsInPlay())
    currentTarget_ = nullptr;
  Container::Update();
}

void Weapon::SelectTarget() {
  if (weaponSide_ == kPlayerSide)
    SelectBestTarget();
  else if (weaponSide_ == kEnemySide)
    SelectPlayerTarget();
}

void Weapon::MeasureTarget(const Target& target, float* distance, float* angleDegrees) const {
  const gfx::Vector3 local = body_.WorldToLocalPoint(target.WorldPosition());
  *distance = gfx::Vec3Length(local);
  const float z = gfx::Vec3Normalize(local).z;
  *angleDegrees = std::acos(std::clamp(z, -1.0f, 1.0f)) * kRadiansToDegrees;
}

void Weapon::SelectBestTarget() {
  const int enemy = Side() == kPlayerSide ? kEnemySide : kPlayerSide;
  Target* best = nullptr;
  float bestAngle = 0.0f;
  const gfx::Vector3 own = WorldPosition();
  for (Target* target : stage_->Targets().Items()) {
    if (target->Side() != enemy || !target->IsInPlay())
      continue;
    const float distance = gfx::Vec3Length(target->WorldPosition() - own);
    if (!(distance < target->SearchTargetActiveDistance()) || !(distance < sightDistance_))
      continue;
    float d = 0.0f, angle = 0.0f;
    MeasureTarget(*target, &d, &angle);
    // The first of equal angles wins, as a stable ordering would give.
    if (best == nullptr || angle < bestAngle) {
      best = target;
      bestAngle = angle;
    }
  }
  currentTarget_ = best;
}

void Weapon::SelectPlayerTarget() {
  currentTarget_ = nullptr;
  PlayerAircraft* player = stage_ != nullptr ? stage_->Player() : nullptr;
  if (player == nullptr || !player->IsInPlay())
    return;
  if (gfx::Vec3Length(player->WorldPosition() - WorldPosition()) < sightDistance_)
    currentTarget_ = player;
}

void Weapon::Aim() {
  if (currentTarget_ != nullptr) {
    const gfx::Matrix pitchWorld = pitchFrame_.GetWorldMatrix();
    const gfx::Vector3 w = pitchWorld.GetRow(3);
    const gfx::Vector3 f = pitchWorld.GetRow(2);
    const gfx::Vector3 v = currentTarget_->VelocityEstimate();
    const gfx::Vector3 q = currentTarget_->WorldPosition();
    const float d = gfx::Vec3Length(q - w);
    const gfx::Vector3 r = v - referenceBulletVelocity_ * f;
    const float closing = gfx::Vec3Length(r);
    float t = closing > 1e-8f ? d / closing : 0.0f;
    t *= predictFireRate_;
    const gfx::Vector3 point = q + v * t;
    if (Finite(point))
      aimPoint_ = point;
  } else if (centeringEnable_ != 0.0f) {
    aimPoint_ = body_.LocalToWorldPoint({0, 0, 100});
  }
  TurnHead();
  TurnPitch();
}

void Weapon::TurnHead() {
  const gfx::Vector3 local = gfx::Vec3Normalize(headFrame_.WorldToLocalPoint(aimPoint_));
  if (!Finite(local))
    return;
  const float yaw = ClampTurn(std::atan2(local.x, local.z) * kRadiansToDegrees, headRotationally_);
  headFrame_.RotateY(CombineMode::LocalAxes, yaw * kDegreesToRadians);
  const gfx::Vector3 forward = headFrame_.GetOrientation().forward;
  const float h = std::atan2(forward.x, forward.z) * kRadiansToDegrees;
  if (h < -maxLeftHeadAngle_)
    ResetAndTurn(headFrame_, true, -maxLeftHeadAngle_);
  if (h > maxRightHeadAngle_)
    ResetAndTurn(headFrame_, true, maxRightHeadAngle_);
}

void Weapon::TurnPitch() {
  const gfx::Vector3 local = gfx::Vec3Normalize(pitchFrame_.WorldToLocalPoint(aimPoint_));
  if (!Finite(local))
    return;
  const float p = ClampTurn(-std::atan2(local.y, local.z) * kRadiansToDegrees, pitchRotationally_);
  pitchFrame_.RotateX(CombineMode::LocalAxes, p * kDegreesToRadians);
  const gfx::Vector3 forward = pitchFrame_.GetOrientation().forward;
  const float u = -std::atan2(forward.y, forward.z) * kRadiansToDegrees;
  if (u < -maxUpPitchAngle_)
    ResetAndTurn(pitchFrame_, false, -maxUpPitchAngle_);
  if (u > maxDownPitchAngle_)
    ResetAndTurn(pitchFrame_, false, maxDownPitchAngle_);
}

void Weapon::ArmPortsForCurrentTarget() {
  for (WeaponPort& port : ports_) {
    if (port.projectile == nullptr)
      continue;
    port.projectile->SetTarget(currentTarget_);
    port.projectile->Arm();
  }
}

void Weapon::Fire() {
  if (loadedCount_ < minFirableCount_)
    return;
  int launched = 0;
  for (WeaponPort& port : ports_) {
    if (launched >= maxFirableCount_)
      break;
    Bullet* projectile = port.projectile;
    if (projectile == nullptr || !projectile->IsArmed())
      continue;
    projectile->SetLaunchVelocity(VelocityEstimate());
    projectile->Activate(Side());
    projectile->MountOnPort(nullptr, false);
    port.projectile = nullptr;
    ++launched;
  }
  if (launched == 0) {
    // A request that launched nothing at least loads the ports for the next one.
    RefillPorts();
    return;
  }
  if (fireSoundEnable_) {
    const TimerPauseScope pause;
    fireSound_.Update();
    fireSound_.Play(false, true);
  }
  flashVisible_ = true;
  if (exhaust_ != nullptr)
    exhaust_->StartTimed(Side());
  loadedCount_ -= launched;
  RefillPorts();
}

void Weapon::RefillPorts() {
  int filled = 0;
  for (const WeaponPort& port : ports_) {
    if (port.projectile != nullptr)
      ++filled;
  }
  for (int missing = loadedCount_ - filled; missing > 0; --missing) {
    auto empty = std::find_if(ports_.begin(), ports_.end(),
                              [](const WeaponPort& port) { return port.projectile == nullptr; });
    if (empty == ports_.end())
      break;  // every port holds one: the rest of the magazine waits
    Bullet* projectile = AcquireProjectile(true);
    if (projectile == nullptr)
      break;
    projectile->MountOnPort(empty->frame.get(), bulletVisible_);
    empty->projectile = projectile;
  }
}

void Weapon::Reload() {
  if (reloadTimer_ > loadTime_)
    return;
  reloadTimer_ += kFrameStep;
  if (reloadTimer_ > loadTime_) {
    loadedCount_ = std::min(loadedCount_ + loadCount_, fullLoadCount_);
    RefillPorts();
    reloadTimer_ = 0.0f;
  }
}

bool Weapon::Cull(ViewCamera& camera, bool alphaPass) {
  BoxCorners corners;
  if (!alphaPass) {
    if (headMeshEnable_ && headMesh_.GetBoxCorners(&corners) && camera.TestBox(corners))
      return true;
    if (pitchMeshEnable_ && pitchMesh_.GetBoxCorners(&corners) && camera.TestBox(corners))
      return true;
  } else if (flashMeshEnable_ && flashVisible_ && flashMesh_.GetBoxCorners(&corners) &&
             camera.TestBox(corners)) {
    return true;
  }
  return Container::Cull(camera, alphaPass);
}

bool Weapon::DrawNormal() {
  bool drawn = false;
  if (headMeshEnable_)
    drawn = headMesh_.Draw() || drawn;
  if (pitchMeshEnable_)
    drawn = pitchMesh_.Draw() || drawn;
  return Container::DrawNormal() || drawn;
}

bool Weapon::DrawAlpha() {
  bool drawn = false;
  if (flashMeshEnable_ && flashVisible_) {
    platform::RenderDevice* device = DeviceOrCurrent(nullptr);
    using platform::RenderState;
    if (device != nullptr) {
      device->SetRenderState(RenderState::SrcBlend, platform::Blend::SrcAlpha);
      device->SetRenderState(RenderState::DestBlend, platform::Blend::One);
      device->SetRenderState(RenderState::Lighting, 0u);
      device->SetRenderState(RenderState::CullMode, platform::CullMode::None);
    }
    drawn = flashMesh_.Draw();
    if (device != nullptr) {
      device->SetRenderState(RenderState::SrcBlend, platform::Blend::SrcAlpha);
      device->SetRenderState(RenderState::DestBlend, platform::Blend::InvSrcAlpha);
      device->SetRenderState(RenderState::Lighting, 1u);
      device->SetRenderState(RenderState::CullMode, platform::CullMode::CounterClockwise);
    }
  }
  return Container::DrawAlpha() || drawn;
}

bool Weapon::CollectSpheres(std::vector<CollisionSphere>& list) {
  Container::CollectSpheres(list);
  for (const MeshInstance* mesh : {&headMesh_, &pitchMesh_}) {
    if ((mesh == &headMesh_ ? headMeshEnable_ : pitchMeshEnable_)) {
      CollisionSphere sphere;
      mesh->GetBoundingSphere(&sphere.centre, &sphere.radius);
      list.push_back(sphere);
    }
  }
  return true;
}

bool Weapon::TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) {
  // On the stack: the test runs for many pairs a frame.
  const MeshInstance* meshes[3];
  size_t count = 0;
  if (HasNormalMesh())
    meshes[count++] = &NormalMesh();
  if (headMeshEnable_)
    meshes[count++] = &headMesh_;
  if (pitchMeshEnable_)
    meshes[count++] = &pitchMesh_;
  return TestRaysAgainst(other, {meshes, count}, hitPoint, push);
}

}  // namespace quarn
