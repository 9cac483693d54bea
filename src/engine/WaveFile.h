#pragma once
// Our reader of RIFF WAVE files. The "fmt " chunk must be the first chunk of the RIFF form;
// the "data" chunk is searched for after it, skipping any other chunks. Accepted: PCM of 8,
// 16, 24 and 32 bits, IEEE float of 32 and 64 bits, mono or stereo, also wrapped in
// WAVE_FORMAT_EXTENSIBLE; anything else is refused with a reason.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/AudioFormat.h"

namespace quarn {

class WaveFile {
 public:
  enum class Encoding { Pcm, Float };

  // The largest sample data a sound buffer takes (bytes).
  static constexpr uint32_t kMaxDataBytes = 0x0FFFFFFF;

  // Reads a whole file image. False, with Problem() saying why, for a file that is not one of
  // the accepted kinds or is damaged beyond use. A data chunk cut short by the end of the
  // file is kept as far as it goes (whole frames), and IsTruncated() tells.
  bool Parse(std::span<const uint8_t> bytes);
  // Parse on the file at path.
  bool Load(const std::string& path);

  const std::string& Problem() const { return problem_; }
  Encoding GetEncoding() const { return encoding_; }
  int Channels() const { return channels_; }
  int SampleRate() const { return sampleRate_; }
  // Bits of each sample's container (24-bit samples padded to 32 report 32).
  int BitsPerSample() const { return bitsPerSample_; }
  uint32_t Frames() const { return frames_; }
  bool IsTruncated() const { return truncated_; }

  // The samples in a form the audio device takes: 8 and 16-bit PCM as they are, everything
  // else as 32-bit float (values that are not finite become silence).
  platform::AudioFormat OutputFormat() const;
  std::vector<uint8_t> OutputSamples() const;

 private:
  bool Fail(std::string problem);
  bool ReadFormat(std::span<const uint8_t> chunk);

  std::string problem_;
  Encoding encoding_ = Encoding::Pcm;
  int channels_ = 0;
  int sampleRate_ = 0;
  int bitsPerSample_ = 0;
  int blockAlign_ = 0;
  uint32_t frames_ = 0;
  bool truncated_ = false;
  std::vector<uint8_t> data_;  // whole frames of the data chunk, as stored
};

}  // namespace quarn
