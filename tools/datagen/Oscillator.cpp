#include "Oscillator.h"

#include <cmath>
#include <numbers>

namespace quarn::tools {

namespace {
// The PolyBLEP correction around a step at phase 0 (t in [0, 1), dt the phase step).
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}
}  // namespace

bool ParseWaveform(const std::string& word, Waveform* waveform) {
  if (word == "sine")
    *waveform = Waveform::Sine;
  else if (word == "triangle")
    *waveform = Waveform::Triangle;
  else if (word == "square")
    *waveform = Waveform::Square;
  else if (word == "saw")
    *waveform = Waveform::Saw;
  else if (word == "noise")
    *waveform = Waveform::Noise;
  else
    return false;
  return true;
}

double Oscillator::Next(double hertz, double rate) {
  const double dt = std::min(std::abs(hertz) / rate, 0.5);
  double value = 0.0;
  switch (waveform_) {
    case Waveform::Sine:
      value = std::sin(2.0 * std::numbers::pi * phase_);
      break;
    case Waveform::Saw:
      value = 2.0 * phase_ - 1.0 - PolyBlep(phase_, dt);
      break;
    case Waveform::Square:
      value = (phase_ < 0.5 ? 1.0 : -1.0) + PolyBlep(phase_, dt) -
              PolyBlep(std::fmod(phase_ + 0.5, 1.0), dt);
      break;
    case Waveform::Triangle:
      // Its harmonics fall fast enough that the plain shape does not alias audibly.
      value = 1.0 - 4.0 * std::abs(phase_ - 0.5);
      break;
    case Waveform::Noise:
      value = random_.Unit() * 2.0 - 1.0;
      break;
  }
  phase_ += dt;
  if (phase_ >= 1.0)
    phase_ -= 1.0;
  return value;
}

}  // namespace quarn::tools
