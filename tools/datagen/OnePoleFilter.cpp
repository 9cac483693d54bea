#include "OnePoleFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quarn::tools {

double OnePoleFilter::Next(double x, double cutoff, double rate) {
  const double k =
      1.0 - std::exp(-2.0 * std::numbers::pi * std::clamp(cutoff, 1.0, rate / 2) / rate);
  state_ += k * (x - state_);
  return state_;
}

}  // namespace quarn::tools
