// Sound effects from layers: timing, glides, loops without a seam, and the file the game reads.
#include <gtest/gtest.h>

#include <cmath>

#include "DatagenTestSupport.h"
#include "TestMedia.h"
#include "WaveSynth.h"
#include "engine/WaveFile.h"

namespace quarn::testing {
namespace {

using tools::WaveSynth;

WaveSynth Load(const std::string& text, std::string* error = nullptr) {
  WaveSynth synth;
  std::string ignored;
  const bool ok = synth.Load(Recipe("Sounds.txt", text), "S", error ? error : &ignored);
  if (error == nullptr) {
    EXPECT_TRUE(ok) << ignored;
  }
  return synth;
}

double Peak(const std::vector<float>& samples, size_t from, size_t to) {
  double peak = 0;
  for (size_t i = from; i < std::min(to, samples.size()); ++i)
    peak = std::max(peak, double(std::abs(samples[i])));
  return peak;
}

// Zero crossings a second, a plain measure of pitch.
double Crossings(const std::vector<float>& samples, size_t from, size_t to, int rate) {
  int count = 0;
  for (size_t i = from + 1; i < to; ++i)
    count += (samples[i - 1] < 0) != (samples[i] < 0);
  return count / 2.0 / (double(to - from) / rate);
}

TEST(WaveSynthTest, LayersStartWhenToldAndGlideBetweenTheirFrequencies) {
  const WaveSynth synth = Load(
      "[S]\nRate=8000\nLayer_0=sine 0.25 0.5 200 800 0.8 0 0\nLayer_1=sine 0 0.1 400 400 0.5 0 "
      "0\n");
  EXPECT_DOUBLE_EQ(synth.Length(), 0.75) << "the end of the last layer";
  const auto samples = synth.Render();
  ASSERT_EQ(samples.size(), 6000u);
  EXPECT_NEAR(Peak(samples, 0, 800), 0.5, 0.02);
  EXPECT_EQ(Peak(samples, 900, 2000), 0.0) << "silence between the layers";
  EXPECT_NEAR(Peak(samples, 2000, 6000), 0.8, 0.02);
  // An exponential glide: at 5 % of the way it sounds 200 * 4^0.05 hertz, at 92.5 % 4^0.925.
  EXPECT_NEAR(Crossings(samples, 2000, 2400, 8000), 200 * std::pow(4.0, 0.05), 15);
  EXPECT_NEAR(Crossings(samples, 5500, 5900, 8000), 200 * std::pow(4.0, 0.925), 30);
  // Rendered at another rate it lasts as long.
  EXPECT_EQ(synth.Render(16000).size(), 12000u);
}

TEST(WaveSynthTest, DecayAttackAndTheEndFadeShapeTheLayer) {
  const auto samples = Load("[S]\nRate=10000\nLayer_0=square 0 1 100 100 1 0.1 0.2\n").Render();
  EXPECT_LT(Peak(samples, 0, 100), 0.15) << "rising over the attack";
  EXPECT_NEAR(Peak(samples, 900, 1100), std::exp(-0.5), 0.08);
  EXPECT_NEAR(Peak(samples, 4900, 5100), std::exp(-2.5), 0.03);
  EXPECT_LT(std::abs(samples.back()), 0.002) << "the end fades out, so it does not click";
}

TEST(WaveSynthTest, ALoopRunsFromItsEndIntoItsStartWithoutAJump) {
  const WaveSynth synth = Load(
      "[S]\nRate=22050\nLoop=true\nLength=0.5\nLayer_0=saw 0 1 97.3 97.3 0.4 0.2 0.1\n"
      "Layer_1=noise 0 1 800 800 0.5 0 0\n");
  EXPECT_TRUE(synth.Loops());
  const auto samples = synth.Render();
  ASSERT_EQ(samples.size(), 11025u);
  double largest = 0;
  for (size_t i = 1; i < samples.size(); ++i)
    largest = std::max(largest, double(std::abs(samples[i] - samples[i - 1])));
  EXPECT_LE(std::abs(samples.front() - samples.back()), largest)
      << "the seam is no bigger a step than any other";
  // A loop plays all the time, ignoring attack and decay.
  EXPECT_GT(Peak(samples, 0, 200), 0.2);
  EXPECT_GT(Peak(samples, 10800, 11025), 0.2);
}

TEST(WaveSynthTest, TheWrittenFileIsAWaveTheGameReads) {
  TempFolder folder;
  const WaveSynth synth = Load("[S]\nRate=22050\nGain=0.5\nLayer_0=triangle 0 0.2 440 440 1 0 0\n");
  std::string error;
  ASSERT_TRUE(synth.Write(folder.File("s.wav"), &error)) << error;
  WaveFile wave;
  ASSERT_TRUE(wave.Load(folder.File("s.wav"))) << wave.Problem();
  EXPECT_EQ(wave.SampleRate(), 22050);
  EXPECT_EQ(wave.Channels(), 1);
  EXPECT_EQ(wave.BitsPerSample(), 16);
  EXPECT_EQ(wave.Frames(), 4410u);
  const auto bytes = wave.OutputSamples();
  int16_t peak = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    peak = std::max<int16_t>(peak, static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
  EXPECT_NEAR(peak, 16384, 400) << "the gain halves the triangle";
}

TEST(WaveSynthTest, BadLayersAreRefusedWithTheKey) {
  std::string error;
  Load("[S]\nLayer_3=buzz 0 1 100 100 1 0 0\n", &error);
  EXPECT_EQ(error,
            "Sounds.txt [S] Layer_3: kind 'buzz' is none of sine, triangle, square, saw, noise");
  Load("[S]\nLayer_0=sine 0 1 -100 100 1 0 0\n", &error);
  EXPECT_NE(error.find("must be positive"), std::string::npos) << error;
  Load("[S]\nLayer_0=sine 0 1 100 100 1 0\n", &error);
  EXPECT_NE(error.find("missing decay"), std::string::npos) << error;
  Load("[S]\nRate=1000\nLayer_0=sine 0 1 100 100 1 0 0\n", &error);
  EXPECT_NE(error.find("Rate"), std::string::npos) << error;
  Load("[S]\nFile=s.wav\n", &error);
  EXPECT_NE(error.find("at least one Layer_N"), std::string::npos) << error;
}

}  // namespace
}  // namespace quarn::testing
