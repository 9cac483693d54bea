#pragma once
// Writes a ModelMesh as a DirectX .x text file ("xof 0303txt 0032"): one Frame holding one
// Mesh with MeshNormals, MeshTextureCoords, MeshVertexColors and MeshMaterialList, each
// Material with its TextureFilename when it has one. Numbers are written with four decimals
// at most, so the same mesh always gives the same bytes.
#include <string>

#include "ModelMesh.h"

namespace quarn::tools {

class XMeshWriter {
 public:
  // The file's text; name becomes the frame's and the mesh's object name.
  static std::string Text(const ModelMesh& mesh, const std::string& name);
  // False with the reason in *error when the mesh is empty, has more vertices than the
  // game's 16-bit indices reach, or the file cannot be written.
  static bool Write(const ModelMesh& mesh, const std::string& path, std::string* error);
};

}  // namespace quarn::tools
