#include "units/Target.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/StageServices.h"

namespace quarn {

float DrawDelay(float minimum, float maximum) {
  const float delay = RandRange(minimum, maximum);
  return delay > 0.0f ? delay : 0.0f;
}

Target::Target(StageServices* stage) : Solid(stage) {}

Target::~Target() {
  LeaveRegistries();
}

bool Target::Load(const std::string& file, int updatePriority, int collisionGroup,
                  std::vector<int> collideGroups) {
  if (!Solid::Load(file, updatePriority, collisionGroup, std::move(collideGroups)))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Target");
  targetEnable_ = def.GetBool("TargetEnable", false);
  searchTargetEnable_ = def.GetBool("SearchTargetEnable", false);
  groundTargetEnable_ = def.GetBool("GroundTargetEnable", false);
  airTargetEnable_ = def.GetBool("AirTargetEnable", false);
  importantTargetEnable_ = def.GetBool("ImportantTargetEnable", false);
  targetActiveDistance_ = def.GetFloat("TargetActiveDistance", 0.0f);
  searchTargetActiveDistance_ = def.GetFloat("SearchTargetActiveDistance", 0.0f);
  armored_ = def.GetFloat("Armored", 0.0f);
  for (unsigned i = 0; i < breakProgress_.size(); ++i)
    breakProgress_[i] = def.GetInt("BreakProgressPoint", i, 0);
  breakParticleEnable_ = def.GetBool("BreakParticleEnable", false);
  const std::string particleFile = def.GetString("BreakParticleFile", "");
  minBreakDelay_ = def.GetFloat("MinBreakDelayTime", 0.0f);
  maxBreakDelay_ = def.GetFloat("MaxBreakDelayTime", 0.0f);
  breakParticleDisable_ = def.GetBool("BreakParticleDisable", false);
  breakExistDisable_ = def.GetBool("BreakExistDisable", false);
  breakSearchTargetDisable_ = def.GetBool("BreakSearchTargetDisable", false);
  if (breakParticleEnable_ && stage_ != nullptr) {
    breakParticle_ = stage_->Effects().AcquireParticle(particleFile, true);
    breakParticle_->Hold();
    breakParticle_->Body().SetParent(&body_);
  }
  return true;
}

float Target::ArmourRatio() const {
  if (armour_ > 0.0f && std::fabs(armored_) > 1e-8f)
    return armour_ / armored_;
  return 0.0f;
}

void Target::EnterTargetRegistry() {
  if (targetEnable_ && stage_ != nullptr && !inTargets_)
    inTargets_ = stage_->Targets().Add(this);
}

void Target::LeaveTargetRegistry() {
  if (inTargets_) {
    stage_->Targets().Remove(this);
    inTargets_ = false;
  }
}

void Target::EnterSearchRegistry() {
  if (searchTargetEnable_ && stage_ != nullptr && !inSearch_)
    inSearch_ = stage_->SearchTargets().Add(this);
}

void Target::LeaveSearchRegistry() {
  if (inSearch_) {
    stage_->SearchTargets().Remove(this);
    inSearch_ = false;
  }
}

void Target::LeaveRegistries() {
  LeaveTargetRegistry();
  LeaveSearchRegistry();
}

void Target::Activate(int side) {
  lifeState_ = LifeState::Alive;
  timer_ = 0.0f;
  armour_ = armored_;
  EnterTargetRegistry();
  EnterSearchRegistry();
  Solid::Activate(side);
}

void Target::Deactivate() {
  if (breakParticle_ != nullptr)
    breakParticle_->StopEmitting();
  LeaveRegistries();
  Solid::Deactivate();
}

void Target::Update() {
  if (lifeState_ == LifeState::Alive) {
    UpdateAlive();
  } else if (lifeState_ == LifeState::Breaking) {
    UpdateBreaking();
  }
  Model::Update();
}

bool Target::IsInPlay() const {
  return (InRenders() || InCollisions()) &&
         (lifeState_ == LifeState::Alive || lifeState_ == LifeState::Breaking);
}

void Target::TakeDamage(float force) {
  if (armour_ > 0.0f) {
    armour_ -= force;
    if (!(armour_ > 0.0f))
      Break();
  }
}

bool Target::OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3&) {
  TakeDamage(other.GetImpulsiveForce());
  Shatter(hitPoint);
  return true;
}

void Target::Break() {
  if (lifeState_ != LifeState::Alive)
    return;
  LeaveTargetRegistry();
  if (breakParticle_ != nullptr)
    breakParticle_->StartTimed(Side());
  lifeState_ = LifeState::Breaking;
  timer_ = 0.0f;
  breakDelay_ = DrawDelay(minBreakDelay_, maxBreakDelay_);
}

void Target::StepBreakTimer() {
  if (timer_ > breakDelay_)
    return;
  timer_ += kFrameStep;
  if (timer_ > breakDelay_)
    OnBroken();
}

void Target::UpdateBreaking() {
  StepBreakTimer();
}

void Target::PayProgress(const std::array<int, kProgressCounters>& points) {
  if (stage_ == nullptr)
    return;
  for (int i = 0; i < kProgressCounters; ++i)
    stage_->AddProgressPoint(i, points[i]);
}

void Target::OnBroken() {
  if (breakParticle_ != nullptr && breakParticleDisable_)
    breakParticle_->StopEmitting();
  if (breakExistDisable_)
    Unregister();
  if (breakSearchTargetDisable_)
    LeaveSearchRegistry();
  PayProgress(breakProgress_);
}

}  // namespace quarn
