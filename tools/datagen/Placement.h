#pragma once
// Where a part of a mesh goes: scale, then turn, then move, as one affine map. Turns follow the
// game's rotations: heading about y (+90 turns +z to +x), pitch about x (+90 turns +z to -y),
// bank about z (+90 turns +x to +y), applied bank first, then pitch, then heading.
#include "Vec3.h"

namespace quarn::tools {

class Placement {
 public:
  Placement() = default;
  static Placement Move(const Vec3& offset);
  static Placement Turn(double headingDegrees, double pitchDegrees, double bankDegrees);
  static Placement Scale(const Vec3& factors);
  // The reflection x -> -x.
  static Placement Mirror() { return Scale({-1, 1, 1}); }

  // This placement done after inner: Then(inner).Apply(p) = Apply(inner.Apply(p)).
  Placement After(const Placement& inner) const;
  Vec3 Apply(const Vec3& point) const;
  // Negative for a map that turns the inside out (a mirror), so windings must be reversed.
  double Determinant() const;

 private:
  double m_[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // column vectors: p' = m p + t
  Vec3 t_;
};

}  // namespace quarn::tools
