#include "gfxutil/XMeshParser.h"

#include <strings.h>
#include <algorithm>
#include <cmath>

namespace quarn::gfx {

namespace {

// Frames nested deeper than this are taken as damage (and would exhaust the stack).
constexpr int kMaxFrameDepth = 256;
// Counts from the file are not trusted for reserving memory beyond this.
constexpr uint32_t kMaxVerticesToReserve = 4096;
constexpr uint32_t kMaxMaterials = 65535;

bool SameName(const std::string& a, const char* b) {
  return strcasecmp(a.c_str(), b) == 0;
}

platform::Argb PackColor(const platform::ColorValue& c) {
  auto channel = [](float v) {
    if (!(v > 0))
      return 0u;  // also NaN
    if (v >= 1)
      return 255u;
    return static_cast<uint32_t>(std::lround(v * 255.0f));
  };
  return platform::MakeArgb(channel(c.a), channel(c.r), channel(c.g), channel(c.b));
}

}  // namespace

bool XMeshParser::Fail(const std::string& reason) {
  if (error_.empty())
    error_ = reader_.Error().empty() ? reason : reason + ": " + reader_.Error();
  return false;
}

bool XMeshParser::OpenObject(std::string* objectName) {
  objectName->clear();
  std::string name;
  XToken token = reader_.Next(&name);
  if (token == XToken::Name) {
    *objectName = name;
    token = reader_.Next(&name);
  }
  if (token != XToken::OpenBrace)
    return Fail("expected '{' after a data object's name");
  return true;
}

bool XMeshParser::SkipRest() {
  std::string name;
  for (int depth = 1; depth > 0;) {
    switch (reader_.Next(&name)) {
      case XToken::OpenBrace:
        ++depth;
        break;
      case XToken::CloseBrace:
        --depth;
        break;
      case XToken::End:
        return Fail("unexpected end of file inside a data object");
      case XToken::Error:
        return Fail("damaged data object");
      default:
        break;
    }
  }
  return true;
}

template <class OnChild, class OnReference>
bool XMeshParser::ParseChildren(OnChild onChild, OnReference onReference) {
  std::string name;
  for (;;) {
    switch (reader_.Next(&name)) {
      case XToken::CloseBrace:
        return true;
      case XToken::Name:
        if (!onChild(name))
          return false;
        break;
      case XToken::OpenBrace: {
        // A reference: { Name } or { Name <GUID> } (the GUID is skipped by the reader).
        std::string target;
        XToken token = reader_.Next(&target);
        if (token == XToken::Name) {
          onReference(target);
          token = reader_.Next(&name);
        }
        if (token != XToken::CloseBrace)
          return Fail("damaged reference");
        break;
      }
      case XToken::Template:
        return Fail("template declared inside a data object");
      case XToken::End:
        return Fail("unexpected end of file inside a data object");
      case XToken::Error:
        return Fail("damaged data object");
    }
  }
}

bool XMeshParser::ReadVector(Vector3* v) {
  return reader_.ReadFloat(&v->x) && reader_.ReadFloat(&v->y) && reader_.ReadFloat(&v->z);
}

bool XMeshParser::ReadColor(platform::ColorValue* color, bool withAlpha) {
  if (!reader_.ReadFloat(&color->r) || !reader_.ReadFloat(&color->g) ||
      !reader_.ReadFloat(&color->b)) {
    return false;
  }
  color->a = 1.0f;
  return !withAlpha || reader_.ReadFloat(&color->a);
}

bool XMeshParser::Parse(std::vector<RawXMesh>* meshes, std::string* error) {
  const size_t first = meshes->size();
  std::string name;
  bool done = false;
  while (!done) {
    bool ok = true;
    switch (reader_.Next(&name)) {
      case XToken::End:
        done = true;
        break;
      case XToken::Template: {
        std::string templateName;
        ok = OpenObject(&templateName) && SkipRest();
        break;
      }
      case XToken::Name:
        if (SameName(name, "Frame")) {
          ok = ParseFrame(0, meshes);
        } else if (SameName(name, "Mesh")) {
          meshes->emplace_back();
          ok = ParseMesh(&meshes->back());
        } else if (SameName(name, "Material")) {
          FileMaterial material;
          ok = ParseMaterial(&material);
        } else {
          std::string objectName;
          ok = OpenObject(&objectName) && SkipRest();
        }
        break;
      case XToken::OpenBrace:
      case XToken::CloseBrace:
        ok = Fail("unbalanced braces");
        break;
      case XToken::Error:
        ok = Fail("damaged file");
        break;
    }
    if (!ok) {
      Fail("damaged file");
      break;
    }
  }
  if (!error_.empty()) {
    *error = error_;
    return false;
  }
  // References may point forward, so they are resolved once the whole file is read.
  for (size_t m = first; m < meshes->size(); ++m) {
    RawXMesh& mesh = (*meshes)[m];
    for (size_t i = 0; i < mesh.materials.size(); ++i) {
      const std::string& reference = mesh.materialReferences[i];
      if (reference.empty())
        continue;
      const auto found = namedMaterials_.find(reference);
      if (found == namedMaterials_.end()) {
        *error = "Material '" + reference + "' is referred to but not defined";
        return false;
      }
      mesh.materials[i] = found->second;
    }
  }
  return true;
}

bool XMeshParser::ParseFrame(int depth, std::vector<RawXMesh>* meshes) {
  if (depth >= kMaxFrameDepth)
    return Fail("frames nested too deep");
  std::string objectName;
  if (!OpenObject(&objectName))
    return false;
  // The frame's transform so far: a FrameTransformMatrix applies to what follows it in the
  // frame, and each further one multiplies on as a child frame's would.
  Matrix local;
  const auto place = [&](size_t first, bool ok) {
    for (size_t i = first; i < meshes->size(); ++i)
      (*meshes)[i].transform = MatrixMultiply((*meshes)[i].transform, local);
    return ok;
  };
  const bool ok = ParseChildren(
      [&](const std::string& type) {
        const size_t first = meshes->size();
        if (SameName(type, "FrameTransformMatrix")) {
          Matrix matrix;
          if (!ParseFrameTransform(&matrix))
            return false;
          local = MatrixMultiply(matrix, local);
          return true;
        }
        if (SameName(type, "Frame"))
          return place(first, ParseFrame(depth + 1, meshes));
        if (SameName(type, "Mesh")) {
          meshes->emplace_back();
          return place(first, ParseMesh(&meshes->back()));
        }
        if (SameName(type, "Material")) {
          FileMaterial material;
          return ParseMaterial(&material);
        }
        std::string name;
        return OpenObject(&name) && SkipRest();
      },
      [](const std::string&) {});
  return ok;
}

bool XMeshParser::ParseFrameTransform(Matrix* matrix) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  for (auto& row : matrix->m) {
    for (float& value : row) {
      if (!reader_.ReadFloat(&value))
        return Fail("damaged FrameTransformMatrix");
    }
  }
  return SkipRest();
}

bool XMeshParser::ParseMesh(RawXMesh* mesh) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  uint32_t vertexCount = 0;
  if (!reader_.ReadUInt(&vertexCount))
    return Fail("damaged Mesh");
  mesh->positions.reserve(std::min(vertexCount, kMaxVerticesToReserve));
  for (uint32_t i = 0; i < vertexCount; ++i) {
    Vector3 position;
    if (!ReadVector(&position))
      return Fail("damaged Mesh vertices");
    mesh->positions.push_back(position);
  }
  uint32_t faceCount = 0;
  if (!reader_.ReadUInt(&faceCount))
    return Fail("damaged Mesh");
  for (uint32_t f = 0; f < faceCount; ++f) {
    uint32_t cornerCount = 0;
    if (!reader_.ReadUInt(&cornerCount))
      return Fail("damaged Mesh faces");
    for (uint32_t k = 0; k < cornerCount; ++k) {
      uint32_t index = 0;
      if (!reader_.ReadUInt(&index))
        return Fail("damaged Mesh faces");
      if (index >= vertexCount) {
        return Fail("face " + std::to_string(f) + " uses vertex " + std::to_string(index) +
                    " of a mesh with " + std::to_string(vertexCount));
      }
      mesh->corners.push_back(index);
    }
    mesh->polygonStarts.push_back(static_cast<uint32_t>(mesh->corners.size()));
  }
  return ParseChildren(
      [&](const std::string& type) {
        if (SameName(type, "MeshNormals"))
          return ParseNormals(mesh);
        if (SameName(type, "MeshTextureCoords"))
          return ParseTexCoords(mesh);
        if (SameName(type, "MeshVertexColors"))
          return ParseColors(mesh);
        if (SameName(type, "MeshMaterialList"))
          return ParseMaterialList(mesh);
        std::string objectName;
        return OpenObject(&objectName) && SkipRest();
      },
      [](const std::string&) {});
}

bool XMeshParser::ParseNormals(RawXMesh* mesh) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  uint32_t normalCount = 0;
  if (!reader_.ReadUInt(&normalCount))
    return Fail("damaged MeshNormals");
  mesh->normals.clear();
  mesh->normals.reserve(std::min(normalCount, kMaxVerticesToReserve));
  for (uint32_t i = 0; i < normalCount; ++i) {
    Vector3 normal;
    if (!ReadVector(&normal))
      return Fail("damaged MeshNormals");
    mesh->normals.push_back(normal);
  }
  uint32_t faceCount = 0;
  if (!reader_.ReadUInt(&faceCount))
    return Fail("damaged MeshNormals");
  if (faceCount != mesh->PolygonCount()) {
    return Fail("MeshNormals has " + std::to_string(faceCount) + " faces, the mesh " +
                std::to_string(mesh->PolygonCount()));
  }
  mesh->cornerNormals.clear();
  mesh->cornerNormals.reserve(mesh->corners.size());
  for (uint32_t f = 0; f < faceCount; ++f) {
    uint32_t cornerCount = 0;
    if (!reader_.ReadUInt(&cornerCount))
      return Fail("damaged MeshNormals faces");
    if (cornerCount != mesh->polygonStarts[f + 1] - mesh->polygonStarts[f]) {
      return Fail("MeshNormals face " + std::to_string(f) + " has another corner count");
    }
    for (uint32_t k = 0; k < cornerCount; ++k) {
      uint32_t index = 0;
      if (!reader_.ReadUInt(&index))
        return Fail("damaged MeshNormals faces");
      if (index >= normalCount) {
        return Fail("MeshNormals face " + std::to_string(f) + " uses normal " +
                    std::to_string(index) + " of " + std::to_string(normalCount));
      }
      mesh->cornerNormals.push_back(index);
    }
  }
  mesh->hasNormals = true;
  return SkipRest();
}

bool XMeshParser::ParseTexCoords(RawXMesh* mesh) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  uint32_t count = 0;
  if (!reader_.ReadUInt(&count))
    return Fail("damaged MeshTextureCoords");
  if (count != mesh->positions.size()) {
    return Fail("MeshTextureCoords has " + std::to_string(count) + " entries for " +
                std::to_string(mesh->positions.size()) + " vertices");
  }
  mesh->texCoords.resize(2 * static_cast<size_t>(count));
  for (float& value : mesh->texCoords) {
    if (!reader_.ReadFloat(&value))
      return Fail("damaged MeshTextureCoords");
  }
  mesh->hasTexCoords = true;
  return SkipRest();
}

bool XMeshParser::ParseColors(RawXMesh* mesh) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  uint32_t count = 0;
  if (!reader_.ReadUInt(&count))
    return Fail("damaged MeshVertexColors");
  mesh->colors.assign(mesh->positions.size(), 0xFFFFFFFFu);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t index = 0;
    platform::ColorValue color;
    if (!reader_.ReadUInt(&index) || !ReadColor(&color, true)) {
      return Fail("damaged MeshVertexColors");
    }
    if (index >= mesh->positions.size()) {
      return Fail("MeshVertexColors names vertex " + std::to_string(index) + " of " +
                  std::to_string(mesh->positions.size()));
    }
    mesh->colors[index] = PackColor(color);
  }
  mesh->hasColors = true;
  return SkipRest();
}

bool XMeshParser::ParseMaterialList(RawXMesh* mesh) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  uint32_t materialCount = 0;
  uint32_t indexCount = 0;
  if (!reader_.ReadUInt(&materialCount) || !reader_.ReadUInt(&indexCount)) {
    return Fail("damaged MeshMaterialList");
  }
  // Each material is a subset drawn on its own; a count beyond this is damage, and padding
  // it with default materials would take gigabytes.
  if (materialCount > kMaxMaterials) {
    return Fail("MeshMaterialList counts " + std::to_string(materialCount) +
                " materials, more than " + std::to_string(kMaxMaterials));
  }
  std::vector<uint32_t> indices;
  indices.reserve(std::min(indexCount, mesh->PolygonCount()));
  for (uint32_t i = 0; i < indexCount; ++i) {
    uint32_t index = 0;
    if (!reader_.ReadUInt(&index))
      return Fail("damaged MeshMaterialList");
    if (materialCount > 0 && index >= materialCount) {
      return Fail("face " + std::to_string(i) + " uses material " + std::to_string(index) + " of " +
                  std::to_string(materialCount));
    }
    if (i < mesh->PolygonCount())
      indices.push_back(index);
  }
  std::vector<FileMaterial> materials;
  std::vector<std::string> references;
  const bool ok = ParseChildren(
      [&](const std::string& type) {
        if (SameName(type, "Material")) {
          FileMaterial material;
          if (!ParseMaterial(&material))
            return false;
          materials.push_back(material);
          references.emplace_back();
          return true;
        }
        std::string objectName;
        return OpenObject(&objectName) && SkipRest();
      },
      [&](const std::string& reference) {
        materials.push_back(DefaultFileMaterial());
        references.push_back(reference);
      });
  if (!ok)
    return false;
  if (materialCount == 0)
    return true;  // no materials: the mesh gets the default one
  // Materials the list counts but does not give are drawn with the default material.
  materials.resize(materialCount, DefaultFileMaterial());
  references.resize(materialCount);
  // Exporters often give fewer indices than faces: the last one holds for the rest.
  const uint32_t fill = indices.empty() ? 0 : indices.back();
  indices.resize(mesh->PolygonCount(), fill);
  mesh->hasMaterialList = true;
  mesh->polygonMaterials = std::move(indices);
  mesh->materials = std::move(materials);
  mesh->materialReferences = std::move(references);
  return true;
}

bool XMeshParser::ParseMaterial(FileMaterial* material) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  if (!ParseMaterialBody(material))
    return false;
  // Any named material may be referred to by a material list.
  if (!name.empty())
    namedMaterials_.insert_or_assign(name, *material);
  return true;
}

bool XMeshParser::ParseMaterialBody(FileMaterial* material) {
  platform::Material& m = material->material;
  m = platform::Material{};
  if (!ReadColor(&m.diffuse, true) || !reader_.ReadFloat(&m.power) ||
      !ReadColor(&m.specular, false) || !ReadColor(&m.emissive, false)) {
    return Fail("damaged Material");
  }
  material->textureFile.clear();
  return ParseChildren(
      [&](const std::string& type) {
        if (SameName(type, "TextureFilename"))
          return ParseTextureFilename(&material->textureFile);
        std::string objectName;
        return OpenObject(&objectName) && SkipRest();
      },
      [](const std::string&) {});
}

bool XMeshParser::ParseTextureFilename(std::string* file) {
  std::string name;
  if (!OpenObject(&name))
    return false;
  if (!reader_.ReadString(file))
    return Fail("damaged TextureFilename");
  return SkipRest();
}

}  // namespace quarn::gfx
