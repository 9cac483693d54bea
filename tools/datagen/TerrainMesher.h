#pragma once
// The ground of a TerrainField as triangles, front faces up: cells x cells squares over x and z
// from `from` to `to`, with the sea a flat floor at y = 0. Land keeps every square.
//  - A tile to draw: squares of blocks that are all sea become one square, and every corner
//    on a square's edge stays a corner of it (a fan from its middle), so no crack or seam
//    shows where squares of different sizes meet.
//  - A floor for collisions: the sea is cut into as few rectangles as it takes, two triangles
//    each. Corners of smaller squares on their edges lie flat in the sea with them, so the
//    surface stays closed without sharing them.
// Texture coordinates run 0..1 over the span, v down from the +z edge.
#include <string>

#include "MeshPart.h"
#include "TerrainField.h"

namespace quarn::tools {

class TerrainMesher {
 public:
  // cells: 1 to 1024 squares a side; false with the reason when that or the span is wrong.
  static bool Build(const TerrainField& field, int cells, double from, double to, bool floor,
                    MeshPart* part, std::string* error);
};

}  // namespace quarn::tools
