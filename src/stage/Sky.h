#pragma once
// The sky: one mesh drawn first of all around the camera, with depth, lighting and fog off,
// so it is behind everything and never clipped.
#include <string>

#include "render/MeshInstance.h"
#include "render/SkyDrawer.h"
#include "units/RigidBody.h"

namespace quarn {

class Sky : public RigidBody, public SkyDrawer {
 public:
  explicit Sky(StageServices* stage);
  ~Sky() override;

  virtual bool Load(const std::string& meshFile);
  void Unload() override;
  // Fog comes back to the stage's own setting afterwards, on or off.
  bool Draw() override;

  const MeshInstance& Mesh() const { return mesh_; }

 private:
  MeshInstance mesh_;
};

}  // namespace quarn
