#pragma once
// Everything an object placed in a stage asks of its stage: units by UnitID, the world root
// and the area centre, the four registries, the update, render and collision managers, the
// effect pool, the camera, the resources, the controls, the progress counters, HUD messages
// and the stage log. The stage's scene implements it; tests use a small stand-in. Nothing
// here knows the scene itself.
#include <string>

#include "render/ObjectList.h"

namespace quarn {

class Bullet;
class ButtonMap;
class ChaseCamera;
class CollisionManager;
class EffectSource;
class PlayerAircraft;
class RenderManager;
class ResourceCache;
class Target;
class Transform;
class Unit;
class UpdateManager;

using TargetRegistry = ObjectList<Target>;
using UnitRegistry = ObjectList<Unit>;
using ProjectileRegistry = ObjectList<Bullet>;

class StageServices {
 public:
  virtual ~StageServices() = default;

  // -1 is the player aircraft; any other UnitID the unit filed under it, or null.
  virtual Unit* FindUnit(int unitId) = 0;
  virtual PlayerAircraft* Player() = 0;
  virtual Transform& WorldRoot() = 0;
  // The mean position of the area units, else the player's position.
  virtual Transform& AreaCentre() = 0;

  virtual TargetRegistry& Targets() = 0;
  virtual TargetRegistry& SearchTargets() = 0;
  virtual UnitRegistry& AreaUnits() = 0;
  virtual ProjectileRegistry& Projectiles() = 0;

  virtual UpdateManager& Updates() = 0;
  virtual RenderManager& Renders() = 0;
  virtual CollisionManager& Collisions() = 0;
  virtual EffectSource& Effects() = 0;
  virtual ResourceCache& Cache() = 0;
  // Null until the stage has made its camera.
  virtual ChaseCamera* Camera() = 0;
  // The stage-play axes and buttons.
  virtual ButtonMap& Buttons() = 0;

  // Adds amount to progress counter index (0 to 7; others are ignored).
  virtual int AddProgressPoint(int index, int amount) = 0;
  // Shows HUD message n for its usual time.
  virtual void SetHudMessage(int n) = 0;
  // Buildings draw with the ground's fog distances and restore the stage's afterwards.
  virtual void ApplyGroundFog() = 0;
  virtual void ApplySceneFog() = 0;
  // The gamepad's rumble with the camera shake (strength 0 to 1, seconds).
  virtual void Rumble(float strength, float seconds) = 0;

  // The stage log: a unit's Broken and Destructed flags were set.
  virtual void UnitBroken(const Unit& unit) = 0;
  virtual void UnitDestructed(const Unit& unit) = 0;

 protected:
  StageServices() = default;
  StageServices(const StageServices&) = default;
  StageServices& operator=(const StageServices&) = default;
};

}  // namespace quarn
