#include "units/Model.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/ResourceCache.h"
#include "render/RenderManager.h"
#include "units/CollisionManager.h"
#include "units/ReuseMarks.h"
#include "units/Side.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn {

Model::Model(StageServices* stage) : RigidBody(stage) {}

Model::~Model() {
  // Whoever watched this object may be gone already (the pool empties in its own order).
  reuseMarks_ = nullptr;
  finishWatcher_ = nullptr;
  LeaveServices();
}

DefinitionFile* Model::Definition() const {
  if (stage_ == nullptr || file_.empty())
    return nullptr;
  return stage_->Cache().GetDefinition(file_);
}

bool Model::Load(const std::string& file, int updatePriority, int collisionGroup,
                 std::vector<int> collideGroups) {
  file_ = file;
  updatePriority_ = updatePriority;
  collisionGroup_ = collisionGroup;
  collideGroups_ = std::move(collideGroups);
  DefinitionFile* definition = Definition();
  loaded_ = definition != nullptr;
  if (!loaded_)
    return false;
  definition->SelectSection("Model");
  return true;
}

void Model::Activate(int side) {
  side_ = side;
  // The estimate starts here, so an object that emerges or is reused does not report one
  // frame of teleport speed.
  previousPosition_ = WorldPosition();
  velocityEstimate_ = {};
  if (stage_ != nullptr && !inUpdates_)
    inUpdates_ = stage_->Updates().Register(this, static_cast<unsigned>(updatePriority_));
  Register();
}

void Model::Deactivate() {
  Unregister();
  if (stage_ != nullptr && inUpdates_) {
    stage_->Updates().Unregister(this);
    inUpdates_ = false;
  }
  NotifyMaybeFinished();
}

void Model::NotifyMaybeFinished() {
  if (reuseMarks_ != nullptr)
    reuseMarks_->Set(reuseIndex_);
  if (finishWatcher_ != nullptr)
    finishWatcher_->NotifyMaybeFinished();
}

bool Model::IsActive() const {
  return inRenders_ || inCollisions_;
}

bool Model::IsFinished() const {
  return !IsActive();
}

void Model::Register() {
  if (stage_ == nullptr)
    return;
  EnterRenders();
  if (collisionEnabled_ && !inCollisions_) {
    std::vector<int> list;
    list.reserve(collideGroups_.size());
    for (int group : collideGroups_)
      list.push_back(group + OpposingGroupOffset(side_));
    inCollisions_ =
        stage_->Collisions().Enter(this, collisionGroup_ + SideGroupOffset(side_), std::move(list));
  }
  // Recorded like the other memberships, so that a pooled object reused many times is listed
  // once and an inactive one is not hit by the ground.
  if (groundCollision_ && !inGround_)
    inGround_ = stage_->Collisions().EnterGround(this);
}

void Model::Unregister() {
  if (stage_ == nullptr)
    return;
  LeaveRenders();
  if (inCollisions_) {
    stage_->Collisions().Leave(this);
    inCollisions_ = false;
  }
  if (inGround_) {
    stage_->Collisions().LeaveGround(this);
    inGround_ = false;
  }
  NotifyMaybeFinished();
}

bool Model::EnterRenders() {
  if (stage_ != nullptr && loaded_ && !inRenders_)
    inRenders_ = stage_->Renders().AddDrawable(this);
  return inRenders_;
}

void Model::LeaveRenders() {
  if (stage_ != nullptr && inRenders_) {
    stage_->Renders().RemoveDrawable(this);
    inRenders_ = false;
    NotifyMaybeFinished();
  }
}

void Model::LeaveServices() {
  Model::Unregister();
  if (stage_ != nullptr && inUpdates_) {
    stage_->Updates().Unregister(this);
    inUpdates_ = false;
  }
}

void Model::Update() {
  const gfx::Vector3 position = WorldPosition();
  velocityEstimate_ = (position - previousPosition_) * kUpdatesPerSecond;
  previousPosition_ = position;
  if (!IsActive())
    Deactivate();
}

bool Model::CollectSpheres(std::vector<CollisionSphere>&) {
  return false;
}

bool Model::CollectRays(std::vector<IntersectRay>&) {
  return false;
}

bool Model::TestCollision(Collider&, gfx::Vector3*, gfx::Vector3*) {
  return false;
}

bool Model::OnHit(Collider&, const gfx::Vector3&, const gfx::Vector3&) {
  return false;
}

bool Model::OnGroundHit(GroundCollider&, int, const gfx::Vector3&, const gfx::Vector3&) {
  return false;
}

}  // namespace quarn
