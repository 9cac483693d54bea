#include "game/HudStageFiles.h"

#include "units/Collider.h"
#include "units/Side.h"
#include "units/Unit.h"

namespace quarn::testing {

namespace {
// Definition-file text from lines joined by '|'.
std::string Text(const std::string& lines) {
  std::string text;
  for (char c : lines + "|")
    text += c == '|' ? std::string("\r\n") : std::string(1, c);
  return text;
}

std::string Number(float value) {
  return std::to_string(value);
}

// A blow of a chosen force, to leave a target with part of its armour.
class Blow : public Collider {
 public:
  explicit Blow(float force) : force_(force) {}
  bool CollectSpheres(std::vector<CollisionSphere>&) override { return false; }
  bool CollectRays(std::vector<IntersectRay>&) override { return false; }
  bool TestCollision(Collider&, gfx::Vector3*, gfx::Vector3*) override { return false; }
  bool OnHit(Collider&, const gfx::Vector3&, const gfx::Vector3&) override { return false; }
  bool OnGroundHit(GroundCollider&, int, const gfx::Vector3&, const gfx::Vector3&) override {
    return false;
  }
  float GetImpulsiveForce() override { return force_; }

 private:
  float force_;
};
}  // namespace

std::vector<std::pair<std::string, std::string>> HudStageFiles(const HudStageOptions& options) {
  std::string stage = "[Stage]|BuildingCount=" + std::to_string(options.targets.size()) +
                      "|[PlayerAircraft]|LayoutPositionY=" + Number(kHudPlayerPosition.y) +
                      "|AreaOuterDistance=100000|AreaInnerDistance=90000|MaxHeight=100000"
                      "|MinHeight=-100000|ActiveTimeLimit=" +
                      Number(options.activeTime);
  for (size_t i = 0; i < options.targets.size(); ++i) {
    const HudTarget& target = options.targets[i];
    stage += "|[Building_" + std::to_string(i) + "]|UnitID=" + std::to_string(i + 1) +
             "|DefineFile=" + (target.important ? "Important.txt" : "Target.txt") +
             "|LayoutPositionX=" + Number(target.position.x) +
             "|LayoutPositionY=" + Number(target.position.y) +
             "|LayoutPositionZ=" + Number(target.position.z) +
             "|LayoutOrientationH=" + Number(target.heading);
  }
  if (!options.stageLines.empty())
    stage += "|" + options.stageLines;
  const std::string mesh =
      options.targetMesh.empty()
          ? ""
          : "[Solid]|NormalMeshEnable=true|NormalMeshFile=" + options.targetMesh + "|";
  const std::string target =
      mesh +
      "[Target]|TargetEnable=true|SearchTargetEnable=true|AirTargetEnable=true"
      "|TargetActiveDistance=5000|SearchTargetActiveDistance=5000|Armored=100";
  return {
      {"Stage.txt", Text(stage)},
      {"Plane.txt", Text("[Target]|Armored=100|[Aircraft]|MinVelocity=0|MaxVelocity=0")},
      {"Gun.txt", Text("[SelectableWeapon]|RapidWeaponEnable=true|DefineFile=GunWeapon.txt"
                       "|HUDTextureFile=GunIcon.png")},
      {"GunWeapon.txt", Text("[Weapon]|FullLoadCount=200|SightDistance=3000|[RapidWeapon]"
                             "|FireDistance=3000|FireAngle=10")},
      {"Missile.txt", Text("[SelectableWeapon]|LockWeaponEnable=true"
                           "|DefineFile=MissileWeapon.txt|HUDTextureFile=MissileIcon.png")},
      {"MissileWeapon.txt", Text("[Weapon]|FullLoadCount=4|MaxFirableCount=4|MinFirableCount=1"
                                 "|[LockWeapon]|LockDistance=3000|LockAngle=30|LockTime=1"
                                 "|AntiAirEnable=true")},
      {"Target.txt", Text(target)},
      {"Important.txt", Text(target + "|ImportantTargetEnable=true")},
      {"Shell.txt", Text("[Bullet]")},
  };
}

int LoadHudStage(MainScene& scene, const HudStageOptions& options) {
  const int result = scene.Load("Stage.txt", "Plane.txt", "Gun.txt", "Missile.txt");
  for (size_t i = 0; i < options.targets.size(); ++i) {
    Unit* unit = scene.FindUnit(static_cast<int>(i + 1));
    if (unit == nullptr)
      continue;
    unit->Activate(kEnemySide);
    Blow blow(unit->Armored() * (1.0f - options.targets[i].armourRatio));
    unit->OnHit(blow, unit->WorldPosition(), {});
  }
  return result;
}

}  // namespace quarn::testing
