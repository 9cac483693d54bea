#pragma once
// A combat scene for the stage benchmarks: units placed at random over a combat area of
// 6000 x 1500 x 6000 round the world origin (a fixed seed, so every run has the same scene),
// the player's aircraft at the centre, and projectiles launched from the stage's pool.
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "BenchStage.h"
#include "gfxutil/Vector3.h"
#include "render/Transform.h"

namespace quarn {
class Bullet;
class Model;
class Unit;
}  // namespace quarn

namespace quarn::bench {

// Units of one file: LightAircraft, or HeavyAircraft when heavy.
struct UnitPlan {
  std::string file;
  int count = 0;
  bool heavy = false;
};

class CombatScene {
 public:
  // The units are loaded, activated on the enemy side and sent toward their destinations; the
  // player (when asked) is loaded from "Player.txt" and started.
  CombatScene(const std::vector<UnitPlan>& plans, bool withPlayer, uint32_t seed = 1);
  ~CombatScene();
  CombatScene(const CombatScene&) = delete;
  CombatScene& operator=(const CombatScene&) = delete;

  BenchStage& Stage() { return *stage_; }
  const std::vector<std::unique_ptr<Unit>>& Units() const { return units_; }
  std::mt19937& Random() { return random_; }
  // A point drawn over the combat area.
  gfx::Vector3 RandomPoint();
  // A unit direction drawn over the sphere.
  gfx::Vector3 RandomDirection();

  // Launches projectile from at along forward on side, as a weapon port does (mounted, armed,
  // activated, freed), homing on target when it is not null.
  void Launch(Bullet& projectile, const gfx::Vector3& at, const gfx::Vector3& forward,
              Model* target, int side, const gfx::Vector3& launchVelocity = {});

 private:
  std::mt19937 random_;
  std::unique_ptr<BenchStage> stage_;
  std::vector<std::unique_ptr<Unit>> units_;
  std::unique_ptr<PlayerAircraft> player_;
  Transform port_;
};

}  // namespace quarn::bench
