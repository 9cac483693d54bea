#include "engine/RandomGenerator.h"

namespace quarn {

RandomGenerator& GameRandom() {
  static RandomGenerator generator(1);
  return generator;
}

int Rand() {
  return GameRandom().Next();
}

float RandRange(float a, float b) {
  return a + (b - a) * static_cast<float>(Rand()) * 0.000030518509f;
}

}  // namespace quarn
