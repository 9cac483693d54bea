#include "TerrainMesher.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quarn::tools {

namespace {
// Largest merged square, in cells: big enough to cover open sea cheaply.
constexpr int kMaxBlock = 16;

struct Block {
  int i = 0;  // first cell along x
  int j = 0;  // first cell along z
  int size = 1;
};
}  // namespace

bool TerrainMesher::Build(const TerrainField& field, int cells, double from, double to,
                          double tolerance, MeshPart* part, std::string* error) {
  if (cells < 1 || cells > 1024) {
    *error = "terrain cells must lie between 1 and 1024";
    return false;
  }
  if (!(to > from)) {
    *error = "terrain span must run from a lower to a higher coordinate";
    return false;
  }
  const int n = cells + 1;
  const double step = (to - from) / cells;
  std::vector<double> height(size_t(n) * n);
  std::vector<bool> sea(size_t(n) * n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      const double h = field.Height(from + i * step, from + j * step);
      sea[size_t(j) * n + i] = h <= 0;
      height[size_t(j) * n + i] = std::max(h, 0.0);
    }
  }
  const auto h = [&](int i, int j) { return height[size_t(j) * n + i]; };

  // Root blocks of the largest power of two that divides the cell count.
  int root = 1;
  while (root < kMaxBlock && cells % (root * 2) == 0)
    root *= 2;
  std::vector<Block> leaves;
  std::vector<Block> pending;
  for (int j = 0; j < cells; j += root) {
    for (int i = 0; i < cells; i += root)
      pending.push_back({i, j, root});
  }
  std::reverse(pending.begin(), pending.end());
  while (!pending.empty()) {
    const Block b = pending.back();
    pending.pop_back();
    bool whole = b.size == 1;
    if (!whole) {
      bool allSea = true;
      double worst = 0;
      for (int j = b.j; j <= b.j + b.size; ++j) {
        for (int i = b.i; i <= b.i + b.size; ++i) {
          allSea = allSea && sea[size_t(j) * n + i];
          const double s = double(i - b.i) / b.size, t = double(j - b.j) / b.size;
          const double plane =
              (h(b.i, b.j) * (1 - s) + h(b.i + b.size, b.j) * s) * (1 - t) +
              (h(b.i, b.j + b.size) * (1 - s) + h(b.i + b.size, b.j + b.size) * s) * t;
          worst = std::max(worst, std::abs(h(i, j) - plane));
        }
      }
      whole = allSea || (tolerance > 0 && worst <= tolerance);
    }
    if (whole) {
      leaves.push_back(b);
      continue;
    }
    const int half = b.size / 2;
    // Pushed in reverse so that blocks come out row by row, the same on every run.
    pending.push_back({b.i + half, b.j + half, half});
    pending.push_back({b.i, b.j + half, half});
    pending.push_back({b.i + half, b.j, half});
    pending.push_back({b.i, b.j, half});
  }

  std::vector<bool> corner(size_t(n) * n, false);
  for (const Block& b : leaves) {
    for (int dj : {0, b.size}) {
      for (int di : {0, b.size})
        corner[size_t(b.j + dj) * n + b.i + di] = true;
    }
  }
  std::vector<int64_t> index(size_t(n) * n, -1);
  const double span = to - from;
  const auto vertex = [&](int i, int j) {
    int64_t& slot = index[size_t(j) * n + i];
    if (slot < 0)
      slot = part->AddPosition({from + i * step, h(i, j), from + j * step});
    return MeshPart::Corner{static_cast<uint32_t>(slot), i * step / span, 1.0 - j * step / span};
  };
  // Front up: seen from above (+z up, +x right) the corners run clockwise.
  const auto triangle = [&](MeshPart::Corner a, MeshPart::Corner b, MeshPart::Corner c) {
    const Vec3& pa = part->Positions()[a.position];
    const Vec3 n = Cross(part->Positions()[b.position] - pa, part->Positions()[c.position] - pa);
    if (n.y < 0)
      std::swap(b, c);
    part->AddTriangle(a, b, c);
  };
  for (const Block& b : leaves) {
    // The block's edge, corner by corner, once round.
    std::vector<std::pair<int, int>> rim;
    const int s = b.size;
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i + k, b.j});
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i + s, b.j + k});
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i + s - k, b.j + s});
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i, b.j + s - k});
    std::vector<std::pair<int, int>> used;
    for (const auto& p : rim) {
      if (corner[size_t(p.second) * n + p.first])
        used.push_back(p);
    }
    if (used.size() == 4) {
      // Split along the diagonal whose ends differ less, which follows the ground better.
      const auto [i0, j0] = std::pair{b.i, b.j};
      const bool rising =
          std::abs(h(i0, j0) - h(i0 + s, j0 + s)) <= std::abs(h(i0 + s, j0) - h(i0, j0 + s));
      const auto c00 = vertex(i0, j0), c10 = vertex(i0 + s, j0);
      const auto c11 = vertex(i0 + s, j0 + s), c01 = vertex(i0, j0 + s);
      if (rising) {
        triangle(c00, c10, c11);
        triangle(c00, c11, c01);
      } else {
        triangle(c10, c11, c01);
        triangle(c10, c01, c00);
      }
      continue;
    }
    // Smaller neighbours put corners on this block's edges: a fan from its middle keeps them.
    const MeshPart::Corner middle = vertex(b.i + s / 2, b.j + s / 2);
    for (size_t k = 0; k < used.size(); ++k) {
      const auto& p = used[k];
      const auto& q = used[(k + 1) % used.size()];
      triangle(middle, vertex(p.first, p.second), vertex(q.first, q.second));
    }
  }
  return true;
}

}  // namespace quarn::tools
