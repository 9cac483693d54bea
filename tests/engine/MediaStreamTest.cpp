// Music and movie streams with their end-of-stream worker, heard and timed through a
// loopback device (the stream's clock moves only as the test renders the mix).
#include "engine/MediaStream.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TestMedia.h"
#include "engine/AudioStream.h"
#include "engine/LoopbackSound.h"
#include "engine/MoviePlayer.h"
#include "engine/SoundDevice.h"
#include "platform/Clock.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"

namespace quarn {
namespace {

using quarn::testing::FrameColour;
using quarn::testing::Near;
using quarn::testing::TempFolder;
using Container = platform::MediaEncoder::Container;

constexpr int kRate = 48000;
constexpr uint32_t kFrame = kRate / 30;  // one game frame of sound

// Shows the stream object, to read its clock and volume.
template <class Base>
class Probe : public Base {
 public:
  double Position() { return this->Stream() != nullptr ? this->Stream()->Position() : -1.0; }
  int32_t SentVolume() { return this->Stream()->GetVolume(); }
};

class StreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sound_ = quarn::testing::CreateLoopbackSound(kRate, &loopback_);
    ASSERT_NE(sound_, nullptr);
    music_ = folder_.File("music.ogg");
    ASSERT_TRUE(quarn::testing::WriteTone(music_, Container::Ogg, 0.5, kRate, 2, 440.0, 0.5));
  }

  // One game frame: the mix moves on by 1/30 s and the game asks whether the stream runs.
  bool Frame(MediaStream& stream, float* peak = nullptr) {
    std::vector<float> mix(kFrame * 2);
    EXPECT_TRUE(loopback_->Render(mix.data(), kFrame));
    if (peak != nullptr) {
      *peak = 0.0f;
      for (float s : mix)
        *peak = std::max(*peak, std::fabs(s));
    }
    return stream.IsRunning();
  }

  TempFolder folder_;
  std::string music_;
  std::unique_ptr<SoundDevice> sound_;
  platform::AudioDevice* loopback_ = nullptr;
};

TEST_F(StreamTest, LoopingStreamStartsAgainByItself) {
  Probe<AudioStream> stream;
  ASSERT_TRUE(stream.Open(music_));
  ASSERT_TRUE(stream.Play(true));
  EXPECT_TRUE(stream.IsLooping());
  float peak = 0.0f;
  for (int i = 0; i < 24; ++i)
    ASSERT_TRUE(Frame(stream, &peak)) << "frame " << i;
  // 0.8 s into a 0.5 s file: the worker went back to the start once.
  EXPECT_NEAR(stream.Position(), 0.3, 0.05);
  EXPECT_GT(peak, 0.4f) << "and it still plays";
}

TEST_F(StreamTest, StreamThatDoesNotLoopStopsAtItsEnd) {
  Probe<AudioStream> stream;
  ASSERT_TRUE(stream.Open(music_));
  ASSERT_TRUE(stream.Play(false));
  int frames = 0;
  while (Frame(stream) && frames < 100)
    ++frames;
  // 0.5 s is 15 frames: the 15th, which reaches the end, finds the stream stopped.
  EXPECT_EQ(frames, 14);
  EXPECT_FALSE(stream.IsRunning());
  float peak = 1.0f;
  Frame(stream, &peak);
  EXPECT_EQ(peak, 0.0f);
  EXPECT_TRUE(stream.HasWorker()) << "the worker waits on until the stream is closed";
}

TEST_F(StreamTest, RewindLeavesTheStreamStoppedAtTheStartWithLoopingOff) {
  Probe<AudioStream> stream;
  ASSERT_TRUE(stream.Open(music_));
  ASSERT_TRUE(stream.Play(true));
  for (int i = 0; i < 6; ++i)
    Frame(stream);
  ASSERT_TRUE(stream.Rewind());
  EXPECT_FALSE(stream.IsRunning());
  EXPECT_FALSE(stream.IsLooping());
  EXPECT_DOUBLE_EQ(stream.Position(), 0.0);
  float peak = 1.0f;
  Frame(stream, &peak);
  EXPECT_EQ(peak, 0.0f);
  EXPECT_DOUBLE_EQ(stream.Position(), 0.0);
  // Played again without looping, it now ends.
  ASSERT_TRUE(stream.Play(false));
  int frames = 0;
  while (Frame(stream) && frames < 100)
    ++frames;
  EXPECT_EQ(frames, 14);
}

TEST_F(StreamTest, CloseJoinsTheWorker) {
  AudioStream stream;
  ASSERT_TRUE(stream.Open(music_));
  EXPECT_TRUE(stream.HasWorker());
  ASSERT_TRUE(stream.Play(true));
  Frame(stream);
  stream.Close();
  EXPECT_FALSE(stream.HasWorker());
  EXPECT_FALSE(stream.IsRunning());
  EXPECT_FALSE(stream.Play(true));
  stream.Close();
  // Opened again after closing: a new worker.
  ASSERT_TRUE(stream.Open(music_));
  EXPECT_TRUE(stream.HasWorker());
  ASSERT_TRUE(stream.Play(false));
  // Destroyed while it plays: the destructor closes it.
}

TEST_F(StreamTest, MusicVolumeMapsOntoFiftyDecibels) {
  Probe<AudioStream> stream;
  float gain = 0.0f;
  EXPECT_FALSE(stream.SetVolume(1.0f)) << "nothing open";
  EXPECT_FALSE(stream.GetVolume(&gain));
  ASSERT_TRUE(stream.Open(music_));
  ASSERT_TRUE(stream.SetVolume(0.5f));
  EXPECT_EQ(stream.SentVolume(), -2500);
  ASSERT_TRUE(stream.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 0.5f);
  ASSERT_TRUE(stream.SetVolume(0.0f));
  EXPECT_EQ(stream.SentVolume(), -5000) << "-50 dB, not silence";
  ASSERT_TRUE(stream.Play(true));
  float peak = 0.0f;
  for (int i = 0; i < 4; ++i)
    Frame(stream, &peak);
  EXPECT_NEAR(peak, 0.5f * std::pow(10.0f, -2.5f), 2e-4f);
  ASSERT_TRUE(stream.SetVolume(1.0f));
  EXPECT_EQ(stream.SentVolume(), 0);
  for (int i = 0; i < 4; ++i)
    Frame(stream, &peak);
  EXPECT_NEAR(peak, 0.5f, 0.03f);
  EXPECT_FALSE(stream.SetVolume(2.5f));
  ASSERT_TRUE(stream.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 1.0f);
  // A fade in the game's steps of 0.0333 per frame reaches full volume from silence.
  ASSERT_TRUE(stream.SetVolume(0.0f));
  int steps = 0;
  for (float v = 0.0f; v <= 1.0f; ++steps) {
    ASSERT_TRUE(stream.GetVolume(&v));
    v += 0.5f * 0.0333f;
    if (v <= 1.0f) {
      ASSERT_TRUE(stream.SetVolume(v));
    }
  }
  EXPECT_NEAR(steps, 60, 1) << "two seconds of fading in";
}

TEST_F(StreamTest, FileThatCannotOpenIsReportedAndLeavesNothingOpen) {
  platform::ForgetReportedProblems();
  AudioStream stream;
  const std::string missing = folder_.File("missing.ogg");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(stream.Open(missing));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("quarn: " + missing + ": ", 0), 0u) << err;
  EXPECT_FALSE(stream.HasWorker());
  EXPECT_FALSE(stream.IsRunning());
  EXPECT_FALSE(stream.Play(false));
  // The same object opens a good file afterwards.
  EXPECT_TRUE(stream.Open(music_));
}

TEST_F(StreamTest, OpeningAnotherFilePlaysItOnTheSameStream) {
  const std::string longer = folder_.File("longer.wav");
  ASSERT_TRUE(quarn::testing::WriteTone(longer, Container::Wav, 2.0, kRate, 1));
  Probe<AudioStream> stream;
  ASSERT_TRUE(stream.Open(music_));
  ASSERT_TRUE(stream.Play(true));
  for (int i = 0; i < 6; ++i)
    Frame(stream);
  ASSERT_TRUE(stream.Open(longer));
  EXPECT_TRUE(stream.HasWorker());
  ASSERT_TRUE(stream.Play(false));
  for (int i = 0; i < 30; ++i)
    ASSERT_TRUE(Frame(stream)) << "past the first file's length";
  EXPECT_NEAR(stream.Position(), 1.0, 0.05);
}

TEST(StreamWithoutSoundTest, MusicNeedsASoundDevice) {
  ASSERT_EQ(SoundDevice::Instance(), nullptr);
  TempFolder folder;
  const std::string path = folder.File("m.wav");
  ASSERT_TRUE(quarn::testing::WriteTone(path, Container::Wav, 0.2));
  AudioStream music;
  EXPECT_FALSE(music.Create());
  EXPECT_FALSE(music.Open(path));
  EXPECT_FALSE(music.IsRunning());
  MediaStream bare;
  EXPECT_TRUE(bare.Create());
  EXPECT_FALSE(bare.Open(path)) << "a stream with no track plays nothing";
}

// The movie player drawing into a null device's back buffer.
class MovieTest : public StreamTest {
 protected:
  void SetUp() override {
    StreamTest::SetUp();
    movie_ = folder_.File("movie.avi");
    ASSERT_TRUE(quarn::testing::WriteMovie(movie_, Container::Avi, 64, 48, 10, 10, kRate));
    player_.SetRenderDevice(&device_);
  }
  void Clear() { device_.Clear(0, nullptr, platform::kClearTarget, kClearColour, 1.0f, 0); }
  std::vector<platform::Argb> BackBuffer() {
    std::vector<platform::Argb> pixels;
    uint32_t width = 0, height = 0;
    EXPECT_TRUE(device_.ReadBackBuffer(pixels, &width, &height));
    EXPECT_EQ(width, 640u);
    return pixels;
  }

  static constexpr platform::Argb kClearColour = 0xFF203040;
  std::string movie_;
  platform::NullRenderDevice device_;
  MoviePlayer player_;
};

TEST_F(MovieTest, FramesAreDrawnTopLeftAtTheirSizeInOrder) {
  ASSERT_TRUE(player_.Open(movie_));
  Clear();
  EXPECT_FALSE(player_.DrawFrame()) << "not running yet";
  ASSERT_TRUE(player_.Play(false));
  int shown = 0;
  int frames = 0;
  while (player_.IsRunning() && frames < 100) {
    Clear();
    ASSERT_TRUE(player_.DrawFrame()) << "frame " << frames;
    const auto pixels = BackBuffer();
    // Game frame n shows movie frame n * 10 / 30 (10 pictures a second).
    const int expected = std::min(frames * 10 / 30, 9);
    EXPECT_TRUE(Near(pixels[0], FrameColour(expected), 12)) << "frame " << frames;
    EXPECT_TRUE(Near(pixels[47 * 640 + 63], FrameColour(expected), 12));
    EXPECT_EQ(pixels[48 * 640 + 63], kClearColour) << "below the picture";
    EXPECT_EQ(pixels[47 * 640 + 64], kClearColour) << "right of the picture";
    shown = expected;
    Frame(player_);
    ++frames;
  }
  EXPECT_EQ(shown, 9);
  EXPECT_EQ(frames, 30) << "one second of movie";
  Clear();
  EXPECT_FALSE(player_.DrawFrame()) << "the end stopped the movie";
  EXPECT_EQ(BackBuffer()[0], kClearColour);
}

TEST_F(MovieTest, MovieNeedsPictures) {
  EXPECT_FALSE(player_.Open(music_));
  EXPECT_FALSE(player_.HasWorker());
  EXPECT_FALSE(player_.DrawFrame());
  ASSERT_TRUE(player_.Open(movie_));
  float gain = 0.0f;
  ASSERT_TRUE(player_.SetVolume(0.25f));
  ASSERT_TRUE(player_.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 0.25f);
}

// Headless runs: a silent device on the game's virtual clock gives the same movie frame by
// frame and the same end every time.
TEST(HeadlessMovieTest, EndsOnTheSameFrameEveryTime) {
  TempFolder folder;
  const std::string movie = folder.File("movie.ogv");
  ASSERT_TRUE(quarn::testing::WriteMovie(movie, Container::Ogg, 32, 32, 15, 15, 44100));
  for (int run = 0; run < 3; ++run) {
    platform::FakeClock clock;
    SoundDevice sound;
    sound.UseSilentDevice(&clock);
    ASSERT_TRUE(sound.Create(nullptr, 0));
    platform::NullRenderDevice device;
    MoviePlayer player;
    player.SetRenderDevice(&device);
    ASSERT_TRUE(player.Open(movie));
    ASSERT_TRUE(player.Play(false));
    int frames = 0;
    while (player.IsRunning() && frames < 100) {
      player.DrawFrame();
      clock.Advance(clock.Frequency() / 30);
      ++frames;
    }
    EXPECT_EQ(frames, 31) << "run " << run;
  }
}

}  // namespace
}  // namespace quarn
