#pragma once
// A part that carries a turret and fires projectiles: a head that turns about its vertical
// axis and a pitch part that tilts on it, each with a mesh and limits; firing ports on the
// pitch part, each holding one loaded projectile from the effect pool; a magazine that
// reloads over time; target selection, lead aiming, a muzzle flash, an exhaust particle and a
// fire sound. The three kinds differ in when they fire.
#include <string>
#include <vector>

#include "render/MeshInstance.h"
#include "render/SoundEmitter.h"
#include "units/Container.h"
#include "weapons/WeaponPort.h"

namespace quarn {

class Bullet;

class Weapon : public Container {
 public:
  explicit Weapon(StageServices* stage);
  ~Weapon() override;

  using Container::Load;
  bool Load(const std::string& file, Container* owner) override;
  void Unload() override;
  void Activate(int side) override;
  void Unregister() override;
  void UpdateAlive() override;
  void Update() override;

  virtual void RequestAim() { aimRequest_ = true; }
  virtual void RequestFire() { fireRequest_ = true; }
  virtual void SetPlayerSide() { weaponSide_ = 1; }
  virtual void SetEnemySide() { weaponSide_ = 2; }
  virtual void Aim();
  virtual void Fire();
  virtual void Reload();
  virtual void SelectTarget();
  virtual void SelectBestTarget();
  virtual void SelectPlayerTarget();

  bool Cull(ViewCamera& camera, bool alphaPass) override;
  bool DrawNormal() override;
  bool DrawAlpha() override;
  bool CollectSpheres(std::vector<CollisionSphere>& list) override;
  bool TestCollision(Collider& other, gfx::Vector3* hitPoint, gfx::Vector3* push) override;

  // Loaded over full; 0 without a magazine.
  float LoadRatio() const;
  Target* CurrentTarget() const { return currentTarget_; }
  const gfx::Vector3& AimPoint() const { return aimPoint_; }
  int LoadedCount() const { return loadedCount_; }
  int FullLoadCount() const { return fullLoadCount_; }
  int MaxFirableCount() const { return maxFirableCount_; }
  int MinFirableCount() const { return minFirableCount_; }
  int WeaponSide() const { return weaponSide_; }
  bool FlashVisible() const { return flashVisible_; }
  const std::vector<WeaponPort>& Ports() const { return ports_; }
  Transform& HeadFrame() { return headFrame_; }
  Transform& PitchFrame() { return pitchFrame_; }
  const Transform& PitchFrame() const { return pitchFrame_; }
  float SightDistance() const { return sightDistance_; }
  bool AimRequested() const { return aimRequest_; }
  bool FireRequested() const { return fireRequest_; }

 protected:
  // Puts projectiles on empty ports until as many sit there as are loaded.
  void RefillPorts();
  // Arms every loaded port projectile for the current target (guns, charge shots).
  void ArmPortsForCurrentTarget();
  void ClearAimRequest() { aimRequest_ = false; }
  void ClearFireRequest() { fireRequest_ = false; }
  void SetCurrentTarget(Target* target) { currentTarget_ = target; }
  std::vector<WeaponPort>& MutablePorts() { return ports_; }
  // A target's position in the weapon body's axes: distance and angle off the muzzle line.
  void MeasureTarget(const Target& target, float* distance, float* angleDegrees) const;

 private:
  Bullet* AcquireProjectile(bool allowReuse);
  // Turns frame about axis toward the aim point within rate, then holds it inside limits.
  void TurnHead();
  void TurnPitch();

  Transform headFrame_;
  Transform pitchFrame_;
  bool headMeshEnable_ = false;
  MeshInstance headMesh_;
  bool pitchMeshEnable_ = false;
  MeshInstance pitchMesh_;
  float maxLeftHeadAngle_ = 0;
  float maxRightHeadAngle_ = 0;
  float maxUpPitchAngle_ = 0;
  float maxDownPitchAngle_ = 0;
  float headRotationally_ = 0;
  float pitchRotationally_ = 0;
  float sightDistance_ = 0;
  float centeringEnable_ = 0;
  bool rocketBulletEnable_ = false;
  std::string bulletFile_;
  std::vector<WeaponPort> ports_;
  bool exhaustEnable_ = false;
  Particle* exhaust_ = nullptr;
  bool flashMeshEnable_ = false;
  MeshInstance flashMesh_;
  bool fireSoundEnable_ = false;
  SoundEmitter fireSound_;
  int fullLoadCount_ = 0;
  int maxFirableCount_ = 0;
  int minFirableCount_ = 0;
  float loadTime_ = 0;
  int loadCount_ = 0;
  bool bulletVisible_ = false;
  float predictFireRate_ = 0;
  float referenceBulletVelocity_ = 0;
  int weaponSide_ = 0;
  int loadedCount_ = 0;
  float reloadTimer_ = 0;
  Target* currentTarget_ = nullptr;
  gfx::Vector3 aimPoint_;
  bool aimRequest_ = false;
  bool fireRequest_ = false;
  bool flashVisible_ = false;
};

}  // namespace quarn
