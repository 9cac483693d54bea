#pragma once
// A node of the scene hierarchy: an object's placement (local matrix) relative to its parent
// node, with a lazily rebuilt world matrix. Nodes never own one another; the objects that own
// them attach and detach them. Rows of a placement are right, up, forward, position; vectors
// multiply on the left (v x M), so world = local x parent's world.
#include <cstdint>
#include <vector>

#include "gfxutil/Matrix.h"
#include "gfxutil/Vector3.h"

namespace quarn {

// Degrees (as definition files give angles) to radians: pi / 180 in single precision.
inline constexpr float kDegreesToRadians = 0.017453292f;

// How Combine merges a matrix M into the local matrix.
enum class CombineMode : int32_t {
  Replace = 1,     // local = M
  LocalAxes = 2,   // local = M x local: M acts along the node's own axes
  ParentAxes = 3,  // local = local x M: M acts in the parent's axes, moving the position too
};

class Transform {
 public:
  // The node's forward (row 2) and up (row 1) axes, as stored.
  struct Axes {
    gfx::Vector3 forward;
    gfx::Vector3 up;
  };

  Transform() = default;
  Transform(const Transform&) = delete;
  Transform& operator=(const Transform&) = delete;
  // Detaches from the parent, then detaches every child: they live on as roots.
  virtual ~Transform();

  // Hierarchy.
  Transform* GetParent() const { return parent_; }
  Transform* GetRoot();
  const std::vector<Transform*>& GetChildren() const { return children_; }
  // Appends child (moving it from any parent it had, also from this one, to the end). Fails
  // for null, and for this node or one of its ancestors, which would close a loop.
  bool AddChild(Transform* child);
  // Fails for null or for a node that is not a child of this one.
  bool RemoveChild(Transform* child);
  // parent->AddChild(this); with null, detaches from the current parent (true if none).
  bool SetParent(Transform* parent);

  // Matrices.
  const gfx::Matrix& GetLocalMatrix() const { return local_; }
  gfx::Matrix GetWorldMatrix() const;
  // Inverse of the world matrix; the identity when the world matrix is singular.
  gfx::Matrix GetInverseWorldMatrix() const;
  bool IsWorldValid() const { return worldValid_; }
  // Marks the world matrix of this node and of its whole subtree out of date.
  void Invalidate();
  // Merges m into the local matrix as mode says; an unknown mode leaves it unchanged. Always
  // invalidates.
  void Combine(CombineMode mode, const gfx::Matrix& m);

  // Conversions between this node's space and world space; vectors ignore translation.
  gfx::Vector3 LocalToWorldPoint(const gfx::Vector3& v) const;
  gfx::Vector3 WorldToLocalPoint(const gfx::Vector3& v) const;
  gfx::Vector3 LocalToWorldVector(const gfx::Vector3& v) const;
  gfx::Vector3 WorldToLocalVector(const gfx::Vector3& v) const;

  // Relative motion by angle radians about a unit axis, or along v.
  bool RotateX(CombineMode mode, float angle);
  bool RotateY(CombineMode mode, float angle);
  bool RotateZ(CombineMode mode, float angle);
  bool RotateAxis(CombineMode mode, const gfx::Vector3& axis, float angle);
  bool Translate(CombineMode mode, const gfx::Vector3& v);
  // Heading about y, then pitch about x, then bank about z, each along the node's own axes
  // (radians), as definition files orient objects: from identity, Rz(b) x Rx(p) x Ry(h).
  bool RotateHeadingPitchBank(float heading, float pitch, float bank);

  // Placement relative to a reference frame; a null frame means relative to the parent.
  // SetPosition and SetOrientation ignore the frame on a node without a parent (its local
  // placement is then its world placement).
  bool SetPosition(const gfx::Vector3& v, const Transform* frame = nullptr);
  gfx::Vector3 GetPosition(const Transform* frame = nullptr) const;
  // Keeps the position. Axes from forward and up: right = up x forward, then up is corrected
  // to forward x right. Fails, leaving the axes as they were, when forward or up is zero.
  bool SetOrientation(const gfx::Vector3& forward, const gfx::Vector3& up,
                      const Transform* frame = nullptr);
  Axes GetOrientation(const Transform* frame = nullptr) const;
  // Makes the node coincide with frame.
  bool AlignTo(const Transform* frame);
  // Turns the node's forward axis toward target's origin, keeping up as close as possible;
  // fails, unchanged, when the two origins coincide.
  bool LookAt(const Transform& target, const gfx::Vector3& up);
  float DistanceTo(const Transform& other) const;

  // Moves the node the fraction t (clamped to 0..1) of the way toward target's placement.
  // Nodes without a parent fail and stay unchanged.
  bool BlendPositionToward(const Transform& target, float t);
  bool BlendOrientationToward(const Transform& target, float t);
  bool BlendToward(const Transform& target, float t);

 private:
  bool IsSelfOrAncestor(const Transform* node) const;
  // node's world placement re-expressed in this node's parent space (needs a parent).
  gfx::Matrix InParentSpace(const Transform& node) const;

  // The world matrix and its inverse, each rebuilt on first use after an invalidation.
  const gfx::Matrix& World() const;
  const gfx::Matrix& InverseWorld() const;

  gfx::Matrix local_;
  mutable bool worldValid_ = false;
  mutable gfx::Matrix world_;
  // Only ever valid while world_ is: invalidation clears both.
  mutable bool inverseValid_ = false;
  mutable gfx::Matrix inverse_;
  Transform* parent_ = nullptr;
  std::vector<Transform*> children_;
};

}  // namespace quarn
