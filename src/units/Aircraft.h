#pragma once
// A unit that flies: a speed model with Power, pitch, head and bank rate commands, and each
// frame a turn and a push along the LayoutFrame's nose. Shot down, it falls under gravity with
// a random spin and skips to its crash event when it strikes anything.
#include "units/Unit.h"

namespace quarn {

class Aircraft : public Unit {
 public:
  explicit Aircraft(StageServices* stage);
  ~Aircraft() override;

  bool LoadUnit(const std::string& file) override;
  void Activate(int side) override;
  void UpdateAlive() override;
  void UpdateBreaking() override;
  void UpdateDestructing() override;
  void Destruct() override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                   const gfx::Vector3& push) override;

  virtual void SetPitchInput(float x);
  virtual void SetHeadInput(float x);
  virtual void SetBankInput(float x);
  virtual void SetThrottleInput(float x);

  float Speed() const { return speed_; }
  float PitchRate() const { return pitchRate_; }
  float HeadRate() const { return headRate_; }
  float BankRate() const { return bankRate_; }
  float Travelled() const { return travelled_; }
  float MinVelocity() const { return minVelocity_; }
  float MaxVelocity() const { return maxVelocity_; }
  float MaxUpPitch() const { return maxUpPitch_; }
  float MaxDownPitch() const { return maxDownPitch_; }
  float MaxHead() const { return maxHead_; }
  float MaxBank() const { return maxBank_; }
  int CrashEventIndex() const { return crashEventIndex_; }

 protected:
  // One frame on the LayoutFrame: the rate turns, then the speed along the nose.
  void Fly();
  // The crash-event jump after a hit while destructing.
  void JumpToCrashEvent();
  // The LightAircraft steering rule toward a point given in frame's axes (x right, y up, z
  // forward): roll it over the head and pull toward 2.5 degrees above the nose.
  void SteerLight(const gfx::Vector3& local);
  void SteerHeavy(const gfx::Vector3& local);

 private:
  float minVelocity_ = 0;
  float maxVelocity_ = 0;
  float acceleration_ = 0;
  float deceleration_ = 0;
  float maxUpPitch_ = 0;
  float maxDownPitch_ = 0;
  float maxHead_ = 0;
  float maxBank_ = 0;
  int crashEventIndex_ = 0;
  float speed_ = 0;
  float pitchRate_ = 0;
  float headRate_ = 0;
  float bankRate_ = 0;
  float travelled_ = 0;
};

}  // namespace quarn
