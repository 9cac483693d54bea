#pragma once
// A scene for people who make content: one file shown alone in front of a slowly orbiting
// camera over a neutral grid. A mesh is shown as it is; a particle system restarts every few
// seconds; a trail is carried round a circle; a bullet or rocket flies past again and again; a
// ground lies under the camera; a unit turns on a turntable with its parts mounted and can be
// broken (B, again to destruct it); a weapon on a stand turns toward a target carried to and
// fro in front of it and fires with Space (held for a gun, held and released for lock-on and
// charge weapons).
#include <memory>
#include <string>

#include "game/LabGrid.h"
#include "render/MeshInstance.h"
#include "stage/MainScene.h"

namespace quarn {

class Bullet;
class DirectionalLight;
class Ground;
class Particle;
class Trajectory;
class Unit;
class Weapon;

class LabScene : public MainScene {
 public:
  enum class Kind { Missing, Mesh, Particle, Trail, Gun, Rocket, Ground, Unit, Weapon };

  explicit LabScene(SceneOwner* game);
  ~LabScene() override;

  // Works out what the file is and puts it on show; an unknown or missing file shows the grid
  // alone, with one report.
  int LoadLab(const std::string& file);
  int Start() override;
  void Update() override;
  void Render() override;
  void Finish() override;

  Kind Subject() const { return kind_; }
  // What the lab has on show (null for the kinds it does not apply to).
  Unit* ShownUnit() const { return unit_.get(); }
  Weapon* ShownWeapon() const { return weapon_.get(); }
  Particle* ShownParticle() const { return particle_; }
  Trajectory* ShownTrail() const { return trail_; }
  Bullet* ShownProjectile() const { return projectile_; }
  long Frames() const { return frames_; }

 private:
  Kind Classify(const std::string& file);
  void ShowUnit(const std::string& file);
  void ShowWeapon(const std::string& file);
  void Orbit();
  void StepSubject();
  void Launch();
  bool KeyDown(uint8_t code) const;
  bool KeyPressed(uint8_t code);

  Kind kind_ = Kind::Missing;
  std::string file_;
  float radius_ = 20.0f;  // how far the camera keeps from the subject
  long frames_ = 0;
  Transform orbitFrame_;
  Transform carrier_;  // what a trail or the weapon's target rides on
  Transform launchPort_;
  MeshInstance mesh_;
  Particle* particle_ = nullptr;
  Trajectory* trail_ = nullptr;
  Bullet* projectile_ = nullptr;
  std::unique_ptr<Ground> ground_;
  std::unique_ptr<Unit> unit_;
  std::unique_ptr<Weapon> weapon_;
  std::unique_ptr<Unit> target_;
  std::unique_ptr<DirectionalLight> light_;
  std::unique_ptr<Drawable> shownMesh_;
  long finishedAt_ = -1;
  LabGrid grid_;
  bool keyWas_[256] = {};
};

}  // namespace quarn
