#pragma once
// Meshes from a recipe (Meshes.txt): each section with a File is one .x mesh made of its
// parts, Part_0, Part_1, ... in number order; sections without a File are groups of parts
// that others place with "use". Section [Materials] names the surfaces:
//   NAME=AARRGGBB [shine POWER RRGGBB] [glow RRGGBB] [texture FILE]
// A part is a shape with its sizes, then options in any order:
//   box W H D | frustum W H D FW FH [DX DY] | wedge W H D | cylinder R L [SEGMENTS]
//   cone R L [SEGMENTS] | sphere RX RY RZ [SEGMENTS RINGS] | lathe SEGMENTS Z R Z R ...
//   extrude THICKNESS X Z X Z ... | quad W H | disc R [SEGMENTS] | cross W L COUNT
//   sky RADIUS SEGMENTS RINGS SKIRT | terrain FIELD CELLS FROM TO [floor] | use SECTION
//   options: at X Y Z | turn HEADING PITCH BANK | scale S | scale SX SY SZ | mat NAME
//            | flat | smooth [CREASE] | mirror | inside | both | uv SU SV
// A section's "Material" is the surface of its parts that name none; a "mat" on a use line
// stands in for it, and a group without one takes the using section's. Round shapes are
// smooth and the others flat unless a part says otherwise.
#include <string>

#include "ModelMesh.h"
#include "Placement.h"
#include "RecipeFile.h"

namespace quarn::tools {

class MeshRecipe {
 public:
  // meshes: Meshes.txt; terrain: Terrain.txt, where "terrain" parts find their fields.
  MeshRecipe(const RecipeFile* meshes, const RecipeFile* terrain)
      : meshes_(meshes), terrain_(terrain) {}

  // Builds one section's mesh. False with "File [Section] Part_N: problem" in *error.
  bool Build(const std::string& section, ModelMesh* mesh, std::string* error) const;
  // Builds it and writes it as outDir/File.
  bool Write(const std::string& section, const std::string& outDir, std::string* error) const;

 private:
  // given: the material a use line names (empty for none); inherited: the surface of the
  // using section, for a group that names none of its own.
  bool BuildGroup(const std::string& section, const Placement& placement, const std::string& given,
                  const std::string& inherited, int depth, ModelMesh* mesh,
                  std::string* error) const;
  bool BuildPart(const std::string& line, const Placement& placement, const std::string& material,
                 int depth, ModelMesh* mesh, std::string* problem, bool* nested) const;
  bool FindMaterial(const std::string& name, ModelMesh::Material* material,
                    std::string* problem) const;

  const RecipeFile* meshes_;
  const RecipeFile* terrain_;
};

}  // namespace quarn::tools
