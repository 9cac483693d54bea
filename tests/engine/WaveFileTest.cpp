// The WAVE reader on the fixture files and on files made here byte by byte.
#include "engine/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace quarn {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(QUARN_SOURCE_DIR) + "/tests/fixtures/wav/" + name;
}

std::vector<float> Floats(const WaveFile& wave) {
  const std::vector<uint8_t> bytes = wave.OutputSamples();
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}

std::vector<int16_t> Shorts(const WaveFile& wave) {
  const std::vector<uint8_t> bytes = wave.OutputSamples();
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

struct Accepted {
  const char* file;
  int channels;
  int rate;
  int bits;
  uint32_t frames;
  platform::SampleType output;
};

// Every fixture a complete reader loads, as its README lists them.
TEST(WaveFileFixtureTest, ValidFilesLoadWithTheirFormat) {
  using platform::SampleType;
  const Accepted files[] = {
      {"hound/pcmwaveformat-8bit-44100Hz-mono.wav", 1, 44100, 8, 4, SampleType::U8},
      {"hound/pcmwaveformat-16bit-44100Hz-mono.wav", 1, 44100, 16, 4, SampleType::S16},
      {"hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav", 1, 44100, 16, 4, SampleType::S16},
      {"hound/waveformatex-16bit-44100Hz-stereo.wav", 2, 44100, 16, 4, SampleType::S16},
      {"hound/waveformatex-8bit-11025Hz-mono.wav", 1, 11025, 8, 4, SampleType::U8},
      {"hound/pop.wav", 1, 44100, 16, 100, SampleType::S16},
      {"hound/waveformatextensible-24bit-192kHz-mono.wav", 1, 192000, 24, 4, SampleType::F32},
      {"hound/waveformatextensible-24bit-4byte-48kHz-stereo.wav", 2, 48000, 32, 2, SampleType::F32},
      {"hound/waveformatextensible-32bit-48kHz-stereo.wav", 2, 48000, 32, 2, SampleType::F32},
      {"hound/waveformatex-ieeefloat-44100Hz-mono.wav", 1, 44100, 32, 4, SampleType::F32},
      {"hound/waveformatextensible-ieeefloat-44100Hz-mono.wav", 1, 44100, 32, 4, SampleType::F32},
      {"scipy/test-8000Hz-le-2ch-1byteu.wav", 2, 8000, 8, 800, SampleType::U8},
      {"scipy/test-44100Hz-le-1ch-4bytes.wav", 1, 44100, 32, 4410, SampleType::F32},
      {"scipy/test-44100Hz-2ch-32bit-float-le.wav", 2, 44100, 32, 441, SampleType::F32},
      // Valid but exotic: taken as well.
      {"scipy/test-48000Hz-2ch-64bit-float-le-wavex.wav", 2, 48000, 64, 480, SampleType::F32},
      {"hound/nonstandard-02.wav", 2, 48000, 32, 2, SampleType::F32},
  };
  for (const Accepted& expected : files) {
    SCOPED_TRACE(expected.file);
    WaveFile wave;
    ASSERT_TRUE(wave.Load(Fixture(expected.file))) << wave.Problem();
    EXPECT_EQ(wave.Channels(), expected.channels);
    EXPECT_EQ(wave.SampleRate(), expected.rate);
    EXPECT_EQ(wave.BitsPerSample(), expected.bits);
    EXPECT_EQ(wave.Frames(), expected.frames);
    EXPECT_FALSE(wave.IsTruncated());
    EXPECT_EQ(wave.OutputFormat().type, expected.output);
    EXPECT_EQ(wave.OutputSamples().size(),
              static_cast<size_t>(expected.frames) * wave.OutputFormat().BytesPerFrame());
  }
}

// Malformed files, and kinds outside mono/stereo PCM and float, are refused with a reason.
TEST(WaveFileFixtureTest, DamagedAndUnsupportedFilesAreRefused) {
  const char* files[] = {
      "scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav",
      "scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav",
      "hound/fuzz/crash-24728523ef4be15c838293b676f6853e73723bf4.wav",
      "hound/fuzz/crash-b8447179832529c48f9c6bf17feab6337bbc78ea.wav",
      "hound/fuzz/crash-cbd757427cea12bd8a21f86cd8cf74d98ce56bee.wav",
      "hound/fuzz/crash-e5471f5b58397287b509db7d026e95f1724454f5.wav",
      "hound/fuzz/crash-e879de4eb4d206c59e21f0e01def16457af80fdc.wav",
      "hound/fuzz/oom-48ae4cd061ff8578ad3f23dc87624bd365cf5216.wav",
      // Valid elsewhere, but not a kind this reader takes:
      "hound/pcmwaveformat-24bit-4byte-48kHz-stereo.wav",  // frame size does not match
      "hound/nonstandard-01.wav",                          // chunks before the format
      "scipy/test-8000Hz-le-3ch-5S-24bit.wav",             // three channels
      "scipy/test-8000Hz-le-3ch-5S-24bit-inconsistent.wav",
      "scipy/test-1234Hz-le-1ch-10S-20bit-extra.wav",  // 20-bit samples
      "scipy/test-8000Hz-le-1ch-1byte-ulaw.wav",       // mu-law
      "scipy/test-44100Hz-le-1ch-4bytes-rf64.wav",
      "scipy/test-44100Hz-be-1ch-4bytes.wav",  // big-endian RIFX
      "no-such-file.wav",
  };
  for (const char* file : files) {
    SCOPED_TRACE(file);
    WaveFile wave;
    EXPECT_FALSE(wave.Load(Fixture(file)));
    EXPECT_FALSE(wave.Problem().empty());
    EXPECT_EQ(wave.Frames(), 0u);
    EXPECT_TRUE(wave.OutputSamples().empty());
  }
}

TEST(WaveFileFixtureTest, FileCutShortKeepsTheFramesThatArePresent) {
  WaveFile whole, cut;
  ASSERT_TRUE(whole.Load(Fixture("scipy/test-44100Hz-le-1ch-4bytes.wav")));
  ASSERT_TRUE(cut.Load(Fixture("scipy/test-44100Hz-le-1ch-4bytes-early-eof.wav"))) << cut.Problem();
  EXPECT_TRUE(cut.IsTruncated());
  ASSERT_EQ(cut.Frames(), 236u);
  const std::vector<float> a = Floats(whole), b = Floats(cut);
  EXPECT_TRUE(std::equal(b.begin(), b.end(), a.begin())) << "the same first 236 frames";
}

TEST(WaveFileFixtureTest, SamplesDecodeToTheirValues) {
  WaveFile wave;
  ASSERT_TRUE(wave.Load(Fixture("hound/waveformatex-16bit-44100Hz-stereo.wav")));
  EXPECT_EQ(Shorts(wave), (std::vector<int16_t>{2, -3, 5, -7, 11, -13, 17, -19}));

  ASSERT_TRUE(wave.Load(Fixture("hound/pcmwaveformat-8bit-44100Hz-mono.wav")));
  EXPECT_EQ(wave.OutputSamples(), (std::vector<uint8_t>{0x93, 0x4B, 0xD9, 0x01}));

  // Packed 24-bit: -17, 0x40000F, -0x5FFFED, 0x7F7FE9 of 2^23.
  ASSERT_TRUE(wave.Load(Fixture("hound/waveformatextensible-24bit-192kHz-mono.wav")));
  std::vector<float> f = Floats(wave);
  ASSERT_EQ(f.size(), 4u);
  EXPECT_FLOAT_EQ(f[0], -17.0f / 8388608.0f);
  EXPECT_FLOAT_EQ(f[1], 4194319.0f / 8388608.0f);
  EXPECT_FLOAT_EQ(f[2], -6291437.0f / 8388608.0f);
  EXPECT_FLOAT_EQ(f[3], 8355817.0f / 8388608.0f);

  ASSERT_TRUE(wave.Load(Fixture("hound/waveformatextensible-32bit-48kHz-stereo.wav")));
  f = Floats(wave);
  ASSERT_EQ(f.size(), 4u);
  EXPECT_FLOAT_EQ(f[0], 19.0f / 2147483648.0f);
  EXPECT_FLOAT_EQ(f[3], -2147483497.0f / 2147483648.0f);

  ASSERT_TRUE(wave.Load(Fixture("hound/waveformatex-ieeefloat-44100Hz-mono.wav")));
  EXPECT_EQ(Floats(wave), (std::vector<float>{2.0f, 3.0f, -16411.0f, 1019.0f}));
}

// Builds a RIFF WAVE image chunk by chunk.
class WaveBytes {
 public:
  WaveBytes& Chunk(const char* id, const std::vector<uint8_t>& content, int declared = -1) {
    body_.insert(body_.end(), id, id + 4);
    Put32(body_, declared >= 0 ? static_cast<uint32_t>(declared) : content.size());
    body_.insert(body_.end(), content.begin(), content.end());
    if (content.size() % 2 == 1 && declared < 0)
      body_.push_back(0);
    return *this;
  }
  // A plain format chunk (16 bytes) or an extensible one.
  WaveBytes& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                    uint16_t subTag = 0, uint16_t validBits = 0) {
    std::vector<uint8_t> f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, static_cast<uint16_t>(channels * bits / 8));
    Put16(f, bits);
    if (tag == 0xFFFE) {
      Put16(f, 22);
      Put16(f, validBits);
      Put32(f, 0);
      const uint8_t guid[16] = {static_cast<uint8_t>(subTag),
                                0,
                                0,
                                0,
                                0,
                                0,
                                0x10,
                                0,
                                0x80,
                                0,
                                0,
                                0xAA,
                                0,
                                0x38,
                                0x9B,
                                0x71};
      f.insert(f.end(), guid, guid + 16);
    }
    return Chunk("fmt ", f);
  }
  std::vector<uint8_t> Build(int declaredForm = -1) const {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    Put32(out, declaredForm >= 0 ? static_cast<uint32_t>(declaredForm) : body_.size() + 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }
  static void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
  }
  static void Put32(std::vector<uint8_t>& v, size_t x) {
    for (int i = 0; i < 4; ++i)
      v.push_back(static_cast<uint8_t>(x >> (8 * i)));
  }

 private:
  std::vector<uint8_t> body_;
};

TEST(WaveFileTest, OddSizedChunksArePaddedAndUnknownChunksSkipped) {
  const auto bytes = WaveBytes()
                         .Format(1, 1, 8000, 16)
                         .Chunk("LIST", {1, 2, 3})  // odd: one pad byte follows
                         .Chunk("data", {0x34, 0x12, 0xFF, 0x7F})
                         .Build();
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(bytes)) << wave.Problem();
  EXPECT_EQ(Shorts(wave), (std::vector<int16_t>{0x1234, 0x7FFF}));
}

TEST(WaveFileTest, FormatChunkMustComeFirst) {
  WaveFile wave;
  EXPECT_FALSE(wave.Parse(
      WaveBytes().Chunk("JUNK", {0, 0}).Format(1, 1, 8000, 16).Chunk("data", {0, 0}).Build()));
  EXPECT_FALSE(wave.Parse(WaveBytes().Chunk("data", {0, 0}).Format(1, 1, 8000, 16).Build()));
}

TEST(WaveFileTest, SizesComeFromTheChunksNotTheForm) {
  // A form size far past the end of the file is common; one that stops short of the data
  // hides it.
  const auto generous = WaveBytes().Format(1, 1, 8000, 8).Chunk("data", {1, 2, 3}).Build(1 << 20);
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(generous)) << wave.Problem();
  EXPECT_EQ(wave.Frames(), 3u);
  const auto stingy = WaveBytes().Format(1, 1, 8000, 8).Chunk("data", {1, 2, 3}).Build(28);
  EXPECT_FALSE(wave.Parse(stingy));
}

TEST(WaveFileTest, PartialFramesAndEmptyDataAreNotSamples) {
  WaveFile wave;
  ASSERT_TRUE(wave.Parse(
      WaveBytes().Format(1, 2, 8000, 16).Chunk("data", {1, 0, 2, 0, 3, 0, 4, 0, 5, 0}).Build()));
  EXPECT_EQ(wave.Frames(), 2u) << "the half frame at the end is dropped";
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(1, 2, 8000, 16).Chunk("data", {1, 0}).Build()));
  EXPECT_FALSE(wave.Problem().empty());
  // A data chunk that claims more than the file holds keeps what is there.
  ASSERT_TRUE(wave.Parse(WaveBytes().Format(1, 1, 8000, 8).Chunk("data", {7, 8}, 4000).Build()));
  EXPECT_TRUE(wave.IsTruncated());
  EXPECT_EQ(wave.Frames(), 2u);
}

TEST(WaveFileTest, WideSamplesBecomeFloatsAtTheirScale) {
  WaveFile wave;
  // 24-bit packed: full-scale negative and positive.
  ASSERT_TRUE(wave.Parse(WaveBytes()
                             .Format(1, 1, 8000, 24)
                             .Chunk("data", {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F})
                             .Build()));
  std::vector<float> f = Floats(wave);
  EXPECT_FLOAT_EQ(f[0], -1.0f);
  EXPECT_NEAR(f[1], 1.0f, 1e-6f);
  // 24 valid bits in 32-bit containers sit at the top of the container.
  ASSERT_TRUE(wave.Parse(WaveBytes()
                             .Format(0xFFFE, 1, 8000, 32, 1, 24)
                             .Chunk("data", {0x00, 0x00, 0x00, 0xC0})
                             .Build()));
  EXPECT_FLOAT_EQ(Floats(wave)[0], -0.5f);
  // Doubles are narrowed; values that are not numbers become silence.
  std::vector<uint8_t> doubles(24);
  const double values[3] = {0.25, std::numeric_limits<double>::quiet_NaN(),
                            -std::numeric_limits<double>::infinity()};
  std::memcpy(doubles.data(), values, 24);
  ASSERT_TRUE(wave.Parse(WaveBytes().Format(3, 1, 8000, 64).Chunk("data", doubles).Build()));
  EXPECT_EQ(Floats(wave), (std::vector<float>{0.25f, 0.0f, 0.0f}));
}

TEST(WaveFileTest, UnsupportedFormatsSayWhy) {
  WaveFile wave;
  const std::vector<uint8_t> data = {0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(2, 1, 8000, 4).Chunk("data", data).Build()));
  EXPECT_NE(wave.Problem().find("format"), std::string::npos) << wave.Problem();
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(1, 1, 8000, 12).Chunk("data", data).Build()));
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(3, 1, 8000, 16).Chunk("data", data).Build()));
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(1, 1, 99, 8).Chunk("data", data).Build()));
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(1, 1, 200001, 8).Chunk("data", data).Build()));
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(1, 4, 8000, 8).Chunk("data", data).Build()));
  // An extensible format with a sub-format outside the standard family.
  auto odd = WaveBytes().Format(0xFFFE, 1, 8000, 16, 1, 16).Chunk("data", data).Build();
  odd[12 + 8 + 24 + 15] ^= 0xFF;
  EXPECT_FALSE(wave.Parse(odd));
  EXPECT_FALSE(wave.Parse(WaveBytes().Format(0xFFFE, 1, 8000, 16, 1, 20).Build()));
  EXPECT_FALSE(wave.Parse(std::vector<uint8_t>{}));
}

}  // namespace
}  // namespace quarn
