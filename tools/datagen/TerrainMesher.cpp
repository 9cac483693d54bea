#include "TerrainMesher.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quarn::tools {

namespace {
// Largest merged square of a tile, in cells: big enough to cover open sea cheaply.
constexpr int kMaxBlock = 16;

struct Block {
  int i = 0;  // first cell along x
  int j = 0;  // first cell along z
  int width = 1;
  int depth = 1;
};

// The heights of a grid of (cells + 1)^2 corners, the sea at 0, and which cells are all sea.
class Grid {
 public:
  Grid(const TerrainField& field, int cells, double from, double to)
      : n_(cells + 1), step_((to - from) / cells), from_(from), span_(to - from) {
    height_.resize(size_t(n_) * n_);
    std::vector<bool> sea(size_t(n_) * n_);
    for (int j = 0; j < n_; ++j) {
      for (int i = 0; i < n_; ++i) {
        const double h = field.Height(from + i * step_, from + j * step_);
        sea[size_t(j) * n_ + i] = h <= 0;
        height_[size_t(j) * n_ + i] = std::max(h, 0.0);
      }
    }
    seaCell_.resize(size_t(cells) * cells);
    for (int j = 0; j < cells; ++j) {
      for (int i = 0; i < cells; ++i) {
        seaCell_[size_t(j) * cells + i] = sea[size_t(j) * n_ + i] && sea[size_t(j) * n_ + i + 1] &&
                                          sea[size_t(j + 1) * n_ + i] &&
                                          sea[size_t(j + 1) * n_ + i + 1];
      }
    }
    index_.assign(size_t(n_) * n_, -1);
  }
  int Cells() const { return n_ - 1; }
  double H(int i, int j) const { return height_[size_t(j) * n_ + i]; }
  bool SeaCell(int i, int j) const { return seaCell_[size_t(j) * (n_ - 1) + i]; }
  bool SeaBlock(const Block& b) const {
    for (int j = b.j; j < b.j + b.depth; ++j) {
      for (int i = b.i; i < b.i + b.width; ++i) {
        if (!SeaCell(i, j))
          return false;
      }
    }
    return true;
  }
  MeshPart::Corner Vertex(MeshPart* part, int i, int j) {
    int64_t& slot = index_[size_t(j) * n_ + i];
    if (slot < 0)
      slot = part->AddPosition({from_ + i * step_, H(i, j), from_ + j * step_});
    return {static_cast<uint32_t>(slot), i * step_ / span_, 1.0 - j * step_ / span_};
  }

 private:
  int n_;
  double step_, from_, span_;
  std::vector<double> height_;
  std::vector<bool> seaCell_;
  std::vector<int64_t> index_;
};

// Front up: seen from above (+z up, +x right) the corners run clockwise.
void Triangle(MeshPart* part, MeshPart::Corner a, MeshPart::Corner b, MeshPart::Corner c) {
  const Vec3& pa = part->Positions()[a.position];
  const Vec3 n = Cross(part->Positions()[b.position] - pa, part->Positions()[c.position] - pa);
  if (n.y < 0)
    std::swap(b, c);
  part->AddTriangle(a, b, c);
}

// A rectangle as two triangles, split along the diagonal whose ends differ less, which
// follows the ground better.
void Rectangle(Grid& grid, MeshPart* part, const Block& b) {
  const int i0 = b.i, j0 = b.j, i1 = b.i + b.width, j1 = b.j + b.depth;
  const auto c00 = grid.Vertex(part, i0, j0), c10 = grid.Vertex(part, i1, j0);
  const auto c11 = grid.Vertex(part, i1, j1), c01 = grid.Vertex(part, i0, j1);
  if (std::abs(grid.H(i0, j0) - grid.H(i1, j1)) <= std::abs(grid.H(i1, j0) - grid.H(i0, j1))) {
    Triangle(part, c00, c10, c11);
    Triangle(part, c00, c11, c01);
  } else {
    Triangle(part, c10, c11, c01);
    Triangle(part, c10, c01, c00);
  }
}

void BuildTile(Grid& grid, MeshPart* part) {
  const int cells = grid.Cells();
  // Root blocks of the largest power of two that divides the cell count, split until all sea.
  int root = 1;
  while (root < kMaxBlock && cells % (root * 2) == 0)
    root *= 2;
  std::vector<Block> leaves, pending;
  for (int j = cells - root; j >= 0; j -= root) {
    for (int i = cells - root; i >= 0; i -= root)
      pending.push_back({i, j, root, root});
  }
  while (!pending.empty()) {
    const Block b = pending.back();
    pending.pop_back();
    if (b.width == 1 || grid.SeaBlock(b)) {
      leaves.push_back(b);
      continue;
    }
    const int h = b.width / 2;
    // Pushed in reverse, so that blocks come out in the same order on every run.
    pending.push_back({b.i + h, b.j + h, h, h});
    pending.push_back({b.i, b.j + h, h, h});
    pending.push_back({b.i + h, b.j, h, h});
    pending.push_back({b.i, b.j, h, h});
  }
  const int n = cells + 1;
  std::vector<bool> corner(size_t(n) * n, false);
  for (const Block& b : leaves) {
    for (int dj : {0, b.depth}) {
      for (int di : {0, b.width})
        corner[size_t(b.j + dj) * n + b.i + di] = true;
    }
  }
  for (const Block& b : leaves) {
    const int s = b.width;
    std::vector<std::pair<int, int>> rim;  // the corners on the block's edge, once round
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i + k, b.j});
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i + s, b.j + k});
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i + s - k, b.j + s});
    for (int k = 0; k < s; ++k)
      rim.push_back({b.i, b.j + s - k});
    std::vector<MeshPart::Corner> used;
    for (const auto& [i, j] : rim) {
      if (corner[size_t(j) * n + i])
        used.push_back(grid.Vertex(part, i, j));
    }
    if (used.size() == 4) {
      Rectangle(grid, part, b);
      continue;
    }
    // Smaller neighbours put corners on this block's edges: a fan from its middle keeps them.
    const MeshPart::Corner middle = grid.Vertex(part, b.i + s / 2, b.j + s / 2);
    for (size_t k = 0; k < used.size(); ++k)
      Triangle(part, middle, used[k], used[(k + 1) % used.size()]);
  }
}

void BuildFloor(Grid& grid, MeshPart* part) {
  const int cells = grid.Cells();
  std::vector<bool> done(size_t(cells) * cells, false);
  for (int j = 0; j < cells; ++j) {
    for (int i = 0; i < cells; ++i) {
      if (done[size_t(j) * cells + i])
        continue;
      Block b{i, j, 1, 1};
      if (grid.SeaCell(i, j)) {
        // The widest run of sea along x, then as many rows of it as there are.
        while (b.i + b.width < cells && grid.SeaCell(b.i + b.width, j) &&
               !done[size_t(j) * cells + b.i + b.width])
          ++b.width;
        const auto rowFree = [&](int row) {
          for (int k = b.i; k < b.i + b.width; ++k) {
            if (!grid.SeaCell(k, row) || done[size_t(row) * cells + k])
              return false;
          }
          return true;
        };
        while (b.j + b.depth < cells && rowFree(b.j + b.depth))
          ++b.depth;
      }
      for (int row = b.j; row < b.j + b.depth; ++row) {
        for (int k = b.i; k < b.i + b.width; ++k)
          done[size_t(row) * cells + k] = true;
      }
      Rectangle(grid, part, b);
    }
  }
}
}  // namespace

bool TerrainMesher::Build(const TerrainField& field, int cells, double from, double to, bool floor,
                          MeshPart* part, std::string* error) {
  if (cells < 1 || cells > 1024) {
    *error = "terrain cells must lie between 1 and 1024";
    return false;
  }
  if (!(to > from)) {
    *error = "terrain span must run from a lower to a higher coordinate";
    return false;
  }
  Grid grid(field, cells, from, to);
  if (floor)
    BuildFloor(grid, part);
  else
    BuildTile(grid, part);
  return true;
}

}  // namespace quarn::tools
