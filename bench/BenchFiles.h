#pragma once
// Files the stage benchmarks pack into their archive: definition-file text, box meshes, and
// the objects of a combat scene (an enemy fighter of four parts, a plain target, the player's
// aircraft, shells, missiles, a spark).
#include <string>
#include <utility>
#include <vector>

namespace quarn::bench {

using Records = std::vector<std::pair<std::string, std::string>>;  // name, bytes

// The lines joined with CR LF ends, as definition files have them.
std::string DefinitionText(const std::vector<std::string>& lines);

// A box of the given half sizes round the origin as a text .x mesh: 24 vertices with normals,
// 12 triangles facing out, one grey material.
std::string BoxMeshFile(float halfX, float halfY, float halfZ);

// The scene's files:
//   "Fighter.txt"  an aircraft (hull 8 x 3 x 16) with two wing components and two turrets
//   "Bomber.txt"   an aircraft with four components (wings and tail planes)
//   "Drone.txt"    an aircraft of one hull, no parts
//   "Turret.txt"   a rapid-fire turret with head and barrel meshes, firing "EnemyShell.txt"
//   "Player.txt"   the player's aircraft
//   "Shell.txt"    a gun shell at 1500 units a second, "Missile.txt" a homing rocket
//   "Spark.txt"    a short particle burst
Records CombatFiles();

// A placement section of a stage file for a unit of file at position, heading in degrees,
// with the area and height band every benchmark unit keeps.
std::vector<std::string> PlacementLines(const std::string& section, int unitId,
                                        const std::string& file, float x, float y, float z,
                                        float heading);

}  // namespace quarn::bench
