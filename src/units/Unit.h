#pragma once
// A unit of a stage (an aircraft, airship, ship, vehicle or building): made from a placement
// section of the stage file and its own definition file, placed in the world or relative to
// another unit, and steered by four behaviour modes that keep it in the combat area and the
// height band. Power (0 to 1) is what damage leaves of its strength.
#include <string>

#include "units/BehaviourMode.h"
#include "units/Container.h"

namespace quarn {

class Unit : public Container {
 public:
  explicit Unit(StageServices* stage);
  ~Unit() override;

  void Unload() override;
  void Activate(int side) override;
  void Unregister() override;
  void OnBroken() override;
  void OnDestructEvent() override;
  void ReducePower(float rate) override;
  void UpdateAlive() override;

  virtual bool LoadUnit(const std::string& file);
  // The stage's placement section, selected in stage. Fails (reading nothing more than the
  // UnitID) when the unit's own file fails.
  virtual bool LoadPlacement(DefinitionFile& stage);
  virtual void SetModeHold();
  virtual void SetModeToDestination();
  virtual void SetModeReturnToArea();
  virtual void SetModeRecoverHeight();
  virtual void UpdateMode();
  virtual void BehaveHold();
  virtual void BehaveToDestination();
  virtual void BehaveReturnToArea();
  virtual void BehaveRecoverHeight();
  virtual void SteerToward(const gfx::Vector3& point) = 0;

  void SetMode(BehaviourMode mode);
  BehaviourMode Mode() const { return mode_; }
  // False when the body is outside the height band, or its heading meets a band edge nearer
  // than AvoidDistance.
  bool HeightBandHolds() const;
  // Horizontal (x, z) distance from the body to the area centre.
  float AreaDistance() const;

  int UnitId() const { return unitId_; }
  void SetUnitId(int id) { unitId_ = id; }
  bool IsBroken() const { return broken_; }
  bool IsDestructed() const { return destructed_; }
  float Power() const { return power_; }
  bool IsAreaUnit() const { return areaUnitEnable_; }
  Transform& LayoutFrame() { return layoutFrame_; }
  const Transform& LayoutFrame() const { return layoutFrame_; }
  Transform* DestinationFrame() const { return destinationFrame_; }
  const gfx::Vector3& DestinationPosition() const { return destinationPosition_; }

 protected:
  // Placement keys shared with the player's own section.
  void ReadLayout(const DefinitionFile& section);
  void ReadArea(const DefinitionFile& section);
  float MinHeight() const { return minHeight_; }
  float MaxHeight() const { return maxHeight_; }
  float AreaOuterDistance() const { return areaOuterDistance_; }
  float AreaInnerDistance() const { return areaInnerDistance_; }

 private:
  void PlaceLayoutFrame();
  void LeaveAreaRegistry();

  int unitId_ = 0;
  bool areaUnitEnable_ = false;
  bool relativeLayoutUnitEnable_ = false;
  int relativeLayoutUnitId_ = 0;
  gfx::Vector3 layoutPosition_;
  gfx::Vector3 layoutOrientation_;  // heading, pitch, bank in degrees
  bool relativeDestinationUnitEnable_ = false;
  int relativeDestinationUnitId_ = 0;
  gfx::Vector3 destinationPosition_;
  float areaOuterDistance_ = 0;
  float areaInnerDistance_ = 0;
  float maxHeight_ = 0;
  float minHeight_ = 0;
  float avoidDistance_ = 0;
  Transform layoutFrame_;
  bool broken_ = false;
  bool destructed_ = false;
  float power_ = 1;
  BehaviourMode mode_ = BehaviourMode::None;
  Transform* destinationFrame_ = nullptr;
  bool inArea_ = false;
};

}  // namespace quarn
