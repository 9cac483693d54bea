#pragma once
// Definition files and meshes shared by the object tests: a 2 x 2 x 2 cube mesh and unit,
// part, particle and projectile files built from a few lines each.
#include <string>
#include <vector>

#include "game/SceneRig.h"

namespace quarn::testing {

// "Cube.x" (side 2 round the origin, a red material) into the rig.
void AddCube(SceneRig& rig, const std::string& name = "Cube.x");
// The same cube scaled by a frame of the .x file (side 2 x scale).
void AddScaledCube(SceneRig& rig, const std::string& name, float scale);
// A solid target of the cube: collision on, Armored as given, target and search flags on.
std::vector<std::string> CubeTargetLines(float armored);
// A placement section body (UnitID, DefineFile) followed by extra lines.
std::vector<std::string> Placement(const std::string& section, int unitId,
                                   const std::string& defineFile,
                                   const std::vector<std::string>& extra = {});

}  // namespace quarn::testing
