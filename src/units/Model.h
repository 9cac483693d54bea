#pragma once
// A scene object: a rigid body that joins the stage's update, render and collision services
// on a Side, with the three secondary interfaces every placed object implements. Whatever
// services it joined it leaves again when it is destroyed.
#include <string>
#include <vector>

#include "render/Drawable.h"
#include "units/Collider.h"
#include "units/RigidBody.h"
#include "units/Updatable.h"

namespace quarn {

class DefinitionFile;
class ReuseMarks;

class Model : public RigidBody, public Updatable, public Drawable, public Collider {
 public:
  explicit Model(StageServices* stage);
  ~Model() override;

  // Selects the file's "Model" section (no keys). False when the file cannot be loaded.
  virtual bool Load(const std::string& file, int updatePriority, int collisionGroup,
                    std::vector<int> collideGroups);
  // Enters the update manager on side, then the render and collision services.
  virtual void Activate(int side);
  virtual void Deactivate();
  // Still in the render or the collision service.
  virtual bool IsActive() const;
  virtual bool IsFinished() const;
  virtual void Register();
  virtual void Unregister();
  // Still worth aiming at and homing on: drawn or collided, and (for a target) not a wreck.
  virtual bool IsInPlay() const { return IsActive(); }

  // Updatable: the velocity estimate, then Deactivate once the object is no longer active.
  void Update() override;

  // Collider: no shapes and no hits at this level.
  bool CollectSpheres(std::vector<CollisionSphere>& list) override;
  bool CollectRays(std::vector<IntersectRay>& list) override;
  bool TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) override;
  bool OnHit(Collider& other, const gfx::Vector3& hitPoint, const gfx::Vector3& push) override;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hitPoint,
                   const gfx::Vector3& push) override;

  int Side() const { return side_; }
  bool IsLoaded() const { return loaded_; }
  const std::string& File() const { return file_; }
  int UpdatePriority() const { return updatePriority_; }
  int GetCollisionGroup() const { return collisionGroup_; }
  const std::vector<int>& CollideGroups() const { return collideGroups_; }
  // World units per second, from the last frame's displacement.
  const gfx::Vector3& VelocityEstimate() const { return velocityEstimate_; }
  void SetVelocityEstimate(const gfx::Vector3& v) { velocityEstimate_ = v; }
  bool InUpdates() const { return inUpdates_; }
  bool InRenders() const { return inRenders_; }
  bool InCollisions() const { return inCollisions_; }
  bool InGroundList() const { return inGround_; }

  // The pool's mark of this object, set whenever it may have finished.
  void SetReuseMark(ReuseMarks* marks, size_t index) {
    reuseMarks_ = marks;
    reuseIndex_ = index;
  }
  // The object that waits for this one (a projectile for its effects) before it is finished.
  void SetFinishWatcher(Model* watcher) { finishWatcher_ = watcher; }
  // This object (or one it waits for) left a service: it may be finished now.
  void NotifyMaybeFinished();

 protected:
  // The loaded definition, with no section chosen yet; null when the file failed. Each level
  // selects its own section right before it reads.
  DefinitionFile* Definition() const;
  void SetCollisionEnabled(bool enabled) { collisionEnabled_ = enabled; }
  void SetGroundCollision(bool enabled) { groundCollision_ = enabled; }
  bool CollisionEnabled() const { return collisionEnabled_; }
  // Leaves whatever service is recorded (destruction, Unload).
  void LeaveServices();
  // The next velocity estimate measures from here (a body that moved without the estimate).
  void RestartVelocityEstimate() { previousPosition_ = WorldPosition(); }
  // The render membership alone (a projectile drawn while it rides on a weapon port).
  bool EnterRenders();
  void LeaveRenders();

 private:
  std::string file_;
  int updatePriority_ = 0;
  bool loaded_ = false;
  int collisionGroup_ = 0;
  std::vector<int> collideGroups_;
  bool groundCollision_ = false;
  bool collisionEnabled_ = false;
  int side_ = 0;
  bool inUpdates_ = false;
  bool inRenders_ = false;
  bool inCollisions_ = false;
  bool inGround_ = false;
  gfx::Vector3 velocityEstimate_;
  gfx::Vector3 previousPosition_;
  ReuseMarks* reuseMarks_ = nullptr;
  size_t reuseIndex_ = 0;
  Model* finishWatcher_ = nullptr;
};

}  // namespace quarn
