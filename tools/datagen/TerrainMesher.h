#pragma once
// The ground of a TerrainField as triangles, front faces up: cells x cells squares over x and z
// from `from` to `to`, with the sea a flat floor at y = 0. Squares of blocks that are all sea,
// or (with a tolerance above 0) whose heights stay that close to their corners' plane, become
// one square; every corner on a square's edge stays a corner of that square, so no cracks open
// where squares of different sizes meet. Texture coordinates run 0..1 over the span, v down
// from the +z edge.
#include "MeshPart.h"
#include "TerrainField.h"

namespace quarn::tools {

class TerrainMesher {
 public:
  // cells: 1 to 1024 squares a side; false with the reason when that or the span is wrong.
  static bool Build(const TerrainField& field, int cells, double from, double to, double tolerance,
                    MeshPart* part, std::string* error);
};

}  // namespace quarn::tools
