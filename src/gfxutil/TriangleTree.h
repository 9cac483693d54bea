#pragma once
// Ray tests against a mesh's triangles that visit only the faces near the ray, with exactly
// the result of trying every face (TriangleSet::Intersect): the same face, the same distance
// and the same choice between faces met at the same distance. Built once per mesh.
//
// Faces sit in a tree of boxes widened by a margin; a ray skips a box it misses or enters
// beyond the nearest hit so far. The margin covers the rounding of the single-precision
// face test for every face the ray meets at more than a small angle; faces the ray nearly
// lies along come from a FacePlaneIndex instead, and long thin faces are tried on every ray.
// Rays the bounds do not cover (far away, huge or tiny numbers) try every face.
#include <cstdint>
#include <vector>

#include "gfxutil/FacePlaneIndex.h"
#include "gfxutil/SplitTree.h"
#include "gfxutil/TriangleSet.h"

namespace quarn::gfx {

class TriangleTree {
 public:
  TriangleTree() = default;
  explicit TriangleTree(TriangleSet triangles);

  // As TriangleSet::Intersect.
  bool Intersect(const Vector3& origin, const Vector3& direction, uint32_t* face,
                 float* distance) const;
  // Tries every face: the reference that Intersect matches.
  bool IntersectEveryFace(const Vector3& origin, const Vector3& direction, uint32_t* face,
                          float* distance) const {
    return triangles_.Intersect(origin, direction, face, distance);
  }

  uint32_t FaceCount() const { return triangles_.FaceCount(); }
  // False when the mesh is too small or its numbers too far out for the tree: every ray then
  // tries every face.
  bool HasTree() const { return !nodes_.empty(); }

 private:
  struct Box {
    float lo[3], hi[3];  // from the centre, widened by the margin
  };
  // The ray from the centre, ready for box tests.
  struct Slabs {
    double origin[3];
    double inverse[3];
    bool parallel[3];
  };
  // Where the ray enters the box (t >= 0), or false when it misses it.
  static bool Enter(const Box& box, const Slabs& ray, double* entry);
  bool Searchable(const Vector3& origin, const Vector3& direction, double* farthest) const;

  TriangleSet triangles_;
  double centre_[3] = {0, 0, 0};
  double radius_ = 0;  // from the centre to the farthest corner
  double margin_ = 0;
  std::vector<SplitTree::Node> nodes_;
  std::vector<Box> boxes_;
  std::vector<TriangleSet::Face> leafFaces_;  // copies, in leaf order
  std::vector<uint32_t> leafIndices_;         // their numbers in face order
  std::vector<uint32_t> everyRay_;            // faces tried on every ray
  FacePlaneIndex planes_;
};

}  // namespace quarn::gfx
