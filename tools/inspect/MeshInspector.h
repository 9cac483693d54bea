#pragma once
#include <ostream>
#include <string>

namespace quarn::tools {

// Prints how the game loads a .x mesh as one JSON object: vertex_count, face_count, fvf,
// materials, subsets (faces per material), bbox_min, bbox_max, sphere_center, sphere_radius.
// Returns the exit code: 0, or 1 (with the reason on err) when the mesh cannot be loaded.
int InspectMesh(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace quarn::tools
