#include "MeshInspector.h"

#include "JsonWriter.h"
#include "gfxutil/XMeshLoader.h"
#include "platform/NullRenderDevice.h"

namespace quarn::tools {

namespace {

std::string JsonVector(const platform::Vector3& v) {
  return "[" + JsonNumber(v.x) + ", " + JsonNumber(v.y) + ", " + JsonNumber(v.z) + "]";
}

std::string JsonColor(const platform::ColorValue& c) {
  return "[" + JsonNumber(c.r) + ", " + JsonNumber(c.g) + ", " + JsonNumber(c.b) + ", " +
         JsonNumber(c.a) + "]";
}

std::string JsonMaterial(const gfx::FileMaterial& m) {
  return "{\"diffuse\": " + JsonColor(m.material.diffuse) +
         ", \"ambient\": " + JsonColor(m.material.ambient) +
         ", \"specular\": " + JsonColor(m.material.specular) +
         ", \"emissive\": " + JsonColor(m.material.emissive) +
         ", \"power\": " + JsonNumber(m.material.power) + ", \"texture\": " +
         (m.textureFile.empty() ? std::string("null") : JsonString(m.textureFile)) + "}";
}

}  // namespace

int InspectMesh(const std::string& path, std::ostream& out, std::ostream& err) {
  platform::NullRenderDevice device;
  std::string error;
  std::unique_ptr<gfx::Mesh> mesh = gfx::LoadMeshFromX(path, device, &error);
  if (!mesh) {
    err << "quarn-inspect: " << path << ": " << error << "\n";
    return 1;
  }
  gfx::Vector3 boxMin, boxMax, center;
  float radius = 0;
  mesh->ComputeBoundingBox(&boxMin, &boxMax);
  mesh->ComputeBoundingSphere(&center, &radius);

  out << "{\"vertex_count\": " << mesh->VertexCount() << ", \"face_count\": " << mesh->FaceCount()
      << ", \"fvf\": " << mesh->GetFvf() << ", \"materials\": [";
  for (size_t i = 0; i < mesh->Materials().size(); ++i) {
    out << (i ? ", " : "") << JsonMaterial(mesh->Materials()[i]);
  }
  out << "], \"subsets\": [";
  for (uint32_t i = 0; i < mesh->SubsetCount(); ++i) {
    out << (i ? ", " : "") << mesh->SubsetFaceCount(i);
  }
  out << "], \"bbox_min\": " << JsonVector(boxMin) << ", \"bbox_max\": " << JsonVector(boxMax)
      << ", \"sphere_center\": " << JsonVector(center)
      << ", \"sphere_radius\": " << JsonNumber(radius) << "}\n";
  return 0;
}

}  // namespace quarn::tools
