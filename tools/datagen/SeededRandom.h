#pragma once
#include <cstdint>

namespace quarn::tools {

// A small deterministic generator (xorshift) for choices made while generating.
class SeededRandom {
 public:
  explicit SeededRandom(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
    if (state_ == 0)
      state_ = 1;
  }
  uint32_t Next();
  // A number in [0, 1).
  double Unit() { return (Next() >> 8) / 16777216.0; }
  // An integer in [0, count).
  int Below(int count) { return count <= 0 ? 0 : static_cast<int>(Next() % count); }

 private:
  uint32_t state_;
};

}  // namespace quarn::tools
