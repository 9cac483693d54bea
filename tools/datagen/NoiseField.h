#pragma once
// Seeded value noise for clouds, hills and random sprinkles: the same seed gives the same
// numbers on every run and every machine (integer hashing, no library generator).
#include <cstdint>

namespace quarn::tools {

class NoiseField {
 public:
  explicit NoiseField(uint32_t seed) : seed_(seed) {}

  // A number in [0, 1) for each integer lattice point.
  double Lattice(int x, int y) const;
  // Smoothly interpolated noise in [0, 1).
  double Value(double x, double y) const;
  // Sum of octaves of Value, each at twice the frequency and half the weight, in [0, 1).
  double Fractal(double x, double y, int octaves) const;
  // The same on a lattice that repeats every `period` cells in x and y (period >= 1), so the
  // noise tiles seamlessly; every octave repeats with the first.
  double TiledValue(double x, double y, int period) const;
  double TiledFractal(double x, double y, int period, int octaves) const;

 private:
  uint32_t seed_;
};

}  // namespace quarn::tools
