#include "NoiseField.h"

#include <cmath>

namespace quarn::tools {

namespace {
uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

double Smooth(double t) {
  return t * t * (3.0 - 2.0 * t);
}
}  // namespace

double NoiseField::Lattice(int x, int y) const {
  const uint32_t h = Hash(static_cast<uint32_t>(x) * 0x8DA6B343u ^
                          Hash(static_cast<uint32_t>(y) * 0xD8163841u ^ seed_));
  return (h >> 8) / 16777216.0;
}

double NoiseField::Value(double x, double y) const {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const double tx = Smooth(x - fx);
  const double ty = Smooth(y - fy);
  const double top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
  const double bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
  return top + (bottom - top) * ty;
}

double NoiseField::TiledValue(double x, double y, int period) const {
  const auto wrap = [period](int i) { return ((i % period) + period) % period; };
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const double tx = Smooth(x - fx);
  const double ty = Smooth(y - fy);
  const int x0 = wrap(ix), x1 = wrap(ix + 1), y0 = wrap(iy), y1 = wrap(iy + 1);
  const double top = Lattice(x0, y0) + (Lattice(x1, y0) - Lattice(x0, y0)) * tx;
  const double bottom = Lattice(x0, y1) + (Lattice(x1, y1) - Lattice(x0, y1)) * tx;
  return top + (bottom - top) * ty;
}

double NoiseField::TiledFractal(double x, double y, int period, int octaves) const {
  double sum = 0.0;
  double weight = 0.5;
  double total = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += TiledValue(x, y, period) * weight;
    total += weight;
    // Whole-cell offsets keep each octave on the repeating lattice.
    x = x * 2.0 + 17.0;
    y = y * 2.0 + 31.0;
    period *= 2;
    weight *= 0.5;
  }
  return total > 0.0 ? sum / total : 0.0;
}

double NoiseField::Fractal(double x, double y, int octaves) const {
  double sum = 0.0;
  double weight = 0.5;
  double total = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += Value(x, y) * weight;
    total += weight;
    x = x * 2.0 + 17.0;
    y = y * 2.0 + 31.0;
    weight *= 0.5;
  }
  return total > 0.0 ? sum / total : 0.0;
}

}  // namespace quarn::tools
