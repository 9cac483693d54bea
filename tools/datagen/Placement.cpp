#include "Placement.h"

#include <numbers>

namespace quarn::tools {

namespace {
constexpr double kRadians = std::numbers::pi / 180.0;
}

Placement Placement::Move(const Vec3& offset) {
  Placement p;
  p.t_ = offset;
  return p;
}

Placement Placement::Scale(const Vec3& factors) {
  Placement p;
  p.m_[0][0] = factors.x;
  p.m_[1][1] = factors.y;
  p.m_[2][2] = factors.z;
  return p;
}

Placement Placement::Turn(double headingDegrees, double pitchDegrees, double bankDegrees) {
  const double ch = std::cos(headingDegrees * kRadians), sh = std::sin(headingDegrees * kRadians);
  const double cp = std::cos(pitchDegrees * kRadians), sp = std::sin(pitchDegrees * kRadians);
  const double cb = std::cos(bankDegrees * kRadians), sb = std::sin(bankDegrees * kRadians);
  Placement heading, pitch, bank;
  // Heading: x' = x cos + z sin, z' = -x sin + z cos.
  heading.m_[0][0] = ch;
  heading.m_[0][2] = sh;
  heading.m_[2][0] = -sh;
  heading.m_[2][2] = ch;
  // Pitch: y' = y cos - z sin, z' = y sin + z cos.
  pitch.m_[1][1] = cp;
  pitch.m_[1][2] = -sp;
  pitch.m_[2][1] = sp;
  pitch.m_[2][2] = cp;
  // Bank: x' = x cos - y sin, y' = x sin + y cos.
  bank.m_[0][0] = cb;
  bank.m_[0][1] = -sb;
  bank.m_[1][0] = sb;
  bank.m_[1][1] = cb;
  return heading.After(pitch).After(bank);
}

Placement Placement::After(const Placement& inner) const {
  Placement out;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      out.m_[r][c] =
          m_[r][0] * inner.m_[0][c] + m_[r][1] * inner.m_[1][c] + m_[r][2] * inner.m_[2][c];
    }
  }
  out.t_ = Apply(inner.t_);
  return out;
}

Vec3 Placement::Apply(const Vec3& p) const {
  return {m_[0][0] * p.x + m_[0][1] * p.y + m_[0][2] * p.z + t_.x,
          m_[1][0] * p.x + m_[1][1] * p.y + m_[1][2] * p.z + t_.y,
          m_[2][0] * p.x + m_[2][1] * p.y + m_[2][2] * p.z + t_.z};
}

double Placement::Determinant() const {
  return m_[0][0] * (m_[1][1] * m_[2][2] - m_[1][2] * m_[2][1]) -
         m_[0][1] * (m_[1][0] * m_[2][2] - m_[1][2] * m_[2][0]) +
         m_[0][2] * (m_[1][0] * m_[2][1] - m_[1][1] * m_[2][0]);
}

}  // namespace quarn::tools
