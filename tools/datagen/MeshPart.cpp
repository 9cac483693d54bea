#include "MeshPart.h"

#include <utility>

namespace quarn::tools {

uint32_t MeshPart::AddPosition(const Vec3& position) {
  positions_.push_back(position);
  return static_cast<uint32_t>(positions_.size() - 1);
}

void MeshPart::AddTriangle(const Corner& a, const Corner& b, const Corner& c) {
  triangles_.push_back({{a, b, c}});
}

void MeshPart::AddQuad(const Corner& a, const Corner& b, const Corner& c, const Corner& d) {
  AddTriangle(a, b, c);
  AddTriangle(a, c, d);
}

void MeshPart::Append(const MeshPart& other) {
  const auto offset = static_cast<uint32_t>(positions_.size());
  positions_.insert(positions_.end(), other.positions_.begin(), other.positions_.end());
  for (Triangle triangle : other.triangles_) {
    for (Corner& corner : triangle.corners)
      corner.position += offset;
    triangles_.push_back(triangle);
  }
}

void MeshPart::Place(const Placement& placement) {
  for (Vec3& position : positions_)
    position = placement.Apply(position);
  if (placement.Determinant() < 0)
    ReverseWindings();
}

void MeshPart::ReverseWindings() {
  for (Triangle& triangle : triangles_)
    std::swap(triangle.corners[1], triangle.corners[2]);
}

void MeshPart::AddBackFaces() {
  const size_t count = triangles_.size();
  for (size_t i = 0; i < count; ++i) {
    Triangle back = triangles_[i];
    std::swap(back.corners[1], back.corners[2]);
    triangles_.push_back(back);
  }
}

void MeshPart::ScaleTextureCoords(double su, double sv) {
  for (Triangle& triangle : triangles_) {
    for (Corner& corner : triangle.corners) {
      corner.u *= su;
      corner.v *= sv;
    }
  }
}

}  // namespace quarn::tools
