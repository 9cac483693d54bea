#include "units/PlayerAircraft.h"

#include <algorithm>
#include <cmath>

#include "engine/ButtonMap.h"
#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/ResourceCache.h"
#include "platform/Diagnostics.h"
#include "render/Texture.h"
#include "units/ChaseCamera.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageServices.h"
#include "units/Trajectory.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn {

namespace {
constexpr float kAxisScale = 1.0f / 32767.0f;
constexpr float kHitShake = 2.5f;
constexpr float kGroundShake = 1.25f;
constexpr int kReturnMessage = 4;
constexpr int kHeightMessage = 5;
}  // namespace

Weapon* WeaponSlot::Any() const {
  if (rapid != nullptr)
    return rapid;
  if (lock != nullptr)
    return lock;
  return charge;
}

PlayerAircraft::PlayerAircraft(StageServices* stage) : Aircraft(stage) {
  SetUnitId(-1);
}

PlayerAircraft::~PlayerAircraft() {
  viewFrame_.SetParent(nullptr);
}

bool PlayerAircraft::LoadUnit(const std::string& file) {
  if (!Aircraft::LoadUnit(file))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("PlayerAircraft");
  throttleActiveTimeRate_ = def.GetFloat("ThrottleActiveTimeRate", 0.0f);
  rollingActiveTimeRate_ = def.GetFloat("RollingActiveTimeRate", 0.0f);
  overheatEnable_ = def.GetBool("OverheatParticleEnable", false);
  const std::string overheatFile = def.GetString("OverheatParticle", "");
  rollingDownTime_ = def.GetFloat("RollingDownTime", 0.0f);
  rollingRotationallyDelta_ = def.GetFloat("RollingRotationallyDelta", 0.0f);
  rollingVelocityDelta_ = def.GetFloat("RollingVelocityDelta", 0.0f);
  rollingCount_ = def.GetInt("RollingCount", 0);
  rollingTrailEnable_ = def.GetBool("RollingTrajectoryEnable", false);
  const std::string trailFile = def.GetString("RollingTrajectoryFile", "");
  if (overheatEnable_) {
    overheat_ = stage_->Effects().AcquireParticle(overheatFile, true);
    overheat_->Hold();
    overheat_->Body().SetParent(&body_);
  }
  if (rollingTrailEnable_) {
    rollingTrail_ = stage_->Effects().AcquireTrail(trailFile, true);
    rollingTrail_->Hold();
    rollingTrail_->Body().SetParent(&body_);
  }
  viewFrame_.SetParent(&stage_->WorldRoot());
  if (ChaseCamera* camera = stage_->Camera())
    camera->SetFollowedFrame(&viewFrame_);
  return true;
}

void PlayerAircraft::LoadSlot(int index, const std::string& file) {
  WeaponSlot& slot = slots_[static_cast<size_t>(index)];
  slot = WeaponSlot{};
  DefinitionFile* def = stage_->Cache().GetDefinition(file);
  if (def == nullptr)
    return;  // an empty slot: nothing to fire, nothing drawn for it
  def->SelectSection("SelectableWeapon");
  // The mount is read before the weapon's own file loads: it may be this very file.
  const bool rapid = def->GetBool("RapidWeaponEnable", false);
  const bool lock = def->GetBool("LockWeaponEnable", false);
  const std::string weaponFile = def->GetString("DefineFile", "");
  const gfx::Vector3 position(def->GetFloat("PositionX", 0.0f), def->GetFloat("PositionY", 0.0f),
                              def->GetFloat("PositionZ", 0.0f));
  const float heading = def->GetFloat("OrientationH", 0.0f);
  const float pitch = def->GetFloat("OrientationP", 0.0f);
  const float bank = def->GetFloat("OrientationB", 0.0f);
  const std::string texture = def->GetString("HUDTextureFile", "");
  Container* weapon = nullptr;
  if (rapid) {
    auto made = std::make_unique<RapidWeapon>(stage_);
    slot.rapid = made.get();
    weapon = made.get();
    AdoptRapidWeapon(std::move(made));
  } else if (lock) {
    auto made = std::make_unique<LockWeapon>(stage_);
    slot.lock = made.get();
    weapon = made.get();
    AdoptLockWeapon(std::move(made));
  } else {
    auto made = std::make_unique<ChargeWeapon>(stage_);
    slot.charge = made.get();
    weapon = made.get();
    AdoptChargeWeapon(std::move(made));
  }
  LoadChildSafely(*weapon, weaponFile);
  Mount(*weapon, position, heading, pitch, bank);
  slot.hudTexture = stage_->Cache().GetTexture(texture);
}

bool PlayerAircraft::LoadPlayer(const std::string& aircraftFile, const std::string& primaryFile,
                                const std::string& secondaryFile, DefinitionFile& section) {
  // The placement is read first: the aircraft's files may share the stage's definition.
  const std::string selected = section.CurrentSection();
  ReadLayout(section);
  ReadArea(section);
  activeTime_ = section.GetFloat("ActiveTimeLimit", 0.0f);
  if (!std::isfinite(activeTime_)) {
    platform::ReportProblem(section.Name() + " [" + selected + "] ActiveTimeLimit",
                            "is not a number; 0 is used");
    activeTime_ = 0.0f;
  }
  if (!LoadUnit(aircraftFile))
    return false;
  LoadSlot(0, primaryFile);
  LoadSlot(1, secondaryFile);
  return true;
}

void PlayerAircraft::StartPlayer() {
  Activate(kPlayerSide);
  roll_ = RollState{};
  // A single tap at the start never rolls: the double-tap window opens with the first press.
  roll_.leftTimer = roll_.rightTimer = rollingDownTime_;
  overheatStarted_ = false;
  trailOn_ = false;
  SetMode(BehaviourMode::Hold);
}

void PlayerAircraft::Unload() {
  viewFrame_.SetParent(nullptr);
  Aircraft::Unload();
}

void PlayerAircraft::StartRoll(float direction) {
  // A roll that cannot turn would never end and would hold the weapons for good.
  if (!(rollingRotationallyDelta_ > 0.0f))
    return;
  roll_.rolling = true;
  roll_.held = true;
  roll_.direction = direction;
  roll_.rate = 0.0f;
  roll_.sideways = 0.0f;
  roll_.angle = 0.0f;
  roll_.countTarget = 1;
}

void PlayerAircraft::DriveWeapon(const WeaponSlot& slot, int fireButton) {
  const ButtonMap& buttons = stage_->Buttons();
  const bool held = buttons.GetButton(fireButton) != 0;
  const bool released = buttons.IsReleased(fireButton);
  if (slot.rapid != nullptr) {
    slot.rapid->RequestAim();
    if (held)
      slot.rapid->RequestFire();
  } else if (slot.lock != nullptr) {
    slot.lock->RequestAim();
    if (released)
      slot.lock->RequestFire();
    else
      slot.lock->SetLocking(!roll_.rolling && held);
  } else if (slot.charge != nullptr) {
    slot.charge->RequestAim();
    if (released)
      slot.charge->RequestFire();
    else
      slot.charge->SetCharging(!roll_.rolling && held);
  }
}

void PlayerAircraft::BehaveHold() {
  const ButtonMap& buttons = stage_->Buttons();
  const bool suppress = buttons.GetButton(kSuppressA) != 0 || buttons.GetButton(kSuppressB) != 0;
  SetPitchInput(static_cast<float>(buttons.GetAxis(kPitchAxis)) * kAxisScale);
  if (suppress || roll_.rolling)
    SetBankInput(0.0f);
  else
    SetBankInput(static_cast<float>(buttons.GetAxis(kBankAxis)) * kAxisScale);
  SetHeadInput(static_cast<float>(buttons.GetAxis(kHeadAxis)) * kAxisScale);
  SetThrottleInput(buttons.GetButton(kThrottle) != 0 ? 1.0f : 0.0f);
  if (!suppress && !roll_.rolling) {
    roll_.leftTimer += kFrameStep;
    roll_.rightTimer += kFrameStep;
    if (buttons.IsPressed(kRollLeft)) {
      if (roll_.leftTimer < rollingDownTime_)
        StartRoll(-1.0f);
      roll_.leftTimer = 0.0f;
    } else if (buttons.IsPressed(kRollRight)) {
      if (roll_.rightTimer < rollingDownTime_)
        StartRoll(1.0f);
      roll_.rightTimer = 0.0f;
    }
  }
  if (roll_.rolling && !suppress) {
    const int button = roll_.direction > 0.0f ? kRollRight : kRollLeft;
    if (buttons.GetButton(button) == 0)
      roll_.held = false;
  }
  DriveWeapon(slots_[0], kFirePrimary);
  DriveWeapon(slots_[1], kFireSecondary);
  if (!HeightBandHolds())
    SetMode(BehaviourMode::RecoverHeight);
  if (AreaDistance() > AreaOuterDistance())
    SetMode(BehaviourMode::ReturnToArea);
}

void PlayerAircraft::BehaveReturnToArea() {
  stage_->SetHudMessage(kReturnMessage);
  const gfx::Vector3 centre = stage_->AreaCentre().GetWorldMatrix().GetRow(3);
  SteerToward({centre.x, WorldPosition().y, centre.z});
  if (AreaDistance() < AreaInnerDistance())
    SetMode(BehaviourMode::Hold);
}

void PlayerAircraft::BehaveRecoverHeight() {
  stage_->SetHudMessage(kHeightMessage);
  const gfx::Vector3 own = WorldPosition();
  SteerToward({own.x, (MaxHeight() + MinHeight()) * 0.5f, own.z});
  if (HeightBandHolds())
    SetMode(BehaviourMode::Hold);
}

void PlayerAircraft::SteerToward(const gfx::Vector3& point) {
  SteerLight(body_.WorldToLocalPoint(point));
}

void PlayerAircraft::StepHeat() {
  const float range = MaxVelocity() - MinVelocity();
  float c = std::fabs(range) > 1e-8f ? (Speed() - MinVelocity()) / range : 0.0f;
  // Flying below the minimum (a damaged aircraft) does not earn time back.
  c = std::clamp(std::isfinite(c) ? c : 0.0f, 0.0f, 1.0f);
  const float r = roll_.rolling ? rollingActiveTimeRate_ : 0.0f;
  const float weights = throttleActiveTimeRate_ + rollingActiveTimeRate_;
  const float load = c * throttleActiveTimeRate_ + r;
  heat_ = std::fabs(weights) > 1e-8f ? load / weights : 0.0f;
  activeTime_ -= (load + 1.0f) * kFrameStep;
  // Started once: starting it every frame would replay its sound thirty times a second.
  if (activeTime_ < 0.0f && overheat_ != nullptr && !overheatStarted_) {
    overheat_->StartContinuous(Side());
    overheatStarted_ = true;
  }
}

void PlayerAircraft::StepRoll() {
  if (!roll_.rolling) {
    viewFrame_.AlignTo(&body_);
    if (trailOn_ && rollingTrail_ != nullptr)
      rollingTrail_->StopEmitting();
    trailOn_ = false;
    return;
  }
  RollState& r = roll_;
  bool spent = false;
  if (r.angle < 180.0f) {
    r.rate += rollingRotationallyDelta_;
    r.sideways += rollingVelocityDelta_;
    r.angle += r.rate;
    if (r.angle >= 180.0f && r.held)
      r.countTarget = 2;
  } else {
    const int k = r.countTarget;
    const float m = static_cast<float>(k) * 360.0f - 180.0f;
    if (m >= r.angle) {
      r.angle += r.rate;
      // Extending never lowers the target, whatever RollingCount says.
      if (r.angle >= m && r.held)
        r.countTarget = std::max(k, std::min(k + 1, rollingCount_));
    } else {
      r.angle += r.rate;
      r.rate -= rollingRotationallyDelta_;
      r.sideways -= rollingVelocityDelta_;
      spent = !(r.rate > 0.0f) && r.angle < static_cast<float>(r.countTarget) * 360.0f;
    }
  }
  body_.AlignTo(&LayoutFrame());
  body_.RotateZ(CombineMode::LocalAxes, -(r.direction * r.angle) * kDegreesToRadians);
  LayoutFrame().Translate(CombineMode::LocalAxes, {r.direction * r.sideways, 0.0f, 0.0f});
  viewFrame_.AlignTo(&LayoutFrame());
  if (rollingTrail_ != nullptr && !trailOn_) {
    rollingTrail_->StartContinuous(Side());
    trailOn_ = true;
  }
  // A roll whose turn is used up before the last whole turn (rounding) ends there too.
  if (static_cast<float>(r.countTarget) * 360.0f <= r.angle || spent) {
    body_.AlignTo(&LayoutFrame());
    const float left = r.leftTimer, right = r.rightTimer;
    r = RollState{};
    // After a roll the double-tap window opens afresh with the next press.
    r.leftTimer = std::max(left, rollingDownTime_);
    r.rightTimer = std::max(right, rollingDownTime_);
  }
}

void PlayerAircraft::UpdateAlive() {
  StepHeat();
  StepRoll();
  Aircraft::UpdateAlive();
}

void PlayerAircraft::UpdateBreaking() {
  viewFrame_.AlignTo(&body_);
  Aircraft::UpdateBreaking();
}

void PlayerAircraft::UpdateDestructing() {
  viewFrame_.AlignTo(&body_);
  Aircraft::UpdateDestructing();
}

bool PlayerAircraft::OnHit(Collider& other, const gfx::Vector3& hitPoint,
                           const gfx::Vector3& push) {
  if (ChaseCamera* camera = stage_->Camera())
    camera->SetShake(kHitShake);
  return Aircraft::OnHit(other, hitPoint, push);
}

bool PlayerAircraft::OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                                 const gfx::Vector3& push) {
  if (ChaseCamera* camera = stage_->Camera())
    camera->SetShake(kGroundShake);
  return Aircraft::OnGroundHit(ground, index, hitPoint, push);
}

}  // namespace quarn
