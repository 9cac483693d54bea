#include "engine/WaveFile.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "engine/PlainFile.h"

namespace quarn {

namespace {

static_assert(std::endian::native == std::endian::little, "samples are copied as stored");

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The tail shared by the sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE (after the format code).
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Frequencies a sound buffer accepts.
constexpr uint32_t kMinRate = 100;
constexpr uint32_t kMaxRate = 200000;
// Larger files are not sounds a game loads whole.
constexpr int64_t kMaxFileBytes = int64_t{1} << 29;

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
bool IsId(const uint8_t* p, const char* id) {
  return std::memcmp(p, id, 4) == 0;
}

float Finite(double value) {
  return std::isfinite(value) ? static_cast<float>(value) : 0.0f;
}

}  // namespace

bool WaveFile::Fail(std::string problem) {
  problem_ = std::move(problem);
  data_.clear();
  frames_ = 0;
  return false;
}

bool WaveFile::Load(const std::string& path) {
  PlainFile file;
  if (!file.OpenRead(path))
    return Fail("cannot be opened");
  const int64_t size = file.Size();
  if (size < 0)
    return Fail("cannot be read");
  if (size > kMaxFileBytes)
    return Fail("too large for a sound");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t got = file.Read(bytes.data() + done, bytes.size() - done);
    if (got == 0)
      break;
    done += got;
  }
  bytes.resize(done);
  return Parse(bytes);
}

bool WaveFile::Parse(std::span<const uint8_t> bytes) {
  problem_.clear();
  truncated_ = false;
  data_.clear();
  frames_ = 0;
  if (bytes.size() < 12 || !IsId(bytes.data(), "RIFF") || !IsId(bytes.data() + 8, "WAVE")) {
    return Fail("not a RIFF WAVE file");
  }
  // Chunks are looked for inside the RIFF form as far as the file goes: a form size larger
  // than the file is common and harmless.
  const uint64_t formEnd = std::min<uint64_t>(8 + uint64_t{U32(bytes.data() + 4)}, bytes.size());
  uint64_t pos = 12;
  if (pos + 8 > formEnd || !IsId(bytes.data() + pos, "fmt ")) {
    return Fail("the format chunk is not the first chunk");
  }
  const uint64_t formatSize = U32(bytes.data() + pos + 4);
  if (pos + 8 + formatSize > bytes.size())
    return Fail("the format chunk is cut short");
  if (!ReadFormat(bytes.subspan(pos + 8, formatSize)))
    return false;
  pos += 8 + formatSize + (formatSize & 1);

  while (pos + 8 <= formEnd) {
    const uint64_t size = U32(bytes.data() + pos + 4);
    if (IsId(bytes.data() + pos, "data")) {
      const uint64_t present = std::min<uint64_t>(size, bytes.size() - (pos + 8));
      truncated_ = present < size;
      if (present > kMaxDataBytes)
        return Fail("too much sample data for a sound");
      frames_ = static_cast<uint32_t>(present / static_cast<uint64_t>(blockAlign_));
      if (frames_ == 0)
        return Fail("the data chunk holds no samples");
      const auto* first = bytes.data() + pos + 8;
      data_.assign(first, first + static_cast<size_t>(frames_) * blockAlign_);
      return true;
    }
    pos += 8 + size + (size & 1);
  }
  return Fail("no data chunk");
}

bool WaveFile::ReadFormat(std::span<const uint8_t> chunk) {
  if (chunk.size() < 16)
    return Fail("the format chunk is too short");
  const uint8_t* p = chunk.data();
  uint16_t tag = U16(p);
  const uint16_t channels = U16(p + 2);
  const uint32_t rate = U32(p + 4);
  const uint16_t blockAlign = U16(p + 12);
  const uint16_t bits = U16(p + 14);
  uint16_t validBits = bits;
  if (tag == kFormatExtensible) {
    if (chunk.size() < 40 || U16(p + 16) < 22)
      return Fail("the extensible format is too short");
    validBits = U16(p + 18);
    const uint8_t* subFormat = p + 24;
    if (std::memcmp(subFormat + 2, kSubFormatTail, sizeof kSubFormatTail) != 0) {
      return Fail("unsupported sample format");
    }
    tag = U16(subFormat);
    // A valid-bit count of 0 is taken as the whole container.
    if (validBits == 0)
      validBits = bits;
  }
  if (tag == kFormatPcm) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
      return Fail("unsupported PCM sample size");
    }
    encoding_ = Encoding::Pcm;
  } else if (tag == kFormatFloat) {
    if (bits != 32 && bits != 64)
      return Fail("unsupported float sample size");
    encoding_ = Encoding::Float;
  } else {
    return Fail("unsupported sample format");
  }
  if (validBits > bits)
    return Fail("more valid bits than the sample holds");
  if (channels != 1 && channels != 2)
    return Fail("only mono and stereo sounds are supported");
  if (rate < kMinRate || rate > kMaxRate)
    return Fail("unsupported sample rate");
  if (blockAlign != channels * (bits / 8))
    return Fail("the frame size does not match");
  channels_ = channels;
  sampleRate_ = static_cast<int>(rate);
  bitsPerSample_ = bits;
  blockAlign_ = blockAlign;
  return true;
}

platform::AudioFormat WaveFile::OutputFormat() const {
  platform::AudioFormat format;
  format.channels = channels_;
  format.rate = sampleRate_;
  if (encoding_ == Encoding::Pcm && bitsPerSample_ == 8) {
    format.type = platform::SampleType::U8;
  } else if (encoding_ == Encoding::Pcm && bitsPerSample_ == 16) {
    format.type = platform::SampleType::S16;
  } else {
    format.type = platform::SampleType::F32;
  }
  return format;
}

std::vector<uint8_t> WaveFile::OutputSamples() const {
  if (OutputFormat().type != platform::SampleType::F32)
    return data_;
  const size_t count = static_cast<size_t>(frames_) * channels_;
  if (count == 0)
    return {};
  std::vector<float> samples(count);
  const uint8_t* p = data_.data();
  for (size_t i = 0; i < count; ++i) {
    if (encoding_ == Encoding::Float && bitsPerSample_ == 32) {
      float value;
      std::memcpy(&value, p + i * 4, 4);
      samples[i] = Finite(value);
    } else if (encoding_ == Encoding::Float) {
      double value;
      std::memcpy(&value, p + i * 8, 8);
      samples[i] = Finite(value);
    } else if (bitsPerSample_ == 24) {
      const uint8_t* s = p + i * 3;
      // The top byte goes to the top of a 32-bit value, which carries the sign along.
      const int32_t value = static_cast<int32_t>((static_cast<uint32_t>(s[0]) << 8) |
                                                 (static_cast<uint32_t>(s[1]) << 16) |
                                                 (static_cast<uint32_t>(s[2]) << 24));
      samples[i] = static_cast<float>(value / 2147483648.0);
    } else {
      const int32_t value = static_cast<int32_t>(U32(p + i * 4));
      samples[i] = static_cast<float>(value / 2147483648.0);
    }
  }
  std::vector<uint8_t> bytes(count * sizeof(float));
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

}  // namespace quarn
