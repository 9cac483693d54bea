#pragma once
// The aircraft the player flies: loaded from the aircraft file, two selectable weapon files
// and the stage's "PlayerAircraft" section; steered through the stage's logical axes and
// buttons; with a double-tap evasive roll, a limited active time that burns faster at full
// throttle and while rolling, and an automatic return when it leaves the combat area or the
// height band. The chase camera follows its view frame, which does not roll with it.
#include <array>
#include <string>

#include "units/Aircraft.h"
#include "units/WeaponSlot.h"

namespace quarn {

class ButtonMap;
class Trajectory;

class PlayerAircraft : public Aircraft {
 public:
  // Logical buttons of the stage mapping.
  enum Button : int {
    kRollLeft = 1,
    kRollRight = 2,
    kFirePrimary = 3,
    kFireSecondary = 4,
    kThrottle = 5,
    kSuppressA = 7,
    kSuppressB = 8,
  };
  static constexpr int kPitchAxis = 1, kBankAxis = 2, kHeadAxis = 3;

  struct RollState {
    bool rolling = false;
    bool held = false;
    float direction = 0;  // -1 left, +1 right
    float leftTimer = 0;  // since the last press of each roll button, seconds
    float rightTimer = 0;
    float rate = 0;      // degrees per frame
    float sideways = 0;  // units per frame
    float angle = 0;     // degrees
    int countTarget = 0;
  };

  explicit PlayerAircraft(StageServices* stage);
  ~PlayerAircraft() override;

  bool LoadUnit(const std::string& file) override;
  void Unload() override;
  void UpdateAlive() override;
  void UpdateBreaking() override;
  void UpdateDestructing() override;
  void BehaveHold() override;
  void BehaveReturnToArea() override;
  void BehaveRecoverHeight() override;
  void SteerToward(const gfx::Vector3& point) override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                   const gfx::Vector3& push) override;

  // section: the stage file with its "PlayerAircraft" section selected.
  virtual bool LoadPlayer(const std::string& aircraftFile, const std::string& primaryFile,
                          const std::string& secondaryFile, DefinitionFile& section);
  // On the player's side, in Hold (the player's own control step).
  virtual void StartPlayer();

  const WeaponSlot& Slot(int index) const { return slots_[index == 0 ? 0 : 1]; }
  float ActiveTime() const { return activeTime_; }
  float Heat() const { return heat_; }
  const RollState& Roll() const { return roll_; }
  Transform& ViewFrame() { return viewFrame_; }
  bool Overheated() const { return overheatStarted_; }
  Particle* OverheatParticle() const { return overheat_; }

 private:
  void LoadSlot(int index, const std::string& file);
  void StartRoll(float direction);
  void StepHeat();
  void StepRoll();
  void DriveWeapon(const WeaponSlot& slot, int fireButton);

  Transform viewFrame_;
  float throttleActiveTimeRate_ = 0;
  float rollingActiveTimeRate_ = 0;
  bool overheatEnable_ = false;
  Particle* overheat_ = nullptr;
  float rollingDownTime_ = 0;
  float rollingRotationallyDelta_ = 0;
  float rollingVelocityDelta_ = 0;
  int rollingCount_ = 0;
  bool rollingTrailEnable_ = false;
  Trajectory* rollingTrail_ = nullptr;
  std::array<WeaponSlot, 2> slots_;
  float activeTime_ = 0;
  float heat_ = 0;
  RollState roll_;
  bool overheatStarted_ = false;
  bool trailOn_ = false;
};

}  // namespace quarn
