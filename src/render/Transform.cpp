#include "render/Transform.h"

#include <algorithm>
#include <cmath>

#include "gfxutil/Quaternion.h"

namespace quarn {
namespace {

using gfx::Matrix;
using gfx::Vector3;

constexpr int kRight = 0, kUp = 1, kForward = 2, kPosition = 3;

float ClampBlendFactor(float t) {
  if (!(t > 0.0f))
    return 0.0f;  // also a NaN factor
  return std::min(t, 1.0f);
}

// Separates a forward and an up direction that (nearly) coincide or are opposite.
void Nudge(Vector3* forward, Vector3* up) {
  forward->z += 0.01f;
  *forward = gfx::Vec3Normalize(*forward);
  up->y += 0.01f;
  *up = gfx::Vec3Normalize(*up);
}

bool NearlyEqual(const Vector3& a, const Vector3& b) {
  return std::fabs(a.x - b.x) < 0.0001f && std::fabs(a.y - b.y) < 0.0001f &&
         std::fabs(a.z - b.z) < 0.0001f;
}

}  // namespace

Transform::~Transform() {
  if (parent_)
    parent_->RemoveChild(this);
  const std::vector<Transform*> children = std::move(children_);
  for (Transform* child : children) {
    child->parent_ = nullptr;
    child->Invalidate();
  }
}

Transform* Transform::GetRoot() {
  Transform* node = this;
  while (node->parent_)
    node = node->parent_;
  return node;
}

bool Transform::IsSelfOrAncestor(const Transform* node) const {
  for (const Transform* at = this; at; at = at->parent_) {
    if (at == node)
      return true;
  }
  return false;
}

bool Transform::AddChild(Transform* child) {
  if (!child || IsSelfOrAncestor(child))
    return false;
  if (child->parent_)
    child->parent_->RemoveChild(child);
  if (std::find(children_.begin(), children_.end(), child) != children_.end())
    return false;
  children_.push_back(child);
  child->parent_ = this;
  child->Invalidate();
  return true;
}

bool Transform::RemoveChild(Transform* child) {
  if (!child || child->parent_ != this)
    return false;
  const auto found = std::find(children_.begin(), children_.end(), child);
  if (found == children_.end())
    return false;
  children_.erase(found);
  child->parent_ = nullptr;
  child->Invalidate();
  return true;
}

bool Transform::SetParent(Transform* parent) {
  if (parent)
    return parent->AddChild(this);
  return parent_ ? parent_->RemoveChild(this) : true;
}

const Matrix& Transform::World() const {
  if (!worldValid_) {
    world_ = parent_ ? gfx::MatrixMultiply(local_, parent_->World()) : local_;
    worldValid_ = true;
  }
  return world_;
}

const Matrix& Transform::InverseWorld() const {
  // Kept: objects turn world points into their own axes many times a frame (ray tests,
  // aiming, homing), and an inverse costs far more than a product.
  if (!inverseValid_ || !worldValid_) {
    const Matrix& world = World();
    inverse_ = Matrix();  // stays the identity if the world matrix is singular
    gfx::MatrixInverse(&inverse_, nullptr, world);
    inverseValid_ = true;
  }
  return inverse_;
}

Matrix Transform::GetWorldMatrix() const {
  return World();
}

Matrix Transform::GetInverseWorldMatrix() const {
  return InverseWorld();
}

void Transform::Invalidate() {
  // A node's cache is only ever valid while its parent's is, so an out-of-date node heads
  // an out-of-date subtree and the walk can stop there.
  if (!worldValid_)
    return;
  worldValid_ = false;
  inverseValid_ = false;
  for (Transform* child : children_)
    child->Invalidate();
}

void Transform::Combine(CombineMode mode, const Matrix& m) {
  switch (mode) {
    case CombineMode::Replace:
      local_ = m;
      break;
    case CombineMode::LocalAxes:
      local_ = gfx::MatrixMultiply(m, local_);
      break;
    case CombineMode::ParentAxes:
      local_ = gfx::MatrixMultiply(local_, m);
      break;
  }
  Invalidate();
}

Vector3 Transform::LocalToWorldPoint(const Vector3& v) const {
  return gfx::Vec3TransformCoord(v, World());
}

Vector3 Transform::WorldToLocalPoint(const Vector3& v) const {
  return gfx::Vec3TransformCoord(v, InverseWorld());
}

Vector3 Transform::LocalToWorldVector(const Vector3& v) const {
  return gfx::Vec3TransformNormal(v, World());
}

Vector3 Transform::WorldToLocalVector(const Vector3& v) const {
  return gfx::Vec3TransformNormal(v, InverseWorld());
}

// The coordinate axes skip the normalisation, which would leave them as they are: every
// moving object turns about them several times a frame.
bool Transform::RotateX(CombineMode mode, float angle) {
  Combine(mode, gfx::MatrixRotationUnitAxis({1, 0, 0}, angle));
  return true;
}

bool Transform::RotateY(CombineMode mode, float angle) {
  Combine(mode, gfx::MatrixRotationUnitAxis({0, 1, 0}, angle));
  return true;
}

bool Transform::RotateZ(CombineMode mode, float angle) {
  Combine(mode, gfx::MatrixRotationUnitAxis({0, 0, 1}, angle));
  return true;
}

bool Transform::RotateAxis(CombineMode mode, const Vector3& axis, float angle) {
  Combine(mode, gfx::MatrixRotationAxis(axis, angle));
  return true;
}

bool Transform::Translate(CombineMode mode, const Vector3& v) {
  Combine(mode, gfx::MatrixTranslation(v.x, v.y, v.z));
  return true;
}

bool Transform::RotateHeadingPitchBank(float heading, float pitch, float bank) {
  RotateY(CombineMode::LocalAxes, heading);
  RotateX(CombineMode::LocalAxes, pitch);
  RotateZ(CombineMode::LocalAxes, bank);
  return true;
}

Matrix Transform::InParentSpace(const Transform& node) const {
  return gfx::MatrixMultiply(node.World(), parent_->InverseWorld());
}

bool Transform::SetPosition(const Vector3& v, const Transform* frame) {
  if (frame && parent_) {
    const Matrix m =
        gfx::MatrixMultiply(gfx::MatrixTranslation(v.x, v.y, v.z), InParentSpace(*frame));
    local_.SetRow(kPosition, m.GetRow(kPosition));
  } else {
    local_.SetRow(kPosition, v);
  }
  Invalidate();
  return true;
}

Vector3 Transform::GetPosition(const Transform* frame) const {
  if (!frame)
    return local_.GetRow(kPosition);
  const Matrix m = gfx::MatrixMultiply(World(), frame->InverseWorld());
  return m.GetRow(kPosition);
}

bool Transform::SetOrientation(const Vector3& forward, const Vector3& up, const Transform* frame) {
  Vector3 f = gfx::Vec3Normalize(forward);
  Vector3 u = gfx::Vec3Normalize(up);
  // Without both directions there are no axes to build: keep the ones the node has.
  if (f == Vector3() || u == Vector3())
    return false;
  if (NearlyEqual(f, u))
    Nudge(&f, &u);
  Vector3 r = gfx::Vec3Normalize(gfx::Vec3Cross(u, f));
  if (r == Vector3()) {
    // Exactly opposite directions: the same nudge separates them.
    Nudge(&f, &u);
    r = gfx::Vec3Normalize(gfx::Vec3Cross(u, f));
    if (r == Vector3())
      return false;
  }
  const Vector3 correctedUp = gfx::Vec3Normalize(gfx::Vec3Cross(f, r));

  Matrix rotation;
  rotation.SetRow(kRight, r);
  rotation.SetRow(kUp, correctedUp);
  rotation.SetRow(kForward, f);
  if (frame && parent_)
    rotation = gfx::MatrixMultiply(rotation, InParentSpace(*frame));
  for (int row : {kRight, kUp, kForward})
    local_.SetRow(row, rotation.GetRow(row));
  Invalidate();
  return true;
}

Transform::Axes Transform::GetOrientation(const Transform* frame) const {
  if (!frame)
    return {local_.GetRow(kForward), local_.GetRow(kUp)};
  const Matrix m = gfx::MatrixMultiply(World(), frame->InverseWorld());
  return {m.GetRow(kForward), m.GetRow(kUp)};
}

bool Transform::AlignTo(const Transform* frame) {
  SetPosition({0, 0, 0}, frame);
  SetOrientation({0, 0, 1}, {0, 1, 0}, frame);
  return true;
}

bool Transform::LookAt(const Transform& target, const Vector3& up) {
  // The target's origin in this node's parent space: exact for a sibling, so that two
  // coinciding siblings give no direction rather than one made of rounding errors; for a
  // root, parent space is world space.
  Vector3 to;
  if (target.parent_ == parent_) {
    to = target.local_.GetRow(kPosition);
  } else {
    to = parent_ ? target.GetPosition(parent_) : target.GetWorldMatrix().GetRow(kPosition);
  }
  return SetOrientation(to - local_.GetRow(kPosition), up, parent_);
}

float Transform::DistanceTo(const Transform& other) const {
  return gfx::Vec3Length(other.GetPosition(this));
}

bool Transform::BlendPositionToward(const Transform& target, float t) {
  if (!parent_)
    return false;
  t = ClampBlendFactor(t);
  const Vector3 position = local_.GetRow(kPosition);
  const Vector3 goal = InParentSpace(target).GetRow(kPosition);
  local_.SetRow(kPosition, position + t * (goal - position));
  Invalidate();
  return true;
}

bool Transform::BlendOrientationToward(const Transform& target, float t) {
  if (!parent_)
    return false;
  t = ClampBlendFactor(t);
  const gfx::Quaternion from = gfx::QuaternionRotationMatrix(local_);
  const gfx::Quaternion to = gfx::QuaternionRotationMatrix(InParentSpace(target));
  const gfx::Quaternion q = gfx::QuaternionNormalize(gfx::QuaternionSlerp(from, to, t));
  const Vector3 position = local_.GetRow(kPosition);
  local_ = gfx::MatrixRotationQuaternion(q);
  local_.SetRow(kPosition, position);
  Invalidate();
  return true;
}

bool Transform::BlendToward(const Transform& target, float t) {
  // Always 1, as the callers (the chase camera) have it; the two blends report their own.
  BlendOrientationToward(target, t);
  BlendPositionToward(target, t);
  return true;
}

}  // namespace quarn
