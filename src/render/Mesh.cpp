#include "render/Mesh.h"

#include <unistd.h>

#include "engine/ExtractedFile.h"
#include "engine/ResourceCache.h"
#include "gfxutil/TextureCreation.h"
#include "gfxutil/XMeshLoader.h"
#include "platform/Diagnostics.h"
#include "render/DeviceOrCurrent.h"

namespace quarn {

namespace {
// The file name part of a path, for messages that name the mesh.
std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

Mesh::Mesh(platform::RenderDevice* device, Archive* archive) : device_(device), archive_(archive) {}

Mesh::~Mesh() {
  Release();
}

bool Mesh::Load(const std::string& path) {
  Release();
  problem_.clear();
  platform::RenderDevice* device = DeviceOrCurrent(device_);
  if (device == nullptr) {
    problem_ = "no graphics device to make the mesh on";
    return false;
  }
  mesh_ = gfx::LoadMeshFromX(path, *device, &problem_);
  if (mesh_ == nullptr)
    return false;
  loadedOn_ = device;
  LoadMaterials(*device, FileNameOf(path));
  ComputeBounds();
  ComputeFaceNormals();
  return true;
}

void Mesh::LoadMaterials(platform::RenderDevice& device, const std::string& meshName) {
  const std::vector<gfx::FileMaterial>& fileMaterials = mesh_->Materials();
  materials_.reserve(fileMaterials.size());
  for (const gfx::FileMaterial& file : fileMaterials) {
    MeshMaterial material;
    material.material = file.material;
    material.material.ambient = material.material.diffuse;
    if (!file.textureFile.empty())
      material.texture = LoadTexture(device, file.textureFile, meshName);
    materials_.push_back(std::move(material));
  }
}

std::unique_ptr<platform::Texture> Mesh::LoadTexture(platform::RenderDevice& device,
                                                     const std::string& name,
                                                     const std::string& meshName) const {
  // The archive copy lives only while the image is read.
  const ExtractedFile file(name, true, archive_);
  std::string reason;
  std::unique_ptr<platform::Texture> texture =
      gfx::CreateTextureFromFile(device, file.GetPath(), &reason);
  if (texture == nullptr) {
    if (access(file.GetPath().c_str(), R_OK) != 0)
      reason = "not found (looked for " + file.GetPath() + ")";
    platform::ReportProblem(name, "texture of " + meshName + ": " + reason + "; drawn without it");
  }
  return texture;
}

void Mesh::ComputeBounds() {
  mesh_->ComputeBoundingSphere(&sphereCentre_, &sphereRadius_);
  mesh_->ComputeBoundingBox(&boxMin_, &boxMax_);
}

void Mesh::ComputeFaceNormals() {
  const std::vector<gfx::Vector3>& positions = mesh_->Positions();
  const uint16_t* indices = mesh_->IndexData();
  const uint32_t faces = mesh_->FaceCount();
  faceNormals_.reserve(faces);
  for (uint32_t face = 0; face < faces; ++face) {
    const gfx::Vector3& p0 = positions[indices[3 * face]];
    const gfx::Vector3& p1 = positions[indices[3 * face + 1]];
    const gfx::Vector3& p2 = positions[indices[3 * face + 2]];
    faceNormals_.push_back(gfx::Vec3Normalize(gfx::Vec3Cross(p1 - p0, p2 - p1)));
  }
}

void Mesh::Release() {
  // Textures and buffers go before the device mesh's device might.
  materials_.clear();
  mesh_.reset();
  loadedOn_ = nullptr;
  faceNormals_.clear();
  sphereCentre_ = {};
  sphereRadius_ = 0;
  boxMin_ = {};
  boxMax_ = {};
}

bool Mesh::Draw() {
  if (mesh_ == nullptr)
    return false;
  for (uint32_t i = 0; i < materials_.size(); ++i) {
    loadedOn_->SetMaterial(materials_[i].material);
    loadedOn_->SetTexture(0, materials_[i].texture.get());
    if (!mesh_->DrawSubset(i))
      return false;
  }
  return true;
}

bool Mesh::IntersectRay(const gfx::Vector3& origin, const gfx::Vector3& direction, float* distance,
                        gfx::Vector3* normal) const {
  if (mesh_ == nullptr || distance == nullptr || normal == nullptr)
    return false;
  bool hit = false;
  uint32_t face = 0;
  float t = 0;
  if (!mesh_->Intersect(origin, direction, &hit, &face, &t) || !hit)
    return false;
  *distance = t;
  // The table always covers every face: it is built from the mesh's own copy of its faces.
  if (face < faceNormals_.size())
    *normal = faceNormals_[face];
  return true;
}

// The cache's mesh getter lives with the mesh, so the engine never depends on render.
Mesh* ResourceCache::GetMesh(const std::string& name) {
  return Get<Mesh>(Kind::Mesh, name);
}

}  // namespace quarn
