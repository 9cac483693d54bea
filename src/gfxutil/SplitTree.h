#pragma once
// A binary tree over items with a centre each: every node splits its items along the axis on
// which their centres spread most, down to leaves of at most leafSize items.
// The users keep their own bounds per node; children always come after their parent.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace quarn::gfx {

struct SplitTree {
  // Trees stay shallower than kMiddleSplitDepth + 32 levels, for searches with a fixed stack.
  static constexpr uint32_t kMiddleSplitDepth = 24;
  static constexpr int kMaxDepth = 64;
  struct Node {
    uint32_t first = 0;  // a leaf's first item in `order`; an inner node's first child
    uint32_t count = 0;  // a leaf's item count; 0 for an inner node (children first, first + 1)
  };
  std::vector<Node> nodes;
  std::vector<uint32_t> order;  // item numbers, leaf by leaf

  template <size_t D>
  static SplitTree Build(const std::vector<std::array<double, D>>& centres, uint32_t leafSize);
};

template <size_t D>
SplitTree SplitTree::Build(const std::vector<std::array<double, D>>& centres, uint32_t leafSize) {
  using Point = std::array<double, D>;
  // The centres travel with their numbers, so that splitting compares values in place.
  struct Item {
    Point centre;
    uint32_t number;
  };
  struct Range {
    uint32_t node, begin, end, depth;
    Point lo, hi;  // of the centres in the range
  };
  std::vector<Item> items(centres.size());
  for (uint32_t i = 0; i < items.size(); ++i)
    items[i] = {centres[i], i};
  const auto empty = [] {
    Range r{};
    r.lo.fill(std::numeric_limits<double>::infinity());
    r.hi.fill(-std::numeric_limits<double>::infinity());
    return r;
  };
  const auto take = [](Range* range, const Item& item) {
    for (size_t k = 0; k < D; ++k) {
      range->lo[k] = std::min(range->lo[k], item.centre[k]);
      range->hi[k] = std::max(range->hi[k], item.centre[k]);
    }
  };
  SplitTree tree;
  if (!items.empty()) {
    tree.nodes.emplace_back();
    Range root = empty();
    root.end = static_cast<uint32_t>(items.size());
    for (const Item& item : items)
      take(&root, item);
    std::vector<Range> pending{root};
    while (!pending.empty()) {
      const Range range = pending.back();
      pending.pop_back();
      if (range.end - range.begin <= leafSize) {
        tree.nodes[range.node] = {range.begin, range.end - range.begin};
        continue;
      }
      size_t axis = 0;
      for (size_t k = 1; k < D; ++k) {
        if (range.hi[k] - range.lo[k] > range.hi[axis] - range.lo[axis])
          axis = k;
      }
      Range left = empty(), right = empty();
      // Split at the middle of the spread, in one pass that also bounds both halves; past
      // some depth (or when all fall on one side) at the median, which bounds the depth.
      uint32_t i = range.begin, j = range.end;
      if (range.depth < kMiddleSplitDepth) {
        const double cut = (range.lo[axis] + range.hi[axis]) / 2;
        for (;;) {
          while (i < j && items[i].centre[axis] < cut)
            take(&left, items[i++]);
          while (i < j && !(items[j - 1].centre[axis] < cut))
            take(&right, items[--j]);
          if (i >= j)
            break;
          std::swap(items[i], items[j - 1]);
        }
      }
      if (i == range.begin || i == range.end) {
        // Ties go by item number, so that a build never depends on the library's sort.
        i = range.begin + (range.end - range.begin) / 2;
        std::nth_element(items.begin() + range.begin, items.begin() + i, items.begin() + range.end,
                         [axis](const Item& a, const Item& b) {
                           return a.centre[axis] < b.centre[axis] ||
                                  (a.centre[axis] == b.centre[axis] && a.number < b.number);
                         });
        left = empty();
        right = empty();
        for (uint32_t k = range.begin; k < range.end; ++k)
          take(k < i ? &left : &right, items[k]);
      }
      const auto children = static_cast<uint32_t>(tree.nodes.size());
      tree.nodes[range.node] = {children, 0};
      tree.nodes.resize(tree.nodes.size() + 2);
      left.node = children;
      left.begin = range.begin;
      left.end = i;
      right.node = children + 1;
      right.begin = i;
      right.end = range.end;
      left.depth = right.depth = range.depth + 1;
      pending.push_back(left);
      pending.push_back(right);
    }
  }
  tree.order.reserve(items.size());
  for (const Item& item : items)
    tree.order.push_back(item.number);
  return tree;
}

}  // namespace quarn::gfx
