// The generator's 3D pieces: turns as the game turns, primitive parts sealed and facing out,
// sheets seen from both sides, the sky seen from inside, and the normals a mesh gets.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "MeshChecks.h"
#include "MeshShapes.h"
#include "ModelMesh.h"
#include "Placement.h"
#include "gfxutil/Matrix.h"

namespace quarn::testing {
namespace {

using tools::MeshPart;
using tools::MeshShapes;
using tools::ModelMesh;
using tools::Placement;
using tools::Vec3;

ModelMesh::Material Surface(const char* name, platform::Argb color) {
  ModelMesh::Material material;
  material.name = name;
  material.color = color;
  return material;
}

TEST(PlacementTest, TurnsMatchTheGamesRotationsAppliedBankPitchHeading) {
  const double h = 30, p = -50, b = 75;
  const float r = std::numbers::pi_v<float> / 180;
  // Row vectors: v * Rz(bank) * Rx(pitch) * Ry(heading).
  const gfx::Matrix game = gfx::MatrixMultiply(
      gfx::MatrixMultiply(gfx::MatrixRotationZ(float(b) * r), gfx::MatrixRotationX(float(p) * r)),
      gfx::MatrixRotationY(float(h) * r));
  const Placement turn = Placement::Turn(h, p, b);
  for (const Vec3& v : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}, Vec3{0.3, -2, 5}}) {
    const gfx::Vector3 want = gfx::Vec3TransformCoord({float(v.x), float(v.y), float(v.z)}, game);
    const Vec3 got = turn.Apply(v);
    EXPECT_NEAR(got.x, want.x, 1e-5);
    EXPECT_NEAR(got.y, want.y, 1e-5);
    EXPECT_NEAR(got.z, want.z, 1e-5);
  }
  // Scale first, then turn (heading +90 takes +x to -z), then move.
  const Placement all = Placement::Move({1, 2, 3})
                            .After(Placement::Turn(90, 0, 0))
                            .After(Placement::Scale({2, 1, 1}));
  const Vec3 moved = all.Apply({1, 0, 0});
  EXPECT_NEAR(moved.x, 1, 1e-12);
  EXPECT_NEAR(moved.z, 1, 1e-12);
  EXPECT_LT(Placement::Mirror().Determinant(), 0);
}

struct Closed {
  const char* name;
  MeshPart part;
  double volume;  // expected; 0 when only its sign is checked
  bool convex;
};

TEST(MeshShapesTest, ClosedShapesAreSealedAndFaceOutwards) {
  const double pi = std::numbers::pi;
  const double hexArea = 3 * std::sqrt(3.0) / 2;  // of a hexagon of radius 1
  const std::vector<Closed> shapes = {
      {"box", MeshShapes::Box(2, 3, 4), 24, true},
      {"tapered frustum", MeshShapes::Frustum(2, 2, 3, 1, 0.5, 0.2, -0.3), 0, true},
      {"frustum to an edge", MeshShapes::Frustum(2, 2, 2, 2, 0, 0, 0), 4, true},
      {"wedge", MeshShapes::Wedge(2, 1, 3), 3, true},
      {"cylinder", MeshShapes::Cylinder(1, 2, 6), 2 * hexArea, true},
      {"cone", MeshShapes::Cone(1, 3, 6), hexArea, true},
      {"sphere", MeshShapes::Sphere(1, 2, 1, 24, 16), 0, true},
      {"lathe given nose first", MeshShapes::Lathe({{2, 0}, {1, 1}, {-1, 0.5}}, 8), 0, false},
      {"concave outline", MeshShapes::Extrude({{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}}, 0.5),
       0.5 * 10, false},
      {"outline given clockwise", MeshShapes::Extrude({{0, 0}, {0, 2}, {2, 2}, {2, 0}}, 1), 4,
       true},
  };
  for (const Closed& shape : shapes) {
    SCOPED_TRACE(shape.name);
    const Soup soup = SoupOf(shape.part);
    EXPECT_TRUE(OpenEdges(soup).empty());
    const double volume = SignedVolume(soup);
    EXPECT_GT(volume, 0);
    if (shape.volume > 0) {
      EXPECT_NEAR(volume, shape.volume, 1e-9);
    }
    if (!shape.convex)
      continue;
    const Vec3 centre = Centroid(soup);
    for (const auto& t : soup.triangles) {
      const Vec3 n = FaceNormal(soup, t);
      if (tools::Length(n) > 1e-12) {
        EXPECT_GT(tools::Dot(n, soup.positions[t[0]] - centre), 0);
      }
    }
  }
  const double sphere = SignedVolume(SoupOf(MeshShapes::Sphere(1, 2, 1, 24, 16)));
  EXPECT_NEAR(sphere, 4.0 / 3.0 * pi * 2, 0.2);
  // A mirror or a negative scale turns a part inside out, and its windings are reversed.
  MeshPart part = MeshShapes::Frustum(2, 1, 3, 1, 1, 0.5, 0);
  part.Place(Placement::Mirror());
  part.Place(Placement::Scale({1, -2, 1}));
  part.Place(Placement::Mirror());
  EXPECT_GT(SignedVolume(SoupOf(part)), 0);
}

TEST(MeshShapesTest, SheetsAreSeenFromBothSides) {
  for (const MeshPart& sheet :
       {MeshShapes::Quad(2, 1), MeshShapes::Disc(1, 12), MeshShapes::Cross(1, 2, 3)}) {
    const Soup soup = SoupOf(sheet);
    // Every triangle has a twin wound the other way, so no edge is open and nothing encloses.
    EXPECT_TRUE(OpenEdges(soup).empty());
    EXPECT_NEAR(SignedVolume(soup), 0, 1e-12);
  }
  const Soup cross = SoupOf(MeshShapes::Cross(1, 2, 3));
  EXPECT_EQ(cross.triangles.size(), 12u);
  for (const Vec3& p : cross.positions) {
    EXPECT_GE(p.z, 0);
    EXPECT_LE(p.z, 2);
  }
}

TEST(MeshShapesTest, TheSkyFacesItsCentreAndIsMappedFromTheZenith) {
  const double skirt = 15;
  const MeshPart sky = MeshShapes::Sky(4000, 16, 6, skirt);
  const Soup soup = SoupOf(sky);
  double lowest = 0;
  for (const auto& t : soup.triangles)
    EXPECT_LT(tools::Dot(FaceNormal(soup, t), soup.positions[t[0]]), 0);
  for (const auto& t : sky.Triangles()) {
    for (const auto& c : t.corners) {
      const Vec3& p = sky.Positions()[c.position];
      EXPECT_NEAR(tools::Length(p), 4000, 1e-6);
      lowest = std::min(lowest, p.y);
      // Distance from the middle of the picture grows with the angle from the zenith.
      const double fromZenith =
          std::acos(std::clamp(p.y / 4000, -1.0, 1.0)) * 180 / std::numbers::pi;
      EXPECT_NEAR(std::hypot(c.u - 0.5, c.v - 0.5), 0.5 * fromZenith / (90 + skirt), 1e-9);
      if (p.x > 3000) {
        EXPECT_GT(c.u, 0.5) << "east is to the right";
      }
    }
  }
  EXPECT_NEAR(lowest, -4000 * std::sin(skirt * std::numbers::pi / 180), 1e-6);
}

TEST(ModelMeshTest, NormalsAreFlatOrSmoothBelowTheCreaseAndColoursComeFromTheMaterial) {
  const ModelMesh::Material grey = Surface("Grey", 0x80A0B0C0u);
  ModelMesh flat;
  flat.Add(MeshShapes::Box(1, 1, 1), grey, 0);
  EXPECT_EQ(flat.Vertices().size(), 24u) << "four corners for each of six faces";
  EXPECT_EQ(flat.Faces().size(), 12u);
  for (const auto& v : flat.Vertices())
    EXPECT_EQ(v.color, 0x80A0B0C0u);

  ModelMesh cylinder;
  cylinder.Add(MeshShapes::Cylinder(1, 2, 16), grey, 60);
  const Soup soup = SoupOf(cylinder);
  for (const auto& face : cylinder.Faces()) {
    const Vec3 facing =
        tools::Normalized(FaceNormal(soup, {face.vertices[0], face.vertices[1], face.vertices[2]}));
    for (uint32_t v : face.vertices) {
      const Vec3& n = cylinder.Vertices()[v].normal;
      if (std::abs(facing.z) > 0.99) {
        EXPECT_NEAR(n.z, facing.z, 1e-4) << "caps stay flat at their 90-degree rim";
      } else {
        const Vec3& p = cylinder.Vertices()[v].position;
        EXPECT_NEAR(n.x, p.x, 1e-3) << "the side is shaded round";
        EXPECT_NEAR(n.z, 0, 1e-4);
      }
    }
  }

  // Triangles without area are left out.
  MeshPart sliver;
  const uint32_t a = sliver.AddPosition({0, 0, 0}), b = sliver.AddPosition({1, 0, 0}),
                 c = sliver.AddPosition({2, 0, 0});
  sliver.AddTriangle({a}, {b}, {c});
  ModelMesh none;
  none.Add(sliver, grey, 0);
  EXPECT_TRUE(none.Faces().empty());
}

}  // namespace
}  // namespace quarn::testing
