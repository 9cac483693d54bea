#include "units/Unit.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "units/Side.h"
#include "units/StageServices.h"

namespace quarn {

Unit::Unit(StageServices* stage) : Container(stage) {}

Unit::~Unit() {
  LeaveAreaRegistry();
}

bool Unit::LoadUnit(const std::string& file) {
  if (!LoadContainer(file, 1, kUnitGroup, nullptr))
    return false;
  if (stage_ != nullptr)
    layoutFrame_.SetParent(&stage_->WorldRoot());
  body_.SetParent(&layoutFrame_);
  Definition()->SelectSection("Unit");
  broken_ = false;
  destructed_ = false;
  return true;
}

void Unit::ReadLayout(const DefinitionFile& section) {
  layoutPosition_ = {section.GetFloat("LayoutPositionX", 0.0f),
                     section.GetFloat("LayoutPositionY", 0.0f),
                     section.GetFloat("LayoutPositionZ", 0.0f)};
  layoutOrientation_ = {section.GetFloat("LayoutOrientationH", 0.0f),
                        section.GetFloat("LayoutOrientationP", 0.0f),
                        section.GetFloat("LayoutOrientationB", 0.0f)};
}

void Unit::ReadArea(const DefinitionFile& section) {
  areaOuterDistance_ = section.GetFloat("AreaOuterDistance", 0.0f);
  areaInnerDistance_ = section.GetFloat("AreaInnerDistance", 0.0f);
  maxHeight_ = section.GetFloat("MaxHeight", 0.0f);
  minHeight_ = section.GetFloat("MinHeight", 0.0f);
  avoidDistance_ = section.GetFloat("AvoidDistance", 0.0f);
}

bool Unit::LoadPlacement(DefinitionFile& stage) {
  // Everything is read before the unit's own file loads, which may move the stage file's
  // current section; the UnitID counts even when the unit fails, so that it is filed under
  // its own number.
  const std::string file = stage.GetString("DefineFile", "");
  unitId_ = stage.GetInt("UnitID", 0);
  const bool areaUnit = stage.GetBool("AreaUnitEnable", false);
  const bool relativeLayout = stage.GetBool("RelativeLayoutUnitEnable", false);
  const int layoutUnit = relativeLayout ? stage.GetInt("RelativeLayoutUnitID", 0) : 0;
  ReadLayout(stage);
  const bool relativeDestination = stage.GetBool("RelativeDestinationUnitEnable", false);
  const int destinationUnit =
      relativeDestination ? stage.GetInt("RelativeDestinationUnitID", 0) : 0;
  const gfx::Vector3 destination(stage.GetFloat("DestinationPositionX", 0.0f),
                                 stage.GetFloat("DestinationPositionY", 0.0f),
                                 stage.GetFloat("DestinationPositionZ", 0.0f));
  ReadArea(stage);
  if (!LoadUnit(file))
    return false;
  areaUnitEnable_ = areaUnit;
  relativeLayoutUnitEnable_ = relativeLayout;
  relativeLayoutUnitId_ = layoutUnit;
  relativeDestinationUnitEnable_ = relativeDestination;
  relativeDestinationUnitId_ = destinationUnit;
  destinationPosition_ = destination;
  return true;
}

void Unit::Unload() {
  if (stage_ != nullptr && layoutFrame_.GetParent() == &stage_->WorldRoot())
    stage_->WorldRoot().RemoveChild(&layoutFrame_);
  if (body_.GetParent() == &layoutFrame_)
    layoutFrame_.RemoveChild(&body_);
  Container::Unload();
}

void Unit::PlaceLayoutFrame() {
  Transform* reference = nullptr;
  if (relativeLayoutUnitEnable_ && stage_ != nullptr) {
    // A UnitID that no unit has places relative to the world, as when it is not enabled.
    if (Unit* unit = stage_->FindUnit(relativeLayoutUnitId_))
      reference = &unit->Body();
  }
  if (reference != nullptr) {
    layoutFrame_.AlignTo(reference);
    // Keep the reference's forward direction but drop its bank: up is the world's.
    layoutFrame_.SetOrientation(reference->GetWorldMatrix().GetRow(2), {0, 1, 0},
                                stage_ != nullptr ? &stage_->WorldRoot() : nullptr);
  } else {
    layoutFrame_.AlignTo(stage_ != nullptr ? &stage_->WorldRoot() : nullptr);
  }
  layoutFrame_.Translate(CombineMode::LocalAxes, layoutPosition_);
  layoutFrame_.RotateY(CombineMode::LocalAxes, layoutOrientation_.x * kDegreesToRadians);
  layoutFrame_.RotateX(CombineMode::LocalAxes, layoutOrientation_.y * kDegreesToRadians);
  layoutFrame_.RotateZ(CombineMode::LocalAxes, layoutOrientation_.z * kDegreesToRadians);
}

void Unit::Activate(int side) {
  broken_ = false;
  destructed_ = false;
  power_ = 1.0f;
  PlaceLayoutFrame();
  if (body_.GetParent() == &layoutFrame_)
    body_.AlignTo(&layoutFrame_);
  if (areaUnitEnable_ && stage_ != nullptr && !inArea_)
    inArea_ = stage_->AreaUnits().Add(this);
  Container::Activate(side);
}

void Unit::LeaveAreaRegistry() {
  if (inArea_) {
    stage_->AreaUnits().Remove(this);
    inArea_ = false;
  }
}

void Unit::Unregister() {
  Container::Unregister();
  // A unit that leaves the scene leaves the area too, so the area centre does not follow a
  // wreck that is no longer there.
  LeaveAreaRegistry();
}

void Unit::OnBroken() {
  Container::OnBroken();
  const bool first = !broken_;
  broken_ = true;
  if (first && stage_ != nullptr)
    stage_->UnitBroken(*this);
}

void Unit::OnDestructEvent() {
  Container::OnDestructEvent();
  const bool first = !destructed_;
  destructed_ = true;
  LeaveAreaRegistry();
  if (first && stage_ != nullptr)
    stage_->UnitDestructed(*this);
}

void Unit::ReducePower(float rate) {
  power_ -= rate;
  if (power_ > 1.0f)
    power_ = 1.0f;
  if (!(power_ >= 0.0f))
    power_ = 0.0f;  // also a NaN rate
}

void Unit::UpdateAlive() {
  UpdateMode();
}

void Unit::SetModeHold() {
  mode_ = BehaviourMode::Hold;
}

void Unit::SetModeToDestination() {
  mode_ = BehaviourMode::ToDestination;
  destinationFrame_ = stage_ != nullptr ? &stage_->WorldRoot() : nullptr;
  if (relativeDestinationUnitEnable_ && stage_ != nullptr) {
    if (Unit* unit = stage_->FindUnit(relativeDestinationUnitId_))
      destinationFrame_ = &unit->Body();
  }
}

void Unit::SetModeReturnToArea() {
  mode_ = BehaviourMode::ReturnToArea;
}

void Unit::SetModeRecoverHeight() {
  mode_ = BehaviourMode::RecoverHeight;
}

void Unit::SetMode(BehaviourMode mode) {
  switch (mode) {
    case BehaviourMode::Hold:
      SetModeHold();
      break;
    case BehaviourMode::ToDestination:
      SetModeToDestination();
      break;
    case BehaviourMode::ReturnToArea:
      SetModeReturnToArea();
      break;
    case BehaviourMode::RecoverHeight:
      SetModeRecoverHeight();
      break;
    case BehaviourMode::None:
      mode_ = BehaviourMode::None;
      break;
  }
}

void Unit::UpdateMode() {
  switch (mode_) {
    case BehaviourMode::Hold:
      BehaveHold();
      break;
    case BehaviourMode::ToDestination:
      BehaveToDestination();
      break;
    case BehaviourMode::ReturnToArea:
      BehaveReturnToArea();
      break;
    case BehaviourMode::RecoverHeight:
      BehaveRecoverHeight();
      break;
    case BehaviourMode::None:
      break;
  }
}

bool Unit::HeightBandHolds() const {
  const gfx::Matrix world = body_.GetWorldMatrix();
  const float y = world.m[3][1];
  const float f = world.m[2][1];
  if (y < minHeight_ || y > maxHeight_)
    return false;
  if (f < 0.0f && (minHeight_ - y) / f < avoidDistance_)
    return false;
  if (f > 0.0f && (maxHeight_ - y) / f < avoidDistance_)
    return false;
  return true;
}

float Unit::AreaDistance() const {
  if (stage_ == nullptr)
    return 0.0f;
  const gfx::Vector3 centre = stage_->AreaCentre().GetWorldMatrix().GetRow(3);
  const gfx::Vector3 own = WorldPosition();
  const float dx = own.x - centre.x, dz = own.z - centre.z;
  return std::sqrt(dx * dx + dz * dz);
}

void Unit::BehaveHold() {}

void Unit::BehaveToDestination() {
  const gfx::Vector3 point = destinationFrame_ != nullptr
                                 ? destinationFrame_->LocalToWorldPoint(destinationPosition_)
                                 : destinationPosition_;
  SteerToward(point);
  if (!HeightBandHolds())
    SetMode(BehaviourMode::RecoverHeight);
  if (AreaDistance() > areaOuterDistance_)
    SetMode(BehaviourMode::ReturnToArea);
}

void Unit::BehaveReturnToArea() {
  if (stage_ == nullptr)
    return;
  const gfx::Vector3 centre = stage_->AreaCentre().GetWorldMatrix().GetRow(3);
  SteerToward({centre.x, WorldPosition().y, centre.z});
  if (AreaDistance() < areaInnerDistance_)
    SetMode(BehaviourMode::ToDestination);
}

void Unit::BehaveRecoverHeight() {
  const gfx::Vector3 own = WorldPosition();
  SteerToward({own.x, (maxHeight_ + minHeight_) * 0.5f, own.z});
  if (HeightBandHolds())
    SetMode(BehaviourMode::ToDestination);
}

}  // namespace quarn
