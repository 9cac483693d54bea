#pragma once
// Reads the meshes of a .x file from its token stream: Frame hierarchies with their
// FrameTransformMatrix, Mesh with MeshNormals, MeshTextureCoords, MeshVertexColors and
// MeshMaterialList, Material with TextureFilename. Templates and every other data object
// are skipped by their braces.
#include <map>
#include <string>
#include <vector>

#include "gfxutil/RawXMesh.h"
#include "gfxutil/XTokenReader.h"

namespace quarn::gfx {

class XMeshParser {
 public:
  explicit XMeshParser(XTokenReader& reader) : reader_(reader) {}

  // Appends every mesh in file order, each with the transform of its frames. Material
  // references are resolved against the named Material objects of the whole file.
  bool Parse(std::vector<RawXMesh>* meshes, std::string* error);

 private:
  bool ParseFrame(int depth, std::vector<RawXMesh>* meshes);
  bool ParseFrameTransform(Matrix* matrix);
  bool ParseMesh(RawXMesh* mesh);
  bool ParseNormals(RawXMesh* mesh);
  bool ParseTexCoords(RawXMesh* mesh);
  bool ParseColors(RawXMesh* mesh);
  bool ParseMaterialList(RawXMesh* mesh);
  bool ParseMaterial(FileMaterial* material);
  bool ParseMaterialBody(FileMaterial* material);
  bool ParseTextureFilename(std::string* file);

  // After a template name: the optional object name and the opening brace.
  bool OpenObject(std::string* objectName);
  // Skips everything up to and including the brace that closes the current object.
  bool SkipRest();
  // Reads the nested objects up to the closing brace: onChild(type) for each object (it must
  // read the object through its closing brace), onReference(name) for each {reference}.
  template <class OnChild, class OnReference>
  bool ParseChildren(OnChild onChild, OnReference onReference);
  bool ReadVector(Vector3* v);
  bool ReadColor(platform::ColorValue* color, bool withAlpha);
  bool Fail(const std::string& reason);

  XTokenReader& reader_;
  std::map<std::string, FileMaterial> namedMaterials_;
  std::string error_;
};

}  // namespace quarn::gfx
