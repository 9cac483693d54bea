#pragma once
// What can be aimed at, takes damage and breaks: it announces itself to the stage's target
// lists, loses Armour to each hit's impulsive force, and breaks at zero with a particle, a
// random delay, three "disable" options and the progress points it pays to the stage.
#include <array>

#include "units/Solid.h"

namespace quarn {

enum class LifeState : int { Inactive = 0, Alive = 1, Breaking = 2, Destructing = 3 };

class Target : public Solid {
 public:
  static constexpr int kProgressCounters = 8;

  explicit Target(StageServices* stage);
  ~Target() override;

  bool Load(const std::string& file, int updatePriority, int collisionGroup,
            std::vector<int> collideGroups) override;
  void Activate(int side) override;
  void Deactivate() override;
  // Armour exhausted; only from Alive.
  virtual void Break();
  virtual void UpdateAlive() = 0;
  virtual void UpdateBreaking();
  virtual void OnBroken();

  void Update() override;
  // Broken and left the scene, or destructing, is no longer in play.
  bool IsInPlay() const override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;

  bool IsTargetEnabled() const { return targetEnable_; }
  bool IsSearchTarget() const { return searchTargetEnable_; }
  bool IsGroundTarget() const { return groundTargetEnable_; }
  bool IsAirTarget() const { return airTargetEnable_; }
  bool IsImportant() const { return importantTargetEnable_; }
  float TargetActiveDistance() const { return targetActiveDistance_; }
  float SearchTargetActiveDistance() const { return searchTargetActiveDistance_; }
  float Armored() const { return armored_; }
  float Armour() const { return armour_; }
  // Armour left over full Armour; 0 when either is not above 0.
  float ArmourRatio() const;
  LifeState GetLifeState() const { return lifeState_; }
  float BreakDelay() const { return breakDelay_; }
  Particle* BreakParticle() const { return breakParticle_; }
  const std::array<int, kProgressCounters>& BreakProgressPoints() const { return breakProgress_; }
  bool InTargetRegistry() const { return inTargets_; }
  bool InSearchRegistry() const { return inSearch_; }

 protected:
  void SetLifeState(LifeState state) { lifeState_ = state; }
  float& StateTimer() { return timer_; }
  // Armour after a hit or a ground strike; breaks when it is no longer above 0.
  void TakeDamage(float force);
  // The Breaking timer: OnBroken on the frame the delay first passes.
  void StepBreakTimer();
  void EnterTargetRegistry();
  void LeaveTargetRegistry();
  void EnterSearchRegistry();
  void LeaveSearchRegistry();
  void PayProgress(const std::array<int, kProgressCounters>& points);

 private:
  void LeaveRegistries();

  bool targetEnable_ = false;
  bool searchTargetEnable_ = false;
  bool groundTargetEnable_ = false;
  bool airTargetEnable_ = false;
  bool importantTargetEnable_ = false;
  float targetActiveDistance_ = 0;
  float searchTargetActiveDistance_ = 0;
  float armored_ = 0;
  std::array<int, kProgressCounters> breakProgress_{};
  bool breakParticleEnable_ = false;
  Particle* breakParticle_ = nullptr;
  float minBreakDelay_ = 0;
  float maxBreakDelay_ = 0;
  float breakDelay_ = 0;
  bool breakParticleDisable_ = false;
  bool breakExistDisable_ = false;
  bool breakSearchTargetDisable_ = false;
  LifeState lifeState_ = LifeState::Inactive;
  float armour_ = 0;
  float timer_ = 0;
  bool inTargets_ = false;
  bool inSearch_ = false;
};

// A delay drawn between min and max; negative or NaN counts as 0, so the event still fires.
float DrawDelay(float minimum, float maximum);

}  // namespace quarn
