#include "gfxutil/XFileWriter.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace quarn::testing {

XValue XValue::Ints(std::vector<uint32_t> values) {
  XValue v;
  v.kind = Kind::Integers;
  v.integers = std::move(values);
  return v;
}

XValue XValue::Floats(std::vector<float> values) {
  XValue v;
  v.kind = Kind::Floats;
  v.floats = std::move(values);
  return v;
}

XValue XValue::String(std::string text) {
  XValue v;
  v.kind = Kind::String;
  v.text = std::move(text);
  return v;
}

XObject XObject::Reference(std::string name) {
  XObject o;
  o.reference = std::move(name);
  return o;
}

namespace {

const char kTextTemplate[] =
    "template Mesh {\n <3d82ab44-62da-11cf-ab39-0020af71e433>\n DWORD nVertices;\n"
    " array Vector vertices[nVertices];\n DWORD nFaces;\n array MeshFace faces[nFaces];\n "
    "[...]\n}\n";

// --- text ---

// Appends pieces one by one: operator+ chains of strings trip a GCC 12 -O3 warning.
void Append(std::string* out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces)
    out->append(piece);
}

void WriteTextObject(const XObject& object, int depth, std::string* out) {
  const std::string indent(static_cast<size_t>(depth), ' ');
  if (!object.reference.empty()) {
    Append(out, {indent, "{ ", object.reference, " }\n"});
    return;
  }
  Append(out, {indent, object.type, object.name.empty() ? "" : " ", object.name, " {\n"});
  char number[32];
  for (const XValue& value : object.data) {
    Append(out, {indent, " "});
    switch (value.kind) {
      case XValue::Kind::Integers:
        for (size_t i = 0; i < value.integers.size(); ++i) {
          Append(out, {i ? "," : "", std::to_string(value.integers[i])});
        }
        break;
      case XValue::Kind::Floats:
        for (size_t i = 0; i < value.floats.size(); ++i) {
          std::snprintf(number, sizeof number, "%.9g", value.floats[i]);
          Append(out, {i ? ";" : "", number});
        }
        break;
      case XValue::Kind::String:
        Append(out, {"\"", value.text, "\""});
        break;
    }
    out->append(";  // data\n");
  }
  for (const XObject& child : object.children)
    WriteTextObject(child, depth + 1, out);
  Append(out, {indent, "}\n"});
}

// --- binary ---

enum : uint16_t {
  kName = 1,
  kString = 2,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOpenBrace = 10,
  kCloseBrace = 11,
  kOpenBracket = 14,
  kCloseBracket = 15,
  kDot = 18,
  kSemicolon = 20,
  kTemplate = 31,
  kDword = 41,
  kArray = 52,
};

void PutU16(std::string* out, uint16_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>(v >> 8));
}

void PutU32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutName(std::string* out, const std::string& name) {
  PutU16(out, kName);
  PutU32(out, static_cast<uint32_t>(name.size()));
  *out += name;
}

void WriteBinaryTemplate(std::string* out) {
  PutU16(out, kTemplate);
  PutName(out, "Mesh");
  PutU16(out, kOpenBrace);
  PutU16(out, kGuid);
  out->append(16, '\x5a');
  PutU16(out, kDword);
  PutName(out, "nVertices");
  PutU16(out, kSemicolon);
  PutU16(out, kArray);
  PutName(out, "Vector");
  PutName(out, "vertices");
  PutU16(out, kOpenBracket);
  PutName(out, "nVertices");
  PutU16(out, kCloseBracket);
  PutU16(out, kSemicolon);
  PutU16(out, kOpenBracket);
  for (int i = 0; i < 3; ++i)
    PutU16(out, kDot);
  PutU16(out, kCloseBracket);
  PutU16(out, kCloseBrace);
}

void WriteBinaryObject(const XObject& object, bool doubles, std::string* out) {
  if (!object.reference.empty()) {
    PutU16(out, kOpenBrace);
    PutName(out, object.reference);
    PutU16(out, kCloseBrace);
    return;
  }
  PutName(out, object.type);
  if (!object.name.empty())
    PutName(out, object.name);
  PutU16(out, kOpenBrace);
  for (const XValue& value : object.data) {
    switch (value.kind) {
      case XValue::Kind::Integers:
        PutU16(out, kIntegerList);
        PutU32(out, static_cast<uint32_t>(value.integers.size()));
        for (uint32_t v : value.integers)
          PutU32(out, v);
        break;
      case XValue::Kind::Floats:
        PutU16(out, kFloatList);
        PutU32(out, static_cast<uint32_t>(value.floats.size()));
        for (float v : value.floats) {
          if (doubles) {
            const double wide = v;
            out->append(reinterpret_cast<const char*>(&wide), sizeof wide);
          } else {
            out->append(reinterpret_cast<const char*>(&v), sizeof v);
          }
        }
        break;
      case XValue::Kind::String:
        PutU16(out, kString);
        PutU32(out, static_cast<uint32_t>(value.text.size()));
        *out += value.text;
        PutU16(out, kSemicolon);
        break;
    }
  }
  for (const XObject& child : object.children)
    WriteBinaryObject(child, doubles, out);
  PutU16(out, kCloseBrace);
}

std::vector<float> Flatten(const std::vector<platform::Vector3>& vectors) {
  std::vector<float> floats;
  for (const auto& v : vectors)
    floats.insert(floats.end(), {v.x, v.y, v.z});
  return floats;
}

// The face list as exporters write it: count, then for each face its corner count and corners.
std::vector<uint32_t> FaceList(const std::vector<std::vector<uint32_t>>& faces) {
  std::vector<uint32_t> list{static_cast<uint32_t>(faces.size())};
  for (const auto& face : faces) {
    list.push_back(static_cast<uint32_t>(face.size()));
    list.insert(list.end(), face.begin(), face.end());
  }
  return list;
}

}  // namespace

std::string WriteTextX(const XDocument& document) {
  std::string out = "xof 0303txt 0032\n# written by the test generator\n";
  if (document.withTemplates)
    out += kTextTemplate;
  for (const XObject& object : document.objects)
    WriteTextObject(object, 0, &out);
  return out;
}

std::string WriteBinaryX(const XDocument& document, bool doubleFloats) {
  std::string out = doubleFloats ? "xof 0303bin 0064" : "xof 0303bin 0032";
  if (document.withTemplates)
    WriteBinaryTemplate(&out);
  for (const XObject& object : document.objects)
    WriteBinaryObject(object, doubleFloats, &out);
  return out;
}

std::string CompressX(const std::string& file, size_t blockSize) {
  std::string out = file.substr(0, 16);
  out.replace(8, 4, file.compare(8, 4, "txt ") == 0 ? "tzip" : "bzip");
  PutU32(&out, static_cast<uint32_t>(file.size()));
  const std::string body = file.substr(16);
  std::string previous;
  for (size_t at = 0; at < body.size(); at += blockSize) {
    const std::string block = body.substr(at, blockSize);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (!previous.empty()) {
      deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(previous.data()),
                           static_cast<uInt>(previous.size()));
    }
    std::string deflated(deflateBound(&stream, static_cast<uLong>(block.size())) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    stream.avail_in = static_cast<uInt>(block.size());
    stream.next_out = reinterpret_cast<Bytef*>(deflated.data());
    stream.avail_out = static_cast<uInt>(deflated.size());
    deflate(&stream, Z_FINISH);
    deflated.resize(stream.total_out);
    deflateEnd(&stream);
    PutU16(&out, static_cast<uint16_t>(block.size()));
    PutU16(&out, static_cast<uint16_t>(deflated.size() + 2));
    Append(&out, {"CK", deflated});
    previous = block;
  }
  return out;
}

XObject TestMesh::Build(const std::string& name) const {
  XObject mesh{"Mesh", name, {}, {}, {}};
  mesh.data.push_back(XValue::Ints({static_cast<uint32_t>(positions.size())}));
  mesh.data.push_back(XValue::Floats(Flatten(positions)));
  mesh.data.push_back(XValue::Ints(FaceList(faces)));
  if (!faceNormals.empty()) {
    XObject normalsObject{"MeshNormals", "", {}, {}, {}};
    normalsObject.data.push_back(XValue::Ints({static_cast<uint32_t>(normals.size())}));
    normalsObject.data.push_back(XValue::Floats(Flatten(normals)));
    normalsObject.data.push_back(XValue::Ints(FaceList(faceNormals)));
    mesh.children.push_back(normalsObject);
  }
  if (!texCoords.empty()) {
    XObject coords{"MeshTextureCoords", "", {}, {}, {}};
    coords.data.push_back(XValue::Ints({static_cast<uint32_t>(texCoords.size() / 2)}));
    coords.data.push_back(XValue::Floats(texCoords));
    mesh.children.push_back(coords);
  }
  if (!colors.empty()) {
    XObject colorObject{"MeshVertexColors", "", {}, {}, {}};
    colorObject.data.push_back(XValue::Ints({static_cast<uint32_t>(colors.size())}));
    for (const auto& [index, c] : colors) {
      colorObject.data.push_back(XValue::Ints({index}));
      colorObject.data.push_back(XValue::Floats({c.r, c.g, c.b, c.a}));
    }
    mesh.children.push_back(colorObject);
  }
  if (materialList) {
    XObject list{"MeshMaterialList", "", {}, {}, {}};
    list.data.push_back(XValue::Ints({materialCount, static_cast<uint32_t>(faceMaterials.size())}));
    list.data.push_back(XValue::Ints(faceMaterials));
    list.children = materials;
    mesh.children.push_back(list);
  }
  return mesh;
}

XObject MaterialObject(const platform::ColorValue& diffuse, float power,
                       const platform::ColorValue& specular, const platform::ColorValue& emissive,
                       const std::string& texture, const std::string& name) {
  XObject material{"Material", name, {}, {}, {}};
  material.data.push_back(XValue::Floats({diffuse.r, diffuse.g, diffuse.b, diffuse.a}));
  material.data.push_back(XValue::Floats({power}));
  material.data.push_back(XValue::Floats({specular.r, specular.g, specular.b}));
  material.data.push_back(XValue::Floats({emissive.r, emissive.g, emissive.b}));
  if (!texture.empty()) {
    material.children.push_back(XObject{"TextureFilename", "", {XValue::String(texture)}, {}, {}});
  }
  return material;
}

XObject FrameObject(const std::string& name, const platform::Matrix4& matrix,
                    std::vector<XObject> children) {
  XObject frame{"Frame", name, {}, {}, {}};
  std::vector<float> values;
  for (const auto& row : matrix.m)
    values.insert(values.end(), row, row + 4);
  frame.children.push_back(XObject{"FrameTransformMatrix", "", {XValue::Floats(values)}, {}, {}});
  for (XObject& child : children)
    frame.children.push_back(std::move(child));
  return frame;
}

platform::Matrix4 Translation(float x, float y, float z) {
  platform::Matrix4 m;
  m.m[3][0] = x;
  m.m[3][1] = y;
  m.m[3][2] = z;
  return m;
}

TestMesh GridMesh(uint32_t side) {
  TestMesh mesh;
  const uint32_t row = side + 1;
  for (uint32_t z = 0; z <= side; ++z) {
    for (uint32_t x = 0; x <= side; ++x) {
      const float wave = 0.25f * static_cast<float>((x * 7 + z * 3) % 5);
      mesh.positions.push_back({static_cast<float>(x), wave, static_cast<float>(z)});
      mesh.texCoords.push_back(static_cast<float>(x) / static_cast<float>(side));
      mesh.texCoords.push_back(static_cast<float>(z) / static_cast<float>(side));
    }
  }
  mesh.normals.push_back({0, 1, 0});
  for (uint32_t z = 0; z < side; ++z) {
    for (uint32_t x = 0; x < side; ++x) {
      const uint32_t a = z * row + x;
      mesh.faces.push_back({a, a + row, a + 1});
      mesh.faces.push_back({a + 1, a + row, a + row + 1});
      mesh.faceNormals.push_back({0, 0, 0});
      mesh.faceNormals.push_back({0, 0, 0});
    }
  }
  return mesh;
}

}  // namespace quarn::testing
