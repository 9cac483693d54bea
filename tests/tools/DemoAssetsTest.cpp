// The demo game's generated assets as the build made them: picture sizes, every rectangle the
// HUD cuts out of its fixed files, sounds the engine's reader takes, music and movie lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "DemoDataFiles.h"
#include "engine/WaveFile.h"
#include "platform/MediaDecoder.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

struct Rect {
  int left, top, right, bottom;
};

int AlphaAt(const Picture& picture, int x, int y) {
  return static_cast<int>(picture.pixels[size_t(y) * picture.width + x] >> 24);
}

// Pixels of the rectangle that are not fully transparent.
int InkIn(const Picture& picture, Rect r) {
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x)
      ink += AlphaAt(picture, x, y) > 0;
  }
  return ink;
}

// The pixels of a rectangle, to tell two cut-outs apart.
std::vector<platform::Argb> PixelsOf(const Picture& picture, Rect r) {
  std::vector<platform::Argb> pixels;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x)
      pixels.push_back(picture.pixels[size_t(y) * picture.width + x]);
  }
  return pixels;
}

Picture Generated(const std::string& name) {
  Picture picture;
  EXPECT_TRUE(ReadPng(GeneratedFile(name), &picture)) << name;
  return picture;
}

bool IsPowerOfTwo(uint32_t n) {
  return n != 0 && (n & (n - 1)) == 0;
}

TEST(DemoAssetsTest, EveryPictureIsAPngOfPowerOfTwoSides) {
  int pictures = 0;
  for (const std::string& name : GeneratedNames(".png")) {
    Picture picture;
    ASSERT_TRUE(ReadPng(GeneratedFile(name), &picture)) << name;
    EXPECT_TRUE(IsPowerOfTwo(picture.width) && IsPowerOfTwo(picture.height))
        << name << " is " << picture.width << " x " << picture.height;
    ++pictures;
  }
  EXPECT_GE(pictures, 10);
}

TEST(DemoAssetsTest, EveryRectangleTheHudDrawsFromHudPngHasAPicture) {
  const Picture hud = Generated("HUD.png");
  ASSERT_GE(hud.width, 512u);
  ASSERT_GE(hud.height, 256u);
  const struct {
    const char* what;
    Rect rect;
  } parts[] = {
      {"focus mark", {0, 0, 32, 32}},
      {"gun sight", {32, 0, 64, 32}},
      {"arrow", {64, 64, 80, 96}},
      {"focused arrow", {80, 64, 96, 96}},
      {"important arrow", {96, 64, 112, 96}},
      {"focused important arrow", {112, 64, 128, 96}},
      {"important armour bar, full part", {192, 0, 224, 4}},
      {"important armour bar, empty part", {224, 0, 256, 4}},
      {"armour bar, full part", {192, 8, 224, 12}},
      {"armour bar, empty part", {224, 8, 256, 12}},
      {"blip", {192, 16, 196, 20}},
      {"focused blip", {196, 16, 200, 20}},
      {"important blip", {200, 16, 204, 20}},
      {"radar", {384, 0, 512, 128}},
      {"time gauge", {0, 96, 257, 128}},
      {"bottom panel", {0, 128, 494, 192}},
      {"armour gauge", {0, 192, 494, 256}},
  };
  for (const auto& part : parts)
    EXPECT_GT(InkIn(hud, part.rect), 0) << part.what;
  // A bar of any length is drawn as a 32-pixel window sliding over the strip: full and empty
  // parts are solid, so no length shows a hole.
  for (int x = 192; x < 256; ++x) {
    EXPECT_EQ(AlphaAt(hud, x, 1), AlphaAt(hud, x, 2)) << x;
    EXPECT_GT(AlphaAt(hud, x, 1), 0) << x;
    EXPECT_GT(AlphaAt(hud, x, 9), 0) << x;
  }
  // The four arrows and the three blips are told apart.
  std::set<std::vector<platform::Argb>> arrows, blips;
  for (int kind = 0; kind < 4; ++kind)
    arrows.insert(PixelsOf(hud, {64 + 16 * kind, 64, 80 + 16 * kind, 96}));
  for (int kind = 0; kind < 3; ++kind)
    blips.insert(PixelsOf(hud, {192 + 4 * kind, 16, 196 + 4 * kind, 20}));
  EXPECT_EQ(arrows.size(), 4u);
  EXPECT_EQ(blips.size(), 3u);
}

TEST(DemoAssetsTest, NumberPngHoldsTenDifferentDigitsInSixteenByThirtyTwoCells) {
  const Picture digits = Generated("Number.png");
  ASSERT_GE(digits.width, 160u);
  ASSERT_GE(digits.height, 32u);
  std::set<std::vector<platform::Argb>> cells;
  for (int k = 0; k < 10; ++k) {
    const Rect cell{16 * k, 0, 16 * k + 16, 32};
    EXPECT_GT(InkIn(digits, cell), 20) << "digit " << k;
    cells.insert(PixelsOf(digits, cell));
  }
  EXPECT_EQ(cells.size(), 10u);
}

TEST(DemoAssetsTest, MessagePngHoldsSixDifferentRowsOfText) {
  const Picture messages = Generated("Message.png");
  ASSERT_GE(messages.width, 256u);
  ASSERT_GE(messages.height, 384u);
  std::set<std::vector<platform::Argb>> rows;
  for (int row = 0; row < 6; ++row) {
    const Rect rect{0, 64 * row, 256, 64 * row + 64};
    EXPECT_GT(InkIn(messages, rect), 1000) << "row " << row;
    rows.insert(PixelsOf(messages, rect));
  }
  EXPECT_EQ(rows.size(), 6u);
}

TEST(DemoAssetsTest, EverySoundIsAWaveTheEngineReads) {
  int sounds = 0;
  for (const std::string& name : GeneratedNames(".wav")) {
    WaveFile wave;
    ASSERT_TRUE(wave.Load(GeneratedFile(name))) << name << ": " << wave.Problem();
    EXPECT_FALSE(wave.IsTruncated()) << name;
    EXPECT_GT(wave.Frames(), uint32_t(wave.SampleRate() / 100)) << name << " is too short";
    ++sounds;
  }
  for (const char* name : {"Alert.wav", "Cursor.wav", "Confirm.wav", "Cancel.wav", "Gun.wav",
                           "MissileLaunch.wav", "Lock.wav", "Explosion.wav", "Engine.wav"}) {
    EXPECT_TRUE(fs::exists(GeneratedFile(name))) << name;
  }
  EXPECT_GE(sounds, 9);
}

// The decoded sound of a media file: interleaved 16-bit stereo at its rate.
struct Track {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;
  double Seconds() const { return double(samples.size()) / channels / rate; }
};

Track DecodeSound(const std::string& path) {
  platform::MediaDecoder decoder;
  std::string error;
  Track track;
  EXPECT_TRUE(decoder.Open(path, true, false, &error)) << path << ": " << error;
  if (!decoder.IsOpen())
    return track;
  EXPECT_EQ(decoder.GetAudioFormat().type, platform::SampleType::S16);
  track.rate = decoder.GetAudioFormat().rate;
  track.channels = decoder.GetAudioFormat().channels;
  std::vector<uint8_t> pcm;
  uint32_t frames = 0;
  while (decoder.DecodeAudio(1 << 16, &pcm, &frames)) {
  }
  track.samples.resize(pcm.size() / 2);
  std::memcpy(track.samples.data(), pcm.data(), track.samples.size() * 2);
  return track;
}

// The steps between neighbouring frames of a channel, largest last.
std::vector<int> Steps(const Track& track) {
  std::vector<int> steps;
  const size_t n = track.samples.size();
  for (size_t i = track.channels; i < n; ++i)
    steps.push_back(std::abs(track.samples[i] - track.samples[i - track.channels]));
  std::sort(steps.begin(), steps.end());
  return steps;
}

TEST(DemoAssetsTest, MusicRunsAMinuteAtLeastAndLoopsWithoutAJump) {
  for (const char* name : {"Title.ogg", "Stage1.ogg", "Stage2.ogg"}) {
    const Track music = DecodeSound(GeneratedFile(name));
    ASSERT_GT(music.rate, 0) << name;
    EXPECT_GE(music.Seconds(), 60.0) << name;
    // From the last frame back to the first the waveform steps no further than it does
    // between neighbours at 99 places in 100 inside the piece.
    const std::vector<int> steps = Steps(music);
    ASSERT_FALSE(steps.empty());
    const int usualStep = steps[steps.size() * 99 / 100];
    EXPECT_GT(usualStep, 500) << name << " is not silent";
    const size_t last = music.samples.size() - music.channels;
    for (int c = 0; c < music.channels; ++c) {
      EXPECT_LE(std::abs(music.samples[c] - music.samples[last + c]), usualStep)
          << name << ", channel " << c;
    }
  }
}

TEST(DemoAssetsTest, TheOpeningMovieRunsAboutFifteenSecondsWithPicturesAndSound) {
  platform::MediaDecoder decoder;
  std::string error;
  ASSERT_TRUE(decoder.Open(GeneratedFile("Opening.ogv"), true, true, &error)) << error;
  EXPECT_TRUE(decoder.HasAudio());
  ASSERT_TRUE(decoder.HasVideo());
  EXPECT_EQ(decoder.Width(), 640);
  EXPECT_EQ(decoder.Height(), 480);
  decoder.ReadVideoUntil(1e9);
  EXPECT_NEAR(decoder.VideoEnd(), 15.0, 2.0);
  decoder.Close();
  const Track sound = DecodeSound(GeneratedFile("Opening.ogv"));
  EXPECT_NEAR(sound.Seconds(), 15.0, 2.0);
}

}  // namespace
}  // namespace quarn::testing
