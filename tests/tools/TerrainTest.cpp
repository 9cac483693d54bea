// The ground: height fields that repeat every period, tiles that meet their neighbours without
// a step or a crack, a flat sea, and textures whose opposite edges continue each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DatagenTestSupport.h"
#include "MeshChecks.h"
#include "TerrainField.h"
#include "TerrainMesher.h"
#include "TerrainPainter.h"

namespace quarn::testing {
namespace {

using tools::MeshPart;
using tools::TerrainField;
using tools::TerrainMesher;
using tools::TerrainPainter;
using tools::Vec3;

const char kTerrain[] =
    "[Isles]\nFile=Isles.png\nSize=64\nPeriod=10000\nSeed=5\n"
    "Land=3 5 0.52 1300\nHills=10 4 170\nRidges=6 3 300\n"
    "Water_0=0 FF60B0B0\nWater_1=300 FF002040\nLand_0=0 FFE0D0A0\nLand_1=400 FF408040\n"
    "Rock=FF807060 0.35 0.7\nSun=26 FFFFE0B8 1.0\nAmbient=0.5\n"
    "[Flat]\nPeriod=10000\nLand=1 1 2 100\nHills=1 1 0\nRidges=1 1 0\n"
    "[Broken]\nFile=Broken.png\nSize=100\nPeriod=10000\nLand=3 5 0.5 1000\nHills=1 1 0\n"
    "Ridges=1 1 0\n";

TerrainField Field(const char* section) {
  const tools::RecipeFile recipe = Recipe("Terrain.txt", kTerrain);
  TerrainField field;
  std::string error;
  EXPECT_TRUE(field.Load(recipe, section, &error)) << error;
  return field;
}

TEST(TerrainFieldTest, HeightsRepeatEveryPeriodAndLandRisesFromTheSea) {
  const TerrainField field = Field("Isles");
  int land = 0, sea = 0;
  double highest = 0;
  for (double x = -7000; x < 7000; x += 433) {
    for (double z = -6000; z < 6000; z += 377) {
      const double h = field.Height(x, z);
      EXPECT_NEAR(field.Height(x + 10000, z), h, 1e-6);
      EXPECT_NEAR(field.Height(x, z - 20000), h, 1e-6);
      (h > 0 ? land : sea) += 1;
      highest = std::max(highest, h);
    }
  }
  EXPECT_GT(land, 100);
  EXPECT_GT(sea, 100);
  EXPECT_GT(highest, 200);
  EXPECT_LT(highest, 900);
}

// The surface height along one edge of a tile at coordinate `along`, from that edge's corners.
double EdgeHeight(std::vector<std::pair<double, double>> edge, double along) {
  std::sort(edge.begin(), edge.end());
  for (size_t i = 1; i < edge.size(); ++i) {
    if (along <= edge[i].first) {
      const double t = (along - edge[i - 1].first) / (edge[i].first - edge[i - 1].first);
      return edge[i - 1].second + t * (edge[i].second - edge[i - 1].second);
    }
  }
  return edge.back().second;
}

TEST(TerrainMesherTest, TilesFaceUpHaveAFlatSeaAndMeetTheirNeighboursWithoutASeam) {
  const TerrainField field = Field("Isles");
  MeshPart tile;
  std::string error;
  ASSERT_TRUE(TerrainMesher::Build(field, 64, -5000, 5000, false, &tile, &error)) << error;
  const Soup soup = SoupOf(tile);
  EXPECT_LT(soup.triangles.size(), 2u * 64 * 64) << "open sea is merged into big squares";
  for (const auto& t : soup.triangles)
    EXPECT_GT(FaceNormal(soup, t).y, 0);
  // Only the tile's rim is open: smaller squares never leave a crack beside bigger ones.
  for (const auto& [a, b] : OpenEdges(soup)) {
    const bool rim = (a.x == b.x && std::abs(a.x) == 5000) || (a.z == b.z && std::abs(a.z) == 5000);
    EXPECT_TRUE(rim) << a.x << " " << a.z << " to " << b.x << " " << b.z;
  }
  std::vector<std::pair<double, double>> west, east, south, north;
  for (const Vec3& p : soup.positions) {
    EXPECT_GE(p.y, 0);
    EXPECT_NEAR(p.y, std::max(field.Height(p.x, p.z), 0.0), 1e-9);
    if (p.x == -5000)
      west.push_back({p.z, p.y});
    if (p.x == 5000)
      east.push_back({p.z, p.y});
    if (p.z == -5000)
      south.push_back({p.x, p.y});
    if (p.z == 5000)
      north.push_back({p.x, p.y});
  }
  // Each corner on one edge lies on the surface of the opposite edge: the next tile fits.
  for (const auto& [z, y] : west)
    EXPECT_NEAR(EdgeHeight(east, z), y, 1e-6) << "z " << z;
  for (const auto& [x, y] : north)
    EXPECT_NEAR(EdgeHeight(south, x), y, 1e-6) << "x " << x;
  // Texture coordinates run once over the tile, v down from the +z edge.
  for (const auto& t : tile.Triangles()) {
    for (const auto& c : t.corners) {
      const Vec3& p = tile.Positions()[c.position];
      EXPECT_NEAR(c.u, (p.x + 5000) / 10000, 1e-12);
      EXPECT_NEAR(c.v, (5000 - p.z) / 10000, 1e-12);
    }
  }
}

TEST(TerrainMesherTest, AFloorCutsTheSeaIntoFewRectanglesAndStaysClosed) {
  const TerrainField field = Field("Isles");
  MeshPart tile, floor, sea;
  std::string error;
  ASSERT_TRUE(TerrainMesher::Build(field, 60, -15000, 15000, false, &tile, &error));
  ASSERT_TRUE(TerrainMesher::Build(field, 60, -15000, 15000, true, &floor, &error));
  EXPECT_LT(floor.Triangles().size(), tile.Triangles().size());
  EXPECT_LT(floor.Triangles().size(), 6000u);
  // Edges meet a neighbour's corner only out on the flat sea, where nothing can slip through.
  const Soup soup = SoupOf(floor);
  for (const auto& [a, b] : OpenEdges(soup)) {
    const bool rim = std::abs(a.x) == 15000 || std::abs(a.z) == 15000;
    EXPECT_TRUE(rim || (a.y == 0 && b.y == 0)) << a.x << " " << a.z;
  }
  for (const auto& t : soup.triangles)
    EXPECT_GT(FaceNormal(soup, t).y, 0);
  // All sea: one rectangle, at y 0.
  ASSERT_TRUE(TerrainMesher::Build(Field("Flat"), 32, -100, 100, true, &sea, &error));
  EXPECT_EQ(sea.Triangles().size(), 2u);
  for (const Vec3& p : sea.Positions())
    EXPECT_EQ(p.y, 0);
  EXPECT_FALSE(TerrainMesher::Build(field, 0, -1, 1, false, &sea, &error));
  EXPECT_FALSE(TerrainMesher::Build(field, 8, 1, -1, false, &sea, &error));
}

TEST(TerrainPainterTest, TheTextureRepeatsAndItsSizeMustBeAPowerOfTwo) {
  const tools::RecipeFile recipe = Recipe("Terrain.txt", kTerrain);
  TerrainPainter painter;
  std::string error;
  ASSERT_TRUE(painter.Load(recipe, "Isles", &error)) << error;
  tools::Canvas canvas(0, 0);
  painter.Paint(&canvas);
  ASSERT_EQ(canvas.Width(), 64);
  ASSERT_EQ(canvas.Height(), 64);
  const auto step = [&](int x0, int y0, int x1, int y1) {
    const platform::Argb a = canvas.At(x0, y0), b = canvas.At(x1, y1);
    return std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
  };
  // Across the seam the colour changes no more than between neighbours inside.
  double seam = 0, inside = 0;
  for (int k = 0; k < 64; ++k) {
    seam += step(63, k, 0, k) + step(k, 63, k, 0);
    inside += step(31, k, 32, k) + step(k, 31, k, 32);
  }
  EXPECT_LT(seam, 2 * inside + 64);
  TerrainPainter broken;
  EXPECT_FALSE(broken.Load(recipe, "Broken", &error));
  EXPECT_NE(error.find("Terrain.txt [Broken] Size: must be a power of two"), std::string::npos)
      << error;
}

}  // namespace
}  // namespace quarn::testing
