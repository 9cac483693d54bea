#include "units/UnitTestFiles.h"

#include "render/MeshTestFiles.h"

namespace quarn::testing {

void AddCube(SceneRig& rig, const std::string& name) {
  rig.AddFile(name, CubeFile({ColourMaterial(1, 0, 0)}, std::vector<uint32_t>(12, 0)));
}

void AddScaledCube(SceneRig& rig, const std::string& name, float scale) {
  std::string cube = CubeFile({ColourMaterial(1, 0, 0)}, std::vector<uint32_t>(12, 0));
  const std::string header = "xof 0303txt 0032\n";
  const std::string s = std::to_string(scale);
  cube = header + "Frame Scaled {\n FrameTransformMatrix {\n  " + s + ",0,0,0,0," + s +
         ",0,0,0,0," + s + ",0,0,0,0,1;;\n }\n" + cube.substr(header.size()) + "}\n";
  rig.AddFile(name, cube);
}

std::vector<std::string> CubeTargetLines(float armored) {
  return {"[Solid]",
          "NormalMeshEnable=true",
          "NormalMeshFile=Cube.x",
          "CollisionMeshEnable=true",
          "CollisionMeshFile=Cube.x",
          "CollisionEnable=true",
          "ImpulsiveForce=1",
          "[Target]",
          "TargetEnable=true",
          "SearchTargetEnable=true",
          "AirTargetEnable=true",
          "GroundTargetEnable=true",
          "TargetActiveDistance=5000",
          "SearchTargetActiveDistance=5000",
          "Armored=" + std::to_string(armored)};
}

std::vector<std::string> Placement(const std::string& section, int unitId,
                                   const std::string& defineFile,
                                   const std::vector<std::string>& extra) {
  std::vector<std::string> lines = {"[" + section + "]", "DefineFile=" + defineFile,
                                    "UnitID=" + std::to_string(unitId)};
  lines.insert(lines.end(), extra.begin(), extra.end());
  return lines;
}

}  // namespace quarn::testing
