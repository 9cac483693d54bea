#include "MeshRecipe.h"

#include "MeshShapes.h"
#include "TerrainField.h"
#include "TerrainMesher.h"
#include "TokenReader.h"
#include "XMeshWriter.h"

namespace quarn::tools {

namespace {
// Groups may use one another, but not without end.
constexpr int kMaxUseDepth = 8;
// Faces of round shapes meeting at less than this are shaded as one surface.
constexpr double kRoundCrease = 60.0;
constexpr char kMaterials[] = "Materials";

int Count(TokenReader& t, const char* what, int low, int high) {
  const int value = t.Integer(what);
  if (t.Ok() && (value < low || value > high))
    t.Fail(std::string(what) + " must lie between " + std::to_string(low) + " and " +
           std::to_string(high));
  return value;
}

double Size(TokenReader& t, const char* what) {
  const double value = t.Number(what);
  if (t.Ok() && value < 0)
    t.Fail(std::string(what) + " must not be negative");
  return value;
}

// (a, b) pairs up to the first word that is not a number.
std::vector<std::pair<double, double>> Pairs(TokenReader& t, const char* what) {
  std::vector<std::pair<double, double>> pairs;
  while (t.Ok() && t.NextIsNumber()) {
    const double a = t.Number(what);
    const double b = t.Number(what);
    pairs.push_back({a, b});
  }
  return pairs;
}
}  // namespace

bool MeshRecipe::FindMaterial(const std::string& name, ModelMesh::Material* material,
                              std::string* problem) const {
  const auto value = meshes_->Get(kMaterials, name);
  if (!value) {
    *problem = "no material '" + name + "' in [" + kMaterials + "]";
    return false;
  }
  TokenReader t(*value);
  material->name = name;
  material->color = t.Color("colour");
  while (t.Ok() && !t.AtEnd()) {
    const std::string word = t.Word("option");
    if (word == "shine") {
      material->power = Size(t, "power");
      material->specular = t.Color("specular colour");
    } else if (word == "glow") {
      material->emissive = t.Color("glow colour");
    } else if (word == "texture") {
      material->texture = t.Word("texture file");
    } else if (t.Ok()) {
      t.Fail("'" + word + "' is none of shine, glow, texture");
    }
  }
  if (!t.Ok())
    *problem = meshes_->Where(kMaterials, name) + ": " + t.Problem();
  return t.Ok();
}

bool MeshRecipe::Build(const std::string& section, ModelMesh* mesh, std::string* error) const {
  return BuildGroup(section, Placement(), "", "", 0, mesh, error);
}

bool MeshRecipe::BuildGroup(const std::string& section, const Placement& placement,
                            const std::string& given, const std::string& inherited, int depth,
                            ModelMesh* mesh, std::string* error) const {
  const std::string own = !given.empty() ? given : meshes_->GetOr(section, "Material", inherited);
  const auto parts = meshes_->List(section, "Part");
  if (parts.empty()) {
    *error = meshes_->Where(section, "") + ": no Part_N to build";
    return false;
  }
  for (const auto& [index, line] : parts) {
    std::string problem;
    bool nested = false;
    if (!BuildPart(line, placement, own, depth, mesh, &problem, &nested)) {
      // A problem inside a used group already names its own place.
      *error = nested ? problem
                      : meshes_->Where(section, "Part_" + std::to_string(index)) + ": " + problem;
      return false;
    }
  }
  return true;
}

bool MeshRecipe::BuildPart(const std::string& line, const Placement& outer,
                           const std::string& inherited, int depth, ModelMesh* mesh,
                           std::string* problem, bool* nested) const {
  TokenReader t(line);
  const std::string shape = t.Word("shape");
  MeshPart part;
  bool round = false;
  std::string group;
  if (shape == "box") {
    const double w = Size(t, "width"), h = Size(t, "height"), d = Size(t, "depth");
    part = MeshShapes::Box(w, h, d);
  } else if (shape == "frustum") {
    const double w = Size(t, "width"), h = Size(t, "height"), d = Size(t, "depth");
    const double fw = Size(t, "front width"), fh = Size(t, "front height");
    double dx = 0, dy = 0;
    if (t.NextIsNumber()) {
      dx = t.Number("front x");
      dy = t.Number("front y");
    }
    part = MeshShapes::Frustum(w, h, d, fw, fh, dx, dy);
  } else if (shape == "wedge") {
    const double w = Size(t, "width"), h = Size(t, "height"), d = Size(t, "depth");
    part = MeshShapes::Wedge(w, h, d);
  } else if (shape == "cylinder" || shape == "cone") {
    const double r = Size(t, "radius"), l = Size(t, "length");
    const int segments = t.NextIsNumber() ? Count(t, "segments", 3, 256) : 12;
    part =
        shape == "cone" ? MeshShapes::Cone(r, l, segments) : MeshShapes::Cylinder(r, l, segments);
    round = true;
  } else if (shape == "sphere") {
    const double rx = Size(t, "x radius"), ry = Size(t, "y radius"), rz = Size(t, "z radius");
    int segments = 12, rings = 8;
    if (t.NextIsNumber()) {
      segments = Count(t, "segments", 3, 256);
      rings = Count(t, "rings", 2, 128);
    }
    part = MeshShapes::Sphere(rx, ry, rz, segments, rings);
    round = true;
  } else if (shape == "lathe") {
    const int segments = Count(t, "segments", 3, 256);
    const auto profile = Pairs(t, "profile point");
    if (t.Ok() && profile.size() < 2)
      t.Fail("a lathe needs at least two (z r) points");
    for (const auto& p : profile) {
      if (t.Ok() && p.second < 0)
        t.Fail("a lathe radius must not be negative");
    }
    part = MeshShapes::Lathe(profile, segments);
    round = true;
  } else if (shape == "extrude") {
    const double thickness = Size(t, "thickness");
    const auto outline = Pairs(t, "outline point");
    if (t.Ok() && outline.size() < 3)
      t.Fail("an outline needs at least three (x z) points");
    part = MeshShapes::Extrude(outline, thickness);
  } else if (shape == "quad") {
    const double w = Size(t, "width"), h = Size(t, "height");
    part = MeshShapes::Quad(w, h);
  } else if (shape == "disc") {
    const double r = Size(t, "radius");
    const int segments = t.NextIsNumber() ? Count(t, "segments", 3, 256) : 16;
    part = MeshShapes::Disc(r, segments);
  } else if (shape == "cross") {
    const double w = Size(t, "width"), l = Size(t, "length");
    const int count = Count(t, "count", 1, 16);
    part = MeshShapes::Cross(w, l, count);
  } else if (shape == "sky") {
    const double radius = Size(t, "radius");
    const int segments = Count(t, "segments", 3, 256);
    const int rings = Count(t, "rings", 1, 128);
    const double skirt = t.Number("skirt");
    if (t.Ok() && (skirt < 0 || skirt > 80))
      t.Fail("skirt must lie between 0 and 80 degrees");
    part = MeshShapes::Sky(radius, segments, rings, skirt);
    round = true;
  } else if (shape == "terrain") {
    const std::string name = t.Word("terrain section");
    const int cells = Count(t, "cells", 1, 1024);
    const double from = t.Number("from"), to = t.Number("to");
    const bool floor = t.Accept("floor");
    if (t.Ok()) {
      TerrainField field;
      std::string reason;
      if (terrain_ == nullptr || !terrain_->HasSection(name))
        t.Fail("no terrain section '" + name + "'");
      else if (!field.Load(*terrain_, name, &reason) ||
               !TerrainMesher::Build(field, cells, from, to, floor, &part, &reason))
        t.Fail(reason);
    }
    round = true;
  } else if (shape == "use") {
    group = t.Word("section");
    if (t.Ok() && !meshes_->HasSection(group))
      t.Fail("no section '" + group + "' to use");
    if (t.Ok() && depth >= kMaxUseDepth)
      t.Fail("sections use one another too deeply (a loop?)");
  } else if (t.Ok()) {
    t.Fail("unknown shape '" + shape + "'");
  }

  // Options, in any order.
  Vec3 at, scale{1, 1, 1};
  double heading = 0, pitch = 0, bank = 0;
  double crease = round ? kRoundCrease : 0;
  double su = 1, sv = 1;
  bool mirror = false, inside = false, both = false;
  std::string material;
  while (t.Ok() && !t.AtEnd()) {
    const std::string option = t.Word("option");
    if (option == "at") {
      at.x = t.Number("x");
      at.y = t.Number("y");
      at.z = t.Number("z");
    } else if (option == "turn") {
      heading = t.Number("heading");
      pitch = t.Number("pitch");
      bank = t.Number("bank");
    } else if (option == "scale") {
      scale.x = scale.y = scale.z = t.Number("scale");
      if (t.NextIsNumber()) {
        scale.y = t.Number("y scale");
        scale.z = t.Number("z scale");
      }
      if (t.Ok() && scale.x * scale.y * scale.z == 0)
        t.Fail("a scale of 0 flattens the part");
    } else if (option == "mat") {
      material = t.Word("material");
    } else if (option == "flat") {
      crease = 0;
    } else if (option == "smooth") {
      crease = t.NextIsNumber() ? t.Number("crease") : kRoundCrease;
      if (t.Ok() && (crease < 0 || crease > 180))
        t.Fail("crease must lie between 0 and 180 degrees");
    } else if (option == "mirror") {
      mirror = true;
    } else if (option == "inside") {
      inside = true;
    } else if (option == "both") {
      both = true;
    } else if (option == "uv") {
      su = t.Number("u scale");
      sv = t.Number("v scale");
    } else if (t.Ok()) {
      t.Fail("unknown option '" + option + "'");
    }
  }
  if (!t.Ok()) {
    *problem = t.Problem();
    return false;
  }
  const Placement local = Placement::Move(at)
                              .After(Placement::Turn(heading, pitch, bank))
                              .After(Placement::Scale(scale));
  if (!group.empty()) {
    for (int copy = 0; copy < (mirror ? 2 : 1); ++copy) {
      const Placement placed =
          copy == 0 ? outer.After(local) : outer.After(Placement::Mirror()).After(local);
      if (!BuildGroup(group, placed, material, inherited, depth + 1, mesh, problem)) {
        *nested = true;
        return false;
      }
    }
    return true;
  }
  const std::string surface = material.empty() ? inherited : material;
  if (surface.empty()) {
    *problem = "no material: give the part a mat or the section a Material";
    return false;
  }
  ModelMesh::Material found;
  if (!FindMaterial(surface, &found, problem))
    return false;
  if (inside)
    part.ReverseWindings();
  if (both)
    part.AddBackFaces();
  part.ScaleTextureCoords(su, sv);
  part.Place(local);
  if (mirror) {
    MeshPart reflection = part;
    reflection.Place(Placement::Mirror());
    part.Append(reflection);
  }
  part.Place(outer);
  mesh->Add(part, found, crease);
  return true;
}

bool MeshRecipe::Write(const std::string& section, const std::string& outDir,
                       std::string* error) const {
  ModelMesh mesh;
  if (!Build(section, &mesh, error))
    return false;
  return XMeshWriter::Write(mesh, outDir + "/" + meshes_->GetOr(section, "File", ""), error);
}

}  // namespace quarn::tools
