// The demo game's meshes and textures as the build made them, loaded as the game loads them:
// every file the stages name, its size, triangle budget, textures and translucency; closed
// meshes sealed and facing out with normals that agree; collision hulls round their meshes;
// seamless ground tiles matched by the fixed floors; the effect sheets and weapon icons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DemoDataFiles.h"
#include "MeshChecks.h"
#include "engine/Archive.h"
#include "engine/ExtractedFile.h"
#include "gfxutil/XFileReader.h"
#include "platform/NullRenderDevice.h"
#include "render/Mesh.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

using gfx::Vector3;

// Effects are translucent; units and projectiles opaque and closed.
enum class Kind { Unit, Projectile, Effect, Sky, Ground, Floor };

struct Expected {
  const char* name;
  Kind kind;
  float smallest, largest;  // the longest side of its box lies between these
};

const Expected kMeshes[] = {
    {"Falcon", Kind::Unit, 8, 10},
    {"Lancer", Kind::Unit, 8, 11},
    {"Fighter", Kind::Unit, 8, 10},
    {"Bomber", Kind::Unit, 36, 44},
    {"BomberEngine", Kind::Unit, 4, 8},
    {"Airship", Kind::Unit, 100, 120},
    {"AirshipEngine", Kind::Unit, 5, 12},
    {"BossHull", Kind::Unit, 240, 280},
    {"BossEngine", Kind::Unit, 15, 35},
    {"BossBridge", Kind::Unit, 15, 40},
    {"Ship", Kind::Unit, 80, 100},
    {"ShipBridge", Kind::Unit, 10, 25},
    {"Tank", Kind::Unit, 6, 8},
    {"TankTurret", Kind::Unit, 2, 5},
    {"TankBarrel", Kind::Unit, 3, 5},
    {"GunSite", Kind::Unit, 12, 16},
    {"FlakHead", Kind::Unit, 2, 4},
    {"FlakBarrel", Kind::Unit, 3, 5},
    {"TurretHead", Kind::Unit, 4, 7},
    {"TurretBarrel", Kind::Unit, 4, 7},
    {"MissileLauncher", Kind::Unit, 3, 5},
    {"Hangar", Kind::Unit, 20, 60},
    {"Tower", Kind::Unit, 20, 60},
    {"Warehouse", Kind::Unit, 20, 60},
    {"Bunker", Kind::Unit, 20, 60},
    {"Shell", Kind::Projectile, 3.5, 4.5},
    {"EnemyShell", Kind::Projectile, 3.5, 4.5},
    {"Missile", Kind::Projectile, 2.2, 2.8},
    {"Rocket", Kind::Projectile, 1.6, 2},
    {"ChargeShot", Kind::Effect, 2.6, 3.4},
    {"MuzzleFlash", Kind::Effect, 1.5, 2.5},
    {"Propeller", Kind::Effect, 3, 4.2},
    {"JetFlame", Kind::Effect, 2.5, 3.5},
    {"SkyDusk", Kind::Sky, 7000, 8200},
    {"SkyStorm", Kind::Sky, 7000, 8200},
    {"CoastTile", Kind::Ground, 10000, 10000},
    {"StormTile", Kind::Ground, 10000, 10000},
    {"CoastCollision", Kind::Floor, 30000, 30000},
    {"StormCollision", Kind::Floor, 30000, 30000},
};

class DemoMeshesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { archive_.Open(QUARN_BINARY_DIR "/Data"); }

  // The mesh as the game has it, with its textures from the archive.
  std::unique_ptr<Mesh> Load(const std::string& file) {
    auto mesh = std::make_unique<Mesh>(&device_, &archive_);
    const ExtractedFile entry(file, true, &archive_);
    EXPECT_TRUE(mesh->Load(entry.GetPath())) << file << ": " << mesh->LoadProblem();
    return mesh;
  }
  // Its vertices, normals and triangles as the game's reader gives them.
  static gfx::MeshData Data(const std::string& file) {
    gfx::MeshData data;
    std::string error;
    EXPECT_TRUE(gfx::XFileReader::ReadFile(GeneratedFile(file), &data, &error)) << error;
    return data;
  }
  static Soup SoupOfData(const gfx::MeshData& data) {
    return SoupOf(data.positions, data.indices.data(), data.FaceCount());
  }

  static Archive archive_;
  platform::NullRenderDevice device_;
};

Archive DemoMeshesTest::archive_;

float Longest(const Mesh& mesh) {
  const Vector3 size = mesh.GetBoxMax() - mesh.GetBoxMin();
  return std::max({size.x, size.y, size.z});
}

TEST_F(DemoMeshesTest, EveryMeshLoadsWithItsTexturesInItsSizeAndTriangleBudget) {
  for (const Expected& e : kMeshes) {
    const std::string name = std::string(e.name) + ".x";
    SCOPED_TRACE(name);
    const std::unique_ptr<Mesh> mesh = Load(name);
    ASSERT_TRUE(mesh->IsLoaded());
    EXPECT_GE(Longest(*mesh), e.smallest * 0.999f);
    EXPECT_LE(Longest(*mesh), e.largest * 1.001f);
    const uint32_t faces = mesh->GetDeviceMesh()->FaceCount();
    if (e.kind == Kind::Unit) {
      EXPECT_TRUE(faces >= 24 && faces <= 2000) << faces;
    }
    if (e.kind == Kind::Projectile || e.kind == Kind::Effect) {
      EXPECT_LT(faces, 100u);
    }
    if (e.kind == Kind::Floor) {
      EXPECT_LT(faces, 6000u);
    }
    float alpha = 1;
    for (size_t i = 0; i < mesh->GetMaterials().size(); ++i) {
      const std::string& texture = mesh->GetDeviceMesh()->Materials()[i].textureFile;
      EXPECT_EQ(mesh->GetMaterials()[i].texture != nullptr, !texture.empty()) << texture;
      alpha = std::min(alpha, mesh->GetMaterials()[i].material.diffuse.a);
    }
    EXPECT_EQ(alpha < 0.9f, e.kind == Kind::Effect) << "translucent only for effects";
    if (e.kind != Kind::Unit)
      continue;
    // Its collision hull wraps it: a box no smaller than the mesh's, and not much larger.
    const std::unique_ptr<Mesh> hull = Load(std::string(e.name) + "Collision.x");
    ASSERT_TRUE(hull->IsLoaded());
    const uint32_t hullFaces = hull->GetDeviceMesh()->FaceCount();
    EXPECT_TRUE(hullFaces >= 12 && hullFaces <= 200) << hullFaces;
    const float slack = 0.02f * Longest(*mesh);
    const Vector3 lo = mesh->GetBoxMin(), hi = mesh->GetBoxMax();
    const Vector3 hlo = hull->GetBoxMin(), hhi = hull->GetBoxMax();
    for (int axis = 0; axis < 3; ++axis) {
      const float l = (&lo.x)[axis], h = (&hi.x)[axis], hl = (&hlo.x)[axis], hh = (&hhi.x)[axis];
      EXPECT_LE(hl, l + slack) << "axis " << axis;
      EXPECT_GE(hh, h - slack) << "axis " << axis;
      EXPECT_LE(hh - hl, 1.25f * (h - l) + 2 * slack) << "axis " << axis;
    }
  }
}

TEST_F(DemoMeshesTest, ClosedMeshesAreSealedFaceOutwardsAndTheirNormalsAgree) {
  for (const Expected& e : kMeshes) {
    std::vector<std::string> files{std::string(e.name) + ".x"};
    if (e.kind == Kind::Unit)
      files.push_back(std::string(e.name) + "Collision.x");
    for (const std::string& file : files) {
      SCOPED_TRACE(file);
      const gfx::MeshData data = Data(file);
      const Soup soup = SoupOfData(data);
      ASSERT_FALSE(data.normals.empty());
      if (e.kind == Kind::Unit || e.kind == Kind::Projectile || e.kind == Kind::Effect) {
        EXPECT_TRUE(OpenEdges(soup).empty());
        // Sheets seen from both sides enclose nothing.
        EXPECT_GT(SignedVolume(soup), e.kind == Kind::Effect ? -1e-6 : 0);
      }
      // Tracers are drawn unlit, so their colour is in their vertices.
      if (e.kind == Kind::Projectile && std::string(e.name).find("Shell") != std::string::npos) {
        ASSERT_FALSE(data.diffuse.empty());
        EXPECT_EQ((data.diffuse[0] >> 16) & 0xFF, 0xFFu) << "bright";
      }
      // Every corner's normal leans the way its triangle faces (inwards for the sky).
      for (uint32_t f = 0; f < data.FaceCount(); ++f) {
        const auto& t = soup.triangles[f];
        const tools::Vec3 facing = FaceNormal(soup, t);
        for (uint32_t v : t) {
          const Vector3& n = data.normals[v];
          EXPECT_GT(tools::Dot(facing, {n.x, n.y, n.z}), 0) << "face " << f;
        }
        if (e.kind == Kind::Sky) {
          EXPECT_LT(tools::Dot(facing, soup.positions[t[0]]), 0) << "face " << f;
        }
        if (e.kind == Kind::Ground || e.kind == Kind::Floor) {
          EXPECT_GT(facing.y, 0) << "face " << f;
        }
      }
    }
  }
}

// The height of the ground under (x, z), cast from above.
float GroundAt(const Mesh& mesh, float x, float z) {
  float distance = -1;
  Vector3 normal;
  EXPECT_TRUE(mesh.IntersectRay({x, 5000, z}, {0, -1, 0}, &distance, &normal)) << x << " " << z;
  return 5000 - distance;
}

TEST_F(DemoMeshesTest, GroundTilesRepeatAndTheFixedFloorsFollowThemWithTheSeaAtZero) {
  for (const auto& [tileName, floorName] : {std::pair{"CoastTile.x", "CoastCollision.x"},
                                            std::pair{"StormTile.x", "StormCollision.x"}}) {
    SCOPED_TRACE(tileName);
    const std::unique_ptr<Mesh> tile = Load(tileName), floor = Load(floorName);
    EXPECT_EQ(tile->GetBoxMin().y, 0);
    EXPECT_GT(tile->GetBoxMax().y, 300);
    EXPECT_LT(tile->GetBoxMax().y, 800);
    EXPECT_EQ(floor->GetBoxMin().x, -15000);
    EXPECT_EQ(floor->GetBoxMax().z, 15000);
    float landTile = 0, seaTile = 0, worst = 0, total = 0;
    for (float along = -4990; along < 5000; along += 97.3f) {
      // The next tile starts where this one ends.
      EXPECT_NEAR(GroundAt(*tile, -4999.99f, along), GroundAt(*tile, 4999.99f, along), 0.5f);
      EXPECT_NEAR(GroundAt(*tile, along, -4999.99f), GroundAt(*tile, along, 4999.99f), 0.5f);
      for (float x : {-12000.0f, 3000.0f, 14000.0f}) {
        // The floor at a world point follows the tile drawn there, in its coarser steps.
        const float wrapped = x - 10000 * std::round(x / 10000);
        const float drawn = GroundAt(*tile, wrapped, along), felt = GroundAt(*floor, x, along);
        worst = std::max(worst, std::abs(felt - drawn));
        total += std::abs(felt - drawn);
        (drawn > 0 ? landTile : seaTile) += 1;
      }
    }
    EXPECT_LT(total / (landTile + seaTile), 20);
    EXPECT_LT(worst, 160);
    EXPECT_GT(landTile, 20);
    EXPECT_GT(seaTile, 20);
  }
}

Picture Texture(const std::string& name) {
  Picture picture;
  EXPECT_TRUE(ReadPng(GeneratedFile(name), &picture)) << name;
  return picture;
}

int AlphaAt(const Picture& p, int x, int y) {
  return static_cast<int>(p.pixels[size_t(y) * p.width + x] >> 24);
}

// The bounding box of the visible pixels of a cell; empty when none.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
Ink InkOf(const Picture& p, int x0, int y0, int w, int h) {
  Ink ink;
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      if (AlphaAt(p, x, y) > 24) {
        ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x),
               std::max(ink.bottom, y), ink.count + 1};
      }
    }
  }
  return ink;
}

TEST(DemoTexturesTest, SpriteSheetsHaveTheirSizesAndASpriteInEveryCell) {
  const struct {
    const char* name;
    uint32_t width, height;
    int columns, rows;
  } sheets[] = {{"Smoke.png", 256, 128, 4, 2}, {"Explosion.png", 512, 128, 8, 2},
                {"Spark.png", 32, 128, 1, 4},  {"Debris.png", 32, 128, 1, 4},
                {"Flash.png", 64, 64, 1, 1},   {"Glow.png", 64, 64, 1, 1},
                {"Rain.png", 16, 64, 1, 1},    {"Trail.png", 64, 64, 1, 1}};
  for (const auto& sheet : sheets) {
    SCOPED_TRACE(sheet.name);
    const Picture p = Texture(sheet.name);
    ASSERT_EQ(p.width, sheet.width);
    ASSERT_EQ(p.height, sheet.height);
    const int w = int(p.width) / sheet.columns, h = int(p.height) / sheet.rows;
    for (int r = 0; r < sheet.rows; ++r) {
      for (int c = 0; c < sheet.columns; ++c) {
        EXPECT_EQ(AlphaAt(p, c * w, r * h), 0) << "a transparent corner in cell " << c << "," << r;
        const Ink ink = InkOf(p, c * w, r * h, w, h);
        EXPECT_GT(ink.count, 8) << c << "," << r;
      }
    }
  }
  // The ribbon is solid in the middle, clear at its sides, and the same all along.
  const Picture trail = Texture("Trail.png");
  for (int y = 0; y < 64; y += 9) {
    EXPECT_EQ(AlphaAt(trail, 32, y), 255);
    EXPECT_EQ(AlphaAt(trail, 0, y), 0);
    EXPECT_EQ(AlphaAt(trail, 63, y), 0);
    EXPECT_EQ(AlphaAt(trail, 12, y), AlphaAt(trail, 12, 0));
  }
}

TEST(DemoTexturesTest, WeaponIconsHoldEveryRectangleTheHudReadsAndLockMarksCloseIn) {
  for (const char* name : {"GunIcon.png", "MissileIcon.png", "ChargeIcon.png"}) {
    SCOPED_TRACE(name);
    const Picture p = Texture(name);
    ASSERT_EQ(p.width, 512u);
    ASSERT_EQ(p.height, 128u);
    EXPECT_GT(InkOf(p, 32, 0, 32, 32).count, 20) << "aim mark";
    EXPECT_GT(InkOf(p, 0, 64, 32, 32).count, 20) << "lock possible";
    EXPECT_GT(InkOf(p, 32, 64, 32, 32).count, 20) << "all locks used";
    EXPECT_GT(InkOf(p, 288, 0, 96, 32).count, 1500) << "panel";
    // The bar lies along the bottom of its cell, under the panel's name when drawn over it.
    const Ink bar = InkOf(p, 288, 64, 96, 32);
    EXPECT_GT(bar.count, 600) << "ammunition bar";
    EXPECT_EQ(InkOf(p, 288, 64, 96, 22).count, 0) << "the panel's name shows above the bar";
    int previous = 1 << 30;
    for (int k = 0; k <= 8; ++k) {
      const Ink ink = InkOf(p, 32 * k, 32, 32, 32);
      ASSERT_GT(ink.count, 10) << "lock frame " << k;
      EXPECT_LT(ink.right - ink.left, previous) << "lock frame " << k;
      previous = ink.right - ink.left;
    }
  }
}

}  // namespace
}  // namespace quarn::testing
