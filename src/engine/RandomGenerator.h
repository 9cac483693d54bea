#pragma once
// The game's random numbers: the recurrence of the C runtime the game was made with, so that
// spreads match the data's expectations (0..32767) and a replay gives the same game.
#include <cstdint>

namespace quarn {

class RandomGenerator {
 public:
  static constexpr int kMax = 32767;

  explicit RandomGenerator(uint32_t seed = 1) : state_(seed) {}
  void Seed(uint32_t seed) { state_ = seed; }
  // 0..32767.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  uint32_t State() const { return state_; }

 private:
  uint32_t state_;
};

// The generator every game-logic draw goes through; seeded with 1 at start.
RandomGenerator& GameRandom();
// rand() of the game: the next value of GameRandom().
int Rand();
// a + (b - a) x Rand() x 0.000030518509, in single precision.
float RandRange(float a, float b);

}  // namespace quarn
