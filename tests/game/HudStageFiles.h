#pragma once
// The files of a small stage for the HUD: a player that keeps still 500 units up at the
// origin looking along +z, with a gun in slot 0 and a lock-on missile in slot 1, and still
// targets wherever the test puts them (UnitID 1, 2, ... in order); and a game that gives its
// stages the HUD.
#include <string>
#include <utility>
#include <vector>

#include "game/Hud.h"
#include "game/SceneRig.h"
#include "gfxutil/Vector3.h"
#include "stage/MainScene.h"

namespace quarn::testing {

class HudOwner : public RecordingOwner {
 public:
  std::unique_ptr<StageHud> MakeHud(MainScene& scene) override {
    return std::make_unique<Hud>(scene);
  }
};

inline const gfx::Vector3 kHudPlayerPosition{0.0f, 500.0f, 0.0f};

struct HudTarget {
  gfx::Vector3 position;
  bool important = false;
  float armourRatio = 1.0f;  // the armour it is left with once activated
  float heading = 0.0f;      // degrees
};

struct HudStageOptions {
  std::vector<HudTarget> targets;
  float activeTime = 300.0f;
  // A target mesh (which the caller supplies) for pictures; none by default.
  std::string targetMesh;
  // More lines of the stage file, joined by '|' ("[Scene]" with fog and lights, for pictures).
  std::string stageLines;
};

// (name, bytes) pairs: "Stage.txt", "Plane.txt", "Gun.txt", "Missile.txt" and the files they
// name. The icons "GunIcon.png" and "MissileIcon.png" and the HUD's own files are not in it.
std::vector<std::pair<std::string, std::string>> HudStageFiles(const HudStageOptions& options);

// Loads the stage into scene and brings every target into play on the enemy side.
int LoadHudStage(MainScene& scene, const HudStageOptions& options);

}  // namespace quarn::testing
