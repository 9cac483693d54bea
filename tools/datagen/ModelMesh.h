#pragma once
// A whole mesh as it is written to a .x file: vertices with one normal, texture coordinates and
// colour each, triangles with their material, and the materials in order of first use. Parts
// join it one by one; each part gets its normals from its own faces.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "MeshPart.h"
#include "Vec3.h"
#include "platform/DeviceTypes.h"

namespace quarn::tools {

class ModelMesh {
 public:
  struct Material {
    std::string name;
    platform::Argb color = 0xFFFFFFFF;  // diffuse, with the alpha of the surface
    double power = 0;                   // specular power; 0 for none
    platform::Argb specular = 0;
    platform::Argb emissive = 0;
    std::string texture;  // file name, empty for none
  };
  struct Vertex {
    Vec3 position;
    Vec3 normal;
    double u = 0;
    double v = 0;
    platform::Argb color = 0;  // the material's, so that unlit drawing shows it too
  };
  struct Face {
    uint32_t vertices[3] = {0, 0, 0};
    uint32_t material = 0;
  };

  // creaseDegrees: faces meeting at a sharper angle than this keep separate normals; 0 gives
  // every face its own (flat shading). Triangles without area are left out.
  void Add(const MeshPart& part, const Material& material, double creaseDegrees);

  const std::vector<Vertex>& Vertices() const { return vertices_; }
  const std::vector<Face>& Faces() const { return faces_; }
  const std::vector<Material>& Materials() const { return materials_; }

 private:
  uint32_t MaterialIndex(const Material& material);
  uint32_t VertexIndex(const Vertex& vertex, uint32_t material);

  std::vector<Vertex> vertices_;
  std::vector<Face> faces_;
  std::vector<Material> materials_;
  // Written values of a vertex and its material -> its index, so equal corners are shared.
  using Key = std::tuple<double, double, double, double, double, double, double, double, uint32_t>;
  std::map<Key, uint32_t> index_;
};

}  // namespace quarn::tools
