#pragma once
// A unit that turns only about its heading and moves along its nose: airships, ships and
// ground vehicles, each with its own section of speed keys. They keep their height, so they
// never switch to RecoverHeight.
#include "units/Unit.h"

namespace quarn {

class HeadingMover : public Unit {
 public:
  // section: "Airship", "Ship" or "Vehicle".
  HeadingMover(StageServices* stage, const char* section);
  ~HeadingMover() override;

  bool LoadUnit(const std::string& file) override;
  void Activate(int side) override;
  void UpdateAlive() override;
  void SetModeRecoverHeight() override;
  void SteerToward(const gfx::Vector3& point) override;

  virtual void SetHeadInput(float x);
  virtual void SetThrottleInput(float x);

  float Speed() const { return speed_; }
  float HeadRate() const { return headRate_; }
  float MinVelocity() const { return minVelocity_; }
  float MaxVelocity() const { return maxVelocity_; }
  float MaxHead() const { return maxHead_; }

 protected:
  // One frame on the LayoutFrame: the heading turn, then the speed along the nose.
  void Sail();
  // The falling wreck: the body leaves the LayoutFrame with its speed.
  void StartCrash(float gravity, float mass);

 private:
  const char* section_;
  float minVelocity_ = 0;
  float maxVelocity_ = 0;
  float acceleration_ = 0;
  float deceleration_ = 0;
  float maxHead_ = 0;
  float speed_ = 0;
  float headRate_ = 0;
};

}  // namespace quarn
