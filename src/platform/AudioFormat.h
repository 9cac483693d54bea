#pragma once
// How sample data is laid out, and the volume scale every voice and stream uses.
#include <cmath>
#include <cstdint>

namespace quarn::platform {

// Interleaved samples: unsigned 8-bit (silence at 128), signed 16-bit, 32-bit float.
enum class SampleType : uint8_t { U8, S16, F32 };

struct AudioFormat {
  SampleType type = SampleType::S16;
  int channels = 1;  // 1 or 2
  int rate = 44100;  // frames per second

  int BytesPerSample() const {
    return type == SampleType::U8 ? 1 : type == SampleType::S16 ? 2 : 4;
  }
  int BytesPerFrame() const { return BytesPerSample() * channels; }
  bool IsValid() const { return (channels == 1 || channels == 2) && rate > 0; }
};

// Volumes are hundredths of a decibel, from kSilentVolume to kFullVolume.
inline constexpr int32_t kFullVolume = 0;
inline constexpr int32_t kSilentVolume = -10000;

inline bool IsValidVolume(int32_t volume) {
  return volume >= kSilentVolume && volume <= kFullVolume;
}

// Linear gain of a volume: 10^(volume / 2000); the lowest volume is silence.
inline float GainFromVolume(int32_t volume) {
  if (volume <= kSilentVolume)
    return 0.0f;
  return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

}  // namespace quarn::platform
