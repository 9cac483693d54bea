#include "XMeshWriter.h"

#include <charconv>
#include <fstream>

namespace quarn::tools {

namespace {
// The game's meshes use 16-bit indices.
constexpr size_t kMaxVertices = 65535;

std::string Number(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0')
      text.pop_back();
    if (text.back() == '.')
      text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

std::string Channel(platform::Argb color, int shift) {
  return Number(((color >> shift) & 0xFF) / 255.0);
}

std::string Rgb(platform::Argb color) {
  return Channel(color, 16) + ";" + Channel(color, 8) + ";" + Channel(color, 0) + ";";
}

std::string Rgba(platform::Argb color) {
  return Rgb(color) + Channel(color, 24) + ";";
}

// An object name the .x grammar takes: letters, digits and underscores, not led by a digit.
std::string ObjectName(const std::string& name) {
  std::string out;
  for (char c : name) {
    const bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    out += word ? c : '_';
  }
  if (out.empty() || (out[0] >= '0' && out[0] <= '9'))
    out = "M" + out;
  return out;
}

// "item,\n" for all but the last, which ends in ";\n": the list form of the .x grammar.
template <class Each>
void List(std::string* out, size_t count, Each each) {
  for (size_t i = 0; i < count; ++i) {
    *out += "  " + each(i);
    *out += i + 1 < count ? ",\n" : ";\n";
  }
}
}  // namespace

std::string XMeshWriter::Text(const ModelMesh& mesh, const std::string& name) {
  const auto& vertices = mesh.Vertices();
  const auto& faces = mesh.Faces();
  const auto& materials = mesh.Materials();
  const std::string object = ObjectName(name);
  std::string out = "xof 0303txt 0032\n\nFrame " + object + " {\n";
  out += " FrameTransformMatrix {\n  1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n }\n\n";
  out += " Mesh " + object + "Mesh {\n  " + std::to_string(vertices.size()) + ";\n";
  List(&out, vertices.size(), [&](size_t i) {
    const Vec3& p = vertices[i].position;
    return Number(p.x) + ";" + Number(p.y) + ";" + Number(p.z) + ";";
  });
  const auto faceList = [&](std::string* text) {
    *text += "  " + std::to_string(faces.size()) + ";\n";
    List(text, faces.size(), [&](size_t i) {
      const auto& v = faces[i].vertices;
      return "3;" + std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]) +
             ";";
    });
  };
  faceList(&out);

  out += "\n  MeshNormals {\n  " + std::to_string(vertices.size()) + ";\n";
  List(&out, vertices.size(), [&](size_t i) {
    const Vec3& n = vertices[i].normal;
    return Number(n.x) + ";" + Number(n.y) + ";" + Number(n.z) + ";";
  });
  faceList(&out);
  out += "  }\n\n  MeshTextureCoords {\n  " + std::to_string(vertices.size()) + ";\n";
  List(&out, vertices.size(),
       [&](size_t i) { return Number(vertices[i].u) + ";" + Number(vertices[i].v) + ";"; });
  out += "  }\n\n  MeshVertexColors {\n  " + std::to_string(vertices.size()) + ";\n";
  List(&out, vertices.size(),
       [&](size_t i) { return std::to_string(i) + ";" + Rgba(vertices[i].color) + ";"; });
  out += "  }\n\n  MeshMaterialList {\n  " + std::to_string(materials.size()) + ";\n  " +
         std::to_string(faces.size()) + ";\n";
  List(&out, faces.size(), [&](size_t i) { return std::to_string(faces[i].material); });
  for (const ModelMesh::Material& m : materials) {
    out += "\n  Material " + ObjectName(m.name) + " {\n   " + Rgba(m.color) + ";\n   " +
           Number(m.power) + ";\n   " + Rgb(m.specular) + ";\n   " + Rgb(m.emissive) + ";\n";
    if (!m.texture.empty())
      out += "   TextureFilename {\n    \"" + m.texture + "\";\n   }\n";
    out += "  }\n";
  }
  out += "  }\n }\n}\n";
  return out;
}

bool XMeshWriter::Write(const ModelMesh& mesh, const std::string& path, std::string* error) {
  if (mesh.Faces().empty()) {
    *error = path + ": the mesh has no triangles";
    return false;
  }
  if (mesh.Vertices().size() > kMaxVertices) {
    *error = path + ": " + std::to_string(mesh.Vertices().size()) +
             " vertices, more than the game's meshes hold (65535)";
    return false;
  }
  const size_t slash = path.find_last_of('/');
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  name = name.substr(0, name.find('.'));
  const std::string text = Text(mesh, name);
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    *error = path + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace quarn::tools
