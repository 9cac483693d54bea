#pragma once
// Media files made by the tests themselves: tones and movies of flat, numbered colours,
// written with the platform's encoder into a private folder removed afterwards.
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/MediaEncoder.h"

namespace quarn::testing {

// 16-bit samples of a sine at amplitude (0..1), channels interleaved alike.
inline std::vector<int16_t> Tone(double seconds, int rate, int channels, double hertz,
                                 double amplitude) {
  const auto frames = static_cast<size_t>(seconds * rate);
  std::vector<int16_t> samples(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    const double value = amplitude * std::sin(2.0 * std::numbers::pi * hertz * i / rate);
    for (int c = 0; c < channels; ++c) {
      samples[i * channels + c] = static_cast<int16_t>(std::lround(value * 32767.0));
    }
  }
  return samples;
}

// Writes a tone of the given length: Ogg Vorbis or a WAVE file.
inline bool WriteTone(const std::string& path, platform::MediaEncoder::Container container,
                      double seconds, int rate = 48000, int channels = 2, double hertz = 440.0,
                      double amplitude = 0.5) {
  platform::MediaEncoder encoder;
  if (!encoder.Open(path, container, {rate, channels}, {}, nullptr))
    return false;
  const std::vector<int16_t> samples = Tone(seconds, rate, channels, hertz, amplitude);
  return encoder.WriteAudio(samples.data(), static_cast<uint32_t>(samples.size() / channels)) &&
         encoder.Finish();
}

// Writes a mono 16-bit PCM WAVE file, byte by byte as the format lays it out.
inline bool WriteWaveFile(const std::string& path, const std::vector<int16_t>& samples, int rate) {
  std::vector<uint8_t> bytes;
  bytes.reserve(44 + samples.size() * 2);
  auto put = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
      bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  auto tag = [&](const char* id) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<uint8_t>(id[i]));
  };
  const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
  tag("RIFF");
  put(36 + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(static_cast<uint32_t>(rate), 4);
  put(static_cast<uint32_t>(rate) * 2, 4);
  put(2, 2);
  put(16, 2);
  tag("data");
  put(dataBytes, 4);
  for (int16_t sample : samples)
    put(static_cast<uint16_t>(sample), 2);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// The flat colour of movie frame number n: far apart from one frame to the next.
inline platform::Argb FrameColour(int n) {
  static const platform::Argb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                           0xFF00FFFF, 0xFFFF00FF, 0xFFFFFFFF, 0xFF000000};
  return colours[n % 8];
}

// Writes a movie of frames flat-coloured pictures (FrameColour), with a tone as its sound
// track when rate > 0.
inline bool WriteMovie(const std::string& path, platform::MediaEncoder::Container container,
                       int width, int height, int framesPerSecond, int frames, int rate = 48000) {
  platform::MediaEncoder encoder;
  if (!encoder.Open(path, container, {rate, 2}, {width, height, framesPerSecond}, nullptr)) {
    return false;
  }
  const double seconds = static_cast<double>(frames) / framesPerSecond;
  std::vector<platform::Argb> picture(static_cast<size_t>(width) * height);
  const std::vector<int16_t> sound =
      rate > 0 ? Tone(seconds, rate, 2, 440.0, 0.25) : std::vector<int16_t>{};
  const size_t perFrame = rate > 0 ? sound.size() / 2 / frames : 0;
  for (int i = 0; i < frames; ++i) {
    std::fill(picture.begin(), picture.end(), FrameColour(i));
    if (!encoder.WriteVideo(picture.data(), width))
      return false;
    if (rate > 0 &&
        !encoder.WriteAudio(sound.data() + i * perFrame * 2, static_cast<uint32_t>(perFrame))) {
      return false;
    }
  }
  return encoder.Finish();
}

// True when two colours differ by at most tolerance in every channel.
inline bool Near(platform::Argb a, platform::Argb b, int tolerance = 8) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF);
    const int y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > tolerance)
      return false;
  }
  return true;
}

}  // namespace quarn::testing
