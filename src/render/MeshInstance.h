#pragma once
// A shared mesh placed at an object's node: what a scene object draws, ray-tests and culls.
// Holds neither the mesh (the resource cache owns it) nor the node (its owner does).
#include "gfxutil/Vector3.h"
#include "render/BoxCorners.h"
#include "render/GraphicsObject.h"

namespace quarn {

class Mesh;
class Transform;

class MeshInstance : public GraphicsObject {
 public:
  explicit MeshInstance(platform::RenderDevice* device = nullptr) : GraphicsObject(device) {}
  ~MeshInstance() override = default;

  // Sets the device's world transform to the node's world matrix and draws the mesh. False
  // (nothing drawn) without a mesh, a node or a device.
  bool Draw() override;
  // A world-space ray against the mesh at the node. On a hit: *distance along direction (in
  // units of its length) and *normal, the hit face's normal in world axes. On a miss both are
  // left as they were.
  virtual bool IntersectRay(const gfx::Vector3& origin, const gfx::Vector3& direction,
                            float* distance, gfx::Vector3* normal) const;

  // The mesh's sphere in world space; a zero centre and radius without a mesh or a node.
  void GetBoundingSphere(gfx::Vector3* centre, float* radius) const;
  // The mesh's box corners in world space, in BoxCorners order; nothing is written without a
  // mesh or a node. False in that case.
  bool GetBoxCorners(BoxCorners* corners) const;

  void SetMesh(Mesh* mesh) { mesh_ = mesh; }
  void SetFrame(Transform* frame) { frame_ = frame; }
  Mesh* GetMesh() const { return mesh_; }
  Transform* GetFrame() const { return frame_; }

 private:
  Mesh* mesh_ = nullptr;
  Transform* frame_ = nullptr;
};

}  // namespace quarn
