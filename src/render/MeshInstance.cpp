#include "render/MeshInstance.h"

#include "render/Mesh.h"
#include "render/Transform.h"

namespace quarn {

bool MeshInstance::Draw() {
  if (mesh_ == nullptr || frame_ == nullptr)
    return false;
  platform::RenderDevice* device = Device();
  if (device == nullptr)
    return false;
  device->SetTransform(platform::TransformState::World, frame_->GetWorldMatrix());
  return mesh_->Draw();
}

bool MeshInstance::IntersectRay(const gfx::Vector3& origin, const gfx::Vector3& direction,
                                float* distance, gfx::Vector3* normal) const {
  if (mesh_ == nullptr || frame_ == nullptr || normal == nullptr)
    return false;
  gfx::Vector3 localNormal = *normal;
  if (!mesh_->IntersectRay(frame_->WorldToLocalPoint(origin), frame_->WorldToLocalVector(direction),
                           distance, &localNormal)) {
    return false;
  }
  *normal = frame_->LocalToWorldVector(localNormal);
  return true;
}

void MeshInstance::GetBoundingSphere(gfx::Vector3* centre, float* radius) const {
  if (mesh_ == nullptr || frame_ == nullptr) {
    *centre = {};
    *radius = 0;
    return;
  }
  *centre = frame_->LocalToWorldPoint(mesh_->GetSphereCentre());
  // Nodes are never scaled, so the radius needs no change.
  *radius = mesh_->GetSphereRadius();
}

bool MeshInstance::GetBoxCorners(BoxCorners* corners) const {
  if (mesh_ == nullptr || frame_ == nullptr)
    return false;
  const gfx::Vector3& lo = mesh_->GetBoxMin();
  const gfx::Vector3& hi = mesh_->GetBoxMax();
  const BoxCorners local = {gfx::Vector3{lo.x, lo.y, lo.z},
                            {hi.x, lo.y, lo.z},
                            {hi.x, hi.y, lo.z},
                            {lo.x, hi.y, lo.z},
                            {lo.x, hi.y, hi.z},
                            {lo.x, lo.y, hi.z},
                            {hi.x, lo.y, hi.z},
                            {hi.x, hi.y, hi.z}};
  for (size_t i = 0; i < local.size(); ++i)
    (*corners)[i] = frame_->LocalToWorldPoint(local[i]);
  return true;
}

}  // namespace quarn
