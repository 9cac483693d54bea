#pragma once
// One band-limited oscillator (PolyBLEP edges on saw and square, so high notes do not alias
// into whistles) or a seeded noise source, stepped one sample at a time.
#include <cstdint>
#include <string>

#include "SeededRandom.h"

namespace quarn::tools {

enum class Waveform { Sine, Triangle, Square, Saw, Noise };

class Oscillator {
 public:
  explicit Oscillator(Waveform waveform, uint32_t seed = 1, double phase = 0.0)
      : waveform_(waveform), random_(seed), phase_(phase) {}

  // The next sample in [-1, 1] at frequency hertz for a rate of samples per second.
  double Next(double hertz, double rate);

 private:
  Waveform waveform_;
  SeededRandom random_;
  double phase_;
};

// Parses "sine", "triangle", "square", "saw" or "noise"; false for anything else.
bool ParseWaveform(const std::string& word, Waveform* waveform);

}  // namespace quarn::tools
