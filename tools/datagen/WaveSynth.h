#pragma once
// Sound effects from a recipe section: layers of tones and noise, summed and written as a
// 16-bit mono WAVE file. Keys: "File", "Rate" (22050), "Length" (seconds; the end of the last
// layer when left out), "Gain" (1), "Drive" (0: soft saturation amount), "Seed", "Loop"
// (true: the end runs seamlessly into the start, for engines and alarms), and the layers
//   Layer_N=KIND START LENGTH F0 F1 AMP ATTACK DECAY [VIBRATO_HZ VIBRATO_CENTS]
// KIND is sine, triangle, square, saw or noise. A tone glides from F0 to F1 hertz; noise is
// low-passed with its corner gliding from F0 to F1. DECAY is the time constant of an
// exponential fall (0: none).
#include <string>
#include <vector>

#include "Oscillator.h"
#include "RecipeFile.h"

namespace quarn::tools {

class WaveSynth {
 public:
  // Reads the section. False with the reason in *error.
  bool Load(const RecipeFile& recipe, const std::string& section, std::string* error);

  int Rate() const { return rate_; }
  double Length() const { return length_; }
  bool Loops() const { return loop_; }
  // The sound at a sample rate (its own when rate is 0), samples in [-1, 1].
  std::vector<float> Render(int rate = 0) const;
  // Renders at its own rate and writes the WAVE file to path.
  bool Write(const std::string& path, std::string* error) const;

 private:
  struct Layer {
    Waveform waveform = Waveform::Sine;
    double start = 0, length = 0, from = 0, to = 0, amplitude = 0, attack = 0, decay = 0;
    double vibratoHz = 0, vibratoCents = 0;
  };
  void RenderLayer(const Layer& layer, size_t index, int rate, std::vector<double>* out) const;

  int rate_ = 22050;
  double length_ = 0;
  double gain_ = 1;
  double drive_ = 0;
  unsigned seed_ = 1;
  bool loop_ = false;
  std::vector<Layer> layers_;
};

// Writes mono or interleaved stereo samples in [-1, 1] as 16-bit PCM through the media
// encoder (WAVE or Ogg Vorbis by the container).
bool WritePcm(const std::string& path, bool vorbis, int rate, int channels,
              const std::vector<float>& samples, std::string* error);

}  // namespace quarn::tools
