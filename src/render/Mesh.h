#pragma once
// A mesh loaded from a .x file, shared by every object that names the file: the device mesh,
// its materials with their textures (names in the file are resolved through the archive),
// its bounds and one unit normal per triangle for ray tests. The scene's resource cache
// owns it; users hold plain pointers.
#include <memory>
#include <string>
#include <vector>

#include "engine/CachedResource.h"
#include "gfxutil/Mesh.h"
#include "gfxutil/Vector3.h"
#include "platform/RenderDevice.h"
#include "render/MeshMaterial.h"

namespace quarn {

class Archive;

class Mesh : public CachedResource {
 public:
  // device: where the mesh and its textures are made; archive: where texture names are
  // looked up. Null: the process's graphics device and archive.
  explicit Mesh(platform::RenderDevice* device = nullptr, Archive* archive = nullptr);
  ~Mesh() override;
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;

  // Releases what is held, then loads the .x file at path. A texture that cannot be made
  // leaves its material untextured (reported once per texture name); only a mesh that
  // cannot be read or put on the device fails.
  bool Load(const std::string& path) override;
  void Release() override;
  // Draws every material's faces in material order, each with its material and texture and
  // the device's other states as they are. False as soon as one subset fails.
  virtual bool Draw();
  // Casts a ray (mesh coordinates) at every face. On a hit: *distance is the ray parameter
  // of the nearest face (in units of direction's length) and *normal that face's normal.
  // On a miss both are left as they were.
  virtual bool IntersectRay(const gfx::Vector3& origin, const gfx::Vector3& direction,
                            float* distance, gfx::Vector3* normal) const;

  std::string LoadProblem() const override { return problem_; }

  bool IsLoaded() const { return mesh_ != nullptr; }
  // Bounds in mesh coordinates (zero while nothing is loaded).
  const gfx::Vector3& GetSphereCentre() const { return sphereCentre_; }
  float GetSphereRadius() const { return sphereRadius_; }
  const gfx::Vector3& GetBoxMin() const { return boxMin_; }
  const gfx::Vector3& GetBoxMax() const { return boxMax_; }
  const std::vector<MeshMaterial>& GetMaterials() const { return materials_; }
  // (p1 - p0) x (p2 - p1), normalised, per triangle in the file's face order.
  const std::vector<gfx::Vector3>& GetFaceNormals() const { return faceNormals_; }
  gfx::Mesh* GetDeviceMesh() const { return mesh_.get(); }

 private:
  // meshName: the mesh's file, for the report of a texture that cannot be made.
  void LoadMaterials(platform::RenderDevice& device, const std::string& meshName);
  std::unique_ptr<platform::Texture> LoadTexture(platform::RenderDevice& device,
                                                 const std::string& name,
                                                 const std::string& meshName) const;
  void ComputeBounds();
  void ComputeFaceNormals();

  platform::RenderDevice* device_;
  Archive* archive_;
  platform::RenderDevice* loadedOn_ = nullptr;  // the device that holds mesh_ and the textures
  std::unique_ptr<gfx::Mesh> mesh_;
  std::vector<MeshMaterial> materials_;
  gfx::Vector3 sphereCentre_;
  float sphereRadius_ = 0;
  gfx::Vector3 boxMin_;
  gfx::Vector3 boxMax_;
  std::vector<gfx::Vector3> faceNormals_;
  std::string problem_;
};

}  // namespace quarn
