// The tree of faces against trying every face: on random meshes and rays, including rays
// along faces, from inside, through shared corners, with long, tiny or no directions.
#include "gfxutil/TriangleTree.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace quarn::gfx {
namespace {

struct Soup {
  std::vector<Vector3> positions;
  std::vector<uint16_t> indices;
};

// A grid of (side + 1)^2 points with random heights, some of them flat plateaus.
Soup Heightfield(int side, std::mt19937& random) {
  std::uniform_real_distribution<float> height(-3, 3);
  Soup soup;
  for (int z = 0; z <= side; ++z) {
    for (int x = 0; x <= side; ++x) {
      const bool plateau = (x / 4 + z / 4) % 3 == 0;
      soup.positions.push_back({x * 1.5f, plateau ? 2.0f : height(random), z * 1.5f});
    }
  }
  for (int z = 0; z < side; ++z) {
    for (int x = 0; x < side; ++x) {
      const auto i = static_cast<uint16_t>(z * (side + 1) + x);
      const auto row = static_cast<uint16_t>(side + 1);
      soup.indices.insert(soup.indices.end(),
                          {i, static_cast<uint16_t>(i + row), static_cast<uint16_t>(i + 1),
                           static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i + row),
                           static_cast<uint16_t>(i + row + 1)});
    }
  }
  return soup;
}

// Faces between random shared points, with repeated and collinear corners among them.
Soup RandomSoup(int faces, std::mt19937& random) {
  std::uniform_real_distribution<float> coordinate(-10, 10);
  Soup soup;
  for (int i = 0; i < faces / 2; ++i)
    soup.positions.push_back({coordinate(random), coordinate(random), coordinate(random)});
  soup.positions.push_back(soup.positions[0] * 0.5f + soup.positions[1] * 0.5f);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(soup.positions.size()) - 1);
  for (int f = 0; f < faces; ++f) {
    const int a = pick(random), b = f % 17 == 0 ? a : pick(random);
    const int c = f % 23 == 0 ? static_cast<int>(soup.positions.size()) - 1 : pick(random);
    soup.indices.insert(soup.indices.end(),
                        {static_cast<uint16_t>(f % 23 == 0 ? 0 : a),
                         static_cast<uint16_t>(f % 23 == 0 ? 1 : b), static_cast<uint16_t>(c)});
  }
  return soup;
}

// A box whose sides are grids of coplanar faces, turned off the axes and moved far out.
Soup TurnedBox(int cells) {
  Soup soup;
  const float c = std::cos(0.7f), s = std::sin(0.7f);
  const auto place = [&](float x, float y, float z) {
    return Vector3{c * x + s * z + 500, 0.8f * y + 0.6f * (c * z - s * x),
                   -0.6f * y + 0.8f * (c * z - s * x)};
  };
  for (int side = 0; side < 6; ++side) {
    const auto first = static_cast<uint16_t>(soup.positions.size());
    for (int j = 0; j <= cells; ++j) {
      for (int i = 0; i <= cells; ++i) {
        const float a = 2.0f * i / cells - 1, b = 2.0f * j / cells - 1, w = side % 2 ? 1.f : -1.f;
        const float p[3][3] = {{w, a, b}, {a, w, b}, {a, b, w}};
        const float* q = p[side / 2];
        soup.positions.push_back(place(q[0], q[1], q[2]));
      }
    }
    for (int j = 0; j < cells; ++j) {
      for (int i = 0; i < cells; ++i) {
        const auto k = static_cast<uint16_t>(first + j * (cells + 1) + i);
        const auto up = static_cast<uint16_t>(k + cells + 1);
        soup.indices.insert(soup.indices.end(),
                            {k, up, static_cast<uint16_t>(k + 1), static_cast<uint16_t>(k + 1), up,
                             static_cast<uint16_t>(up + 1)});
      }
    }
  }
  return soup;
}

struct Tally {
  int rays = 0, hits = 0, ties = 0;
};

// Both searches give the same answer, bit for bit.
void ExpectSame(const TriangleTree& tree, const Vector3& origin, const Vector3& direction,
                Tally* tally) {
  uint32_t face = 7, expectedFace = 7;
  float distance = -1, expectedDistance = -1;
  const bool expected =
      tree.IntersectEveryFace(origin, direction, &expectedFace, &expectedDistance);
  const bool hit = tree.Intersect(origin, direction, &face, &distance);
  ++tally->rays;
  ASSERT_EQ(hit, expected) << "origin (" << origin.x << ", " << origin.y << ", " << origin.z
                           << ") direction (" << direction.x << ", " << direction.y << ", "
                           << direction.z << ")";
  if (!hit)
    return;
  ++tally->hits;
  EXPECT_EQ(face, expectedFace);
  EXPECT_EQ(std::bit_cast<uint32_t>(distance), std::bit_cast<uint32_t>(expectedDistance));
}

void CompareOnRandomRays(const Soup& soup, int rays, std::mt19937& random, Tally* tally) {
  const TriangleSet set(soup.positions, soup.indices);
  const TriangleTree tree{TriangleSet(set)};
  ASSERT_TRUE(tree.HasTree());
  const auto& faces = set.Faces();
  Vector3 lo = soup.positions[0], hi = lo;
  for (const Vector3& p : soup.positions) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  std::uniform_real_distribution<float> unit(0, 1), wide(-1, 2), sign(-1, 1);
  std::uniform_int_distribution<size_t> pickFace(0, faces.size() - 1);
  std::uniform_int_distribution<size_t> pickPoint(0, soup.positions.size() - 1);
  const float lengths[] = {1e-3f, 1, 30, 1e4f};
  const auto around = [&] {
    return Vector3{lo.x + wide(random) * (hi.x - lo.x), lo.y + wide(random) * (hi.y - lo.y),
                   lo.z + wide(random) * (hi.z - lo.z)};
  };
  for (int r = 0; r < rays; ++r) {
    const TriangleSet::Face& f = faces[pickFace(random)];
    Vector3 origin = around();
    Vector3 direction = Vec3Normalize({sign(random), sign(random), sign(random)}) * lengths[r % 4];
    switch (r % 7) {
      case 1:  // along a face, starting in its plane
        origin = f.corner + f.edge1 * wide(random) + f.edge2 * wide(random);
        direction = (r % 3 == 0   ? f.edge1
                     : r % 3 == 1 ? f.edge2
                                  : f.edge2 - f.edge1) *
                    (sign(random) * 40);
        break;
      case 2:  // along a face, from anywhere
        direction = f.edge1 * sign(random);
        break;
      case 3:  // from a point of a face
        origin = f.corner + f.edge1 * (unit(random) * 0.5f) + f.edge2 * (unit(random) * 0.5f);
        break;
      case 4:  // through a corner that faces share
        direction = (soup.positions[pickPoint(random)] - origin) * (1 + 3 * unit(random));
        break;
      case 5:  // along the axes
        direction = {r % 3 == 0 ? 0.0f : sign(random), r % 3 == 1 ? -0.0f : sign(random), 0};
        break;
      case 6:  // no direction, or hardly any
        direction = r % 2 ? Vector3{0, -0.0f, 0} : direction * 1e-30f;
        break;
      default:
        break;
    }
    ExpectSame(tree, origin, direction, tally);
    if (::testing::Test::HasFailure())
      return;
    // A tie: another face met at the nearest distance too.
    uint32_t face = 0;
    float distance = 0;
    if (tree.IntersectEveryFace(origin, direction, &face, &distance)) {
      for (uint32_t i = face + 1; i < faces.size(); ++i) {
        float t = 0;
        if (TriangleSet::HitFace(faces[i], origin, direction, &t) && t == distance) {
          ++tally->ties;
          break;
        }
      }
    }
  }
}

TEST(TriangleTreeTest, FindsWhatTryingEveryFaceFindsOnRandomMeshes) {
  std::mt19937 random(20261209);
  Tally heightfield, soup, box;
  for (int round = 0; round < 3; ++round) {
    CompareOnRandomRays(Heightfield(24, random), 3000, random, &heightfield);
    CompareOnRandomRays(RandomSoup(600, random), 3000, random, &soup);
  }
  CompareOnRandomRays(TurnedBox(12), 6000, random, &box);
  for (const Tally* tally : {&heightfield, &soup, &box}) {
    EXPECT_GT(tally->hits, tally->rays / 5) << "most rays must meet something";
    EXPECT_GT(tally->ties, 20) << "ties between faces must be tried";
  }
}

TEST(TriangleTreeTest, RaysBeyondTheTreesBoundsTryEveryFace) {
  std::mt19937 random(7);
  const Soup soup = Heightfield(8, random);
  const TriangleTree tree{TriangleSet(soup.positions, soup.indices)};
  Tally tally;
  const float nan = std::nanf("");
  for (const auto& [origin, direction] : std::initializer_list<std::pair<Vector3, Vector3>>{
           {{6, 1e7f, 6}, {0, -1, 0}},        // far above: the bounds would be too loose
           {{6, 10, 6}, {0, -1e-7f, 0}},      // a direction too short to bound
           {{6, 10, 6}, {nan, -1, 0}},        // a NaN
           {{6, 10, 6}, {0, -INFINITY, 0}}})  // an infinity
    ExpectSame(tree, origin, direction, &tally);
  EXPECT_GE(tally.hits, 2);
  // A mesh of a few faces needs no tree.
  EXPECT_FALSE(TriangleTree(TriangleSet({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2})).HasTree());
}

}  // namespace
}  // namespace quarn::gfx
