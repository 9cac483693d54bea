// WAVE files: arbitrary bytes through the RIFF reader and the sample conversion.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "engine/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::WaveFile wave;
  if (!wave.Parse(std::span<const uint8_t>(data, size))) {
    if (wave.Problem().empty() || wave.Frames() != 0)
      std::abort();
    return 0;
  }
  // A file that reads must give exactly its frames of samples, in bounds.
  const auto samples = wave.OutputSamples();
  const size_t expected =
      static_cast<size_t>(wave.Frames()) * static_cast<size_t>(wave.OutputFormat().BytesPerFrame());
  if (wave.Frames() == 0 || samples.size() != expected || samples.size() > 2 * size)
    std::abort();
  return 0;
}
