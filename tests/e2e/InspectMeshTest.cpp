// quarn-inspect mesh: how the game loads a .x file, as JSON.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

std::string WriteFile(const std::string& dir, const std::string& name, const std::string& text) {
  const std::string path = dir + "/" + name;
  FILE* file = fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr);
  if (file != nullptr) {
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
  }
  return path;
}

TEST(InspectToolTest, MeshAsJson) {
  const std::string dir = MakeTempDir("inspect-mesh");
  // A quad in two materials (the second textured) and a triangle in the first; vertex 0 is
  // used with two normals and so becomes two vertices.
  const std::string path =
      WriteFile(dir, "Panel.x",
                "xof 0303txt 0032\n"
                "Mesh {\n"
                " 5; 0;0;0;, 2;0;0;, 2;2;0;, 0;2;0;, 0;0;4;;\n"
                " 2; 4;0,1,2,3;, 3;0,3,4;;\n"
                " MeshNormals { 2; 0;0;-1;, 1;0;0;; 2; 4;0,0,0,0;, 3;1,1,1;; }\n"
                " MeshMaterialList { 2; 2; 1,0;;\n"
                "  Material { 1;0;0;1;; 8; 0.5;0.5;0.5;; 0;0;0;; }\n"
                "  Material { 0;0.5;1;0.25;; 2; 0;0;0;; 0;0;0.5;;\n"
                "   TextureFilename { \"Panel.png\"; } }\n"
                " }\n"
                "}\n");
  ProcessResult run = RunProcess(BuildPath("quarn-inspect"), {"mesh", path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"vertex_count\": 7, \"face_count\": 3, \"fvf\": 18, \"materials\": ["
            "{\"diffuse\": [1, 0, 0, 1], \"ambient\": [0, 0, 0, 0], "
            "\"specular\": [0.5, 0.5, 0.5, 1], \"emissive\": [0, 0, 0, 1], \"power\": 8, "
            "\"texture\": null}, "
            "{\"diffuse\": [0, 0.5, 1, 0.25], \"ambient\": [0, 0, 0, 0], "
            "\"specular\": [0, 0, 0, 1], \"emissive\": [0, 0, 0.5, 1], \"power\": 2, "
            "\"texture\": \"Panel.png\"}], "
            "\"subsets\": [1, 2], \"bbox_min\": [0, 0, 0], \"bbox_max\": [2, 2, 4], "
            "\"sphere_center\": [0.571428597, 0.857142866, 0.571428597], "
            "\"sphere_radius\": 3.57998967}\n");
}

TEST(InspectToolTest, MeshThatCannotLoadExitsOneWithTheReason) {
  const std::string dir = MakeTempDir("inspect-bad-mesh");
  const std::string path = WriteFile(dir, "Cut.x", "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;");
  ProcessResult run = RunProcess(BuildPath("quarn-inspect"), {"mesh", path});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("Cut.x"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("damaged Mesh vertices: unexpected end of file"), std::string::npos)
      << run.err;

  run = RunProcess(BuildPath("quarn-inspect"), {"mesh", dir + "/missing.x"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot open"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quarn::testing
