// Media files written by the encoder and played back as streams on loopback, silent and
// output devices.
#include "platform/MediaStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "TestMedia.h"
#include "platform/AudioDevice.h"
#include "platform/Clock.h"
#include "platform/MediaDecoder.h"

namespace quarn::platform {
namespace {

using quarn::testing::FrameColour;
using quarn::testing::Near;
using quarn::testing::TempFolder;
using Container = MediaEncoder::Container;

constexpr int kRate = 48000;

TEST(MediaEncoderTest, WrittenFilesReadBackWithTheirTracks) {
  TempFolder folder;
  struct Case {
    const char* name;
    Container container;
    bool video;
  };
  const Case cases[] = {{"tone.ogg", Container::Ogg, false},
                        {"tone.wav", Container::Wav, false},
                        {"movie.ogv", Container::Ogg, true},
                        {"movie.avi", Container::Avi, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File(c.name);
    if (c.video) {
      ASSERT_TRUE(quarn::testing::WriteMovie(path, c.container, 64, 48, 10, 10, 44100));
    } else {
      ASSERT_TRUE(quarn::testing::WriteTone(path, c.container, 1.0, 44100, 1));
    }
    MediaDecoder decoder;
    std::string error;
    ASSERT_TRUE(decoder.Open(path, true, true, &error)) << error;
    ASSERT_TRUE(decoder.HasAudio());
    EXPECT_EQ(decoder.GetAudioFormat().rate, 44100);
    EXPECT_EQ(decoder.GetAudioFormat().channels, c.video ? 2 : 1);
    std::vector<uint8_t> pcm;
    uint32_t frames = 0;
    while (decoder.DecodeAudio(4096, &pcm, &frames)) {
    }
    EXPECT_NEAR(frames, 44100.0, 1100.0) << "one second of sound";
    EXPECT_EQ(pcm.size(), static_cast<size_t>(frames) * decoder.GetAudioFormat().BytesPerFrame());
    EXPECT_EQ(decoder.HasVideo(), c.video);
    if (!c.video)
      continue;
    EXPECT_EQ(decoder.Width(), 64);
    EXPECT_EQ(decoder.Height(), 48);
    VideoFrame frame;
    int count = 0;
    while (decoder.DecodeVideo(&frame)) {
      EXPECT_EQ(frame.number, static_cast<uint64_t>(count));
      EXPECT_NEAR(frame.time, count / 10.0, 1e-6);
      ASSERT_EQ(frame.pixels.size(), 64u * 48u);
      EXPECT_TRUE(Near(frame.pixels[64 * 24 + 32], FrameColour(count), 12))
          << std::hex << frame.pixels[64 * 24 + 32] << " frame " << count;
      ++count;
    }
    EXPECT_EQ(count, 10);
    EXPECT_NEAR(decoder.VideoEnd(), 1.0, 1e-6);
    // Back to the start: the first picture again.
    ASSERT_TRUE(decoder.Rewind());
    ASSERT_TRUE(decoder.DecodeVideo(&frame));
    EXPECT_EQ(frame.number, 0u);
    EXPECT_TRUE(Near(frame.pixels[0], FrameColour(0), 12));
  }
}

TEST(MediaEncoderTest, NothingToWriteOrNowhereToWriteIt) {
  MediaEncoder encoder;
  std::string error;
  EXPECT_FALSE(encoder.Open(::testing::TempDir() + "x.ogg", Container::Ogg, {0, 2}, {}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(encoder.Open("/no-such-folder/x.wav", Container::Wav, {8000, 1}, {}, &error));
  const int16_t samples[2] = {0, 0};
  EXPECT_FALSE(encoder.WriteAudio(samples, 1));
  EXPECT_FALSE(encoder.Finish());
}

// A stream on a loopback device: its clock moves only as the test renders the mix.
class LoopbackStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    device_ = AudioDevice::OpenLoopback(kRate, 2, &error);
    ASSERT_NE(device_, nullptr) << error;
    stream_ = std::make_unique<MediaStream>(device_.get());
  }
  // Renders seconds of the mix in game-frame steps, as the main loop would ask the stream.
  std::vector<float> Play(double seconds) {
    std::vector<float> left;
    const auto total = static_cast<uint32_t>(seconds * kRate);
    std::vector<float> mix(1600 * 2);
    for (uint32_t done = 0; done < total; done += 1600) {
      stream_->Update();
      EXPECT_TRUE(device_->Render(mix.data(), 1600));
      for (int i = 0; i < 1600; ++i)
        left.push_back(mix[i * 2]);
    }
    return left;
  }
  static float Peak(const std::vector<float>& samples, size_t from, size_t to) {
    float peak = 0.0f;
    for (size_t i = from; i < to && i < samples.size(); ++i) {
      peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
  }

  TempFolder folder_;
  std::unique_ptr<AudioDevice> device_;
  std::unique_ptr<MediaStream> stream_;
};

TEST_F(LoopbackStreamTest, SoundPlaysToTheEndAndSetsTheEvent) {
  const std::string path = folder_.File("tone.ogg");
  ASSERT_TRUE(quarn::testing::WriteTone(path, Container::Ogg, 1.0, kRate, 2, 440.0, 0.5));
  std::string error;
  ASSERT_TRUE(stream_->Open(path, &error)) << error;
  EXPECT_TRUE(stream_->HasAudio());
  EXPECT_FALSE(stream_->HasVideo());
  EXPECT_EQ(stream_->GetState(), MediaStream::State::Stopped);
  EXPECT_EQ(Peak(Play(0.1), 0, kRate), 0.0f) << "silent until run";
  ASSERT_TRUE(stream_->Run());
  const std::vector<float> heard = Play(0.5);
  EXPECT_NEAR(Peak(heard, 2400, heard.size()), 0.5f, 0.03f);
  EXPECT_NEAR(stream_->Position(), 0.5, 0.04);
  EXPECT_FALSE(stream_->EndOfStreamEvent().IsSet());
  Play(0.6);
  EXPECT_TRUE(stream_->EndOfStreamEvent().IsSet());
  EXPECT_EQ(stream_->GetState(), MediaStream::State::Running) << "stopping is the owner's call";
  // Past the end of the sound the clock runs on with the device's time.
  EXPECT_NEAR(stream_->Position(), 1.1, 0.04);
  ASSERT_TRUE(stream_->Stop());
  EXPECT_FALSE(stream_->EndOfStreamEvent().IsSet());
  EXPECT_TRUE(stream_->WaitWhileEndPending(0));
}

TEST_F(LoopbackStreamTest, StopPausesAndRewindStartsOver) {
  const std::string path = folder_.File("tone.wav");
  ASSERT_TRUE(quarn::testing::WriteTone(path, Container::Wav, 2.0, kRate, 1));
  ASSERT_TRUE(stream_->Open(path, nullptr));
  ASSERT_TRUE(stream_->Run());
  Play(0.4);
  ASSERT_TRUE(stream_->Stop());
  const double stopped = stream_->Position();
  EXPECT_NEAR(stopped, 0.4, 0.04);
  EXPECT_EQ(Peak(Play(0.3), 800, kRate), 0.0f);
  EXPECT_DOUBLE_EQ(stream_->Position(), stopped);
  ASSERT_TRUE(stream_->Run());
  Play(0.2);
  EXPECT_NEAR(stream_->Position(), stopped + 0.2, 0.04) << "goes on from where it stopped";
  ASSERT_TRUE(stream_->Rewind());
  EXPECT_EQ(stream_->GetState(), MediaStream::State::Running) << "a running stream runs on";
  EXPECT_NEAR(stream_->Position(), 0.0, 1e-9);
  Play(0.2);
  EXPECT_NEAR(stream_->Position(), 0.2, 0.04);
}

TEST_F(LoopbackStreamTest, VolumeIsInHundredthsOfADecibel) {
  const std::string path = folder_.File("tone.wav");
  ASSERT_TRUE(quarn::testing::WriteTone(path, Container::Wav, 2.0, kRate, 1, 440.0, 0.5));
  ASSERT_TRUE(stream_->Open(path, nullptr));
  ASSERT_TRUE(stream_->SetVolume(-2000));
  EXPECT_EQ(stream_->GetVolume(), -2000);
  ASSERT_TRUE(stream_->Run());
  std::vector<float> heard = Play(0.3);
  EXPECT_NEAR(Peak(heard, 4800, heard.size()), 0.05f, 0.003f) << "-20 dB";
  EXPECT_FALSE(stream_->SetVolume(100));
  EXPECT_FALSE(stream_->SetVolume(-10001));
  EXPECT_EQ(stream_->GetVolume(), -2000);
}

TEST_F(LoopbackStreamTest, NewestFrameDueAtTheClockOfTheSound) {
  const std::string path = folder_.File("movie.avi");
  ASSERT_TRUE(quarn::testing::WriteMovie(path, Container::Avi, 32, 24, 10, 20, kRate));
  ASSERT_TRUE(stream_->Open(path, nullptr));
  EXPECT_TRUE(stream_->HasVideo());
  EXPECT_EQ(stream_->Width(), 32);
  VideoFrame frame;
  EXPECT_FALSE(stream_->FetchFrame(&frame)) << "nothing is shown while stopped";
  ASSERT_TRUE(stream_->Run());
  ASSERT_TRUE(stream_->FetchFrame(&frame));
  EXPECT_EQ(frame.number, 0u);
  Play(0.35);
  ASSERT_TRUE(stream_->FetchFrame(&frame));
  EXPECT_EQ(frame.number, 3u);
  EXPECT_TRUE(Near(frame.pixels[0], FrameColour(3), 12));
  Play(0.1);
  ASSERT_TRUE(stream_->FetchFrame(&frame));
  EXPECT_EQ(frame.number, 4u);
  ASSERT_TRUE(stream_->FetchFrame(&frame));
  EXPECT_EQ(frame.number, 4u) << "the same frame until the next is due";
  Play(1.7);
  EXPECT_TRUE(stream_->EndOfStreamEvent().IsSet());
  ASSERT_TRUE(stream_->FetchFrame(&frame));
  EXPECT_EQ(frame.number, 19u) << "the last frame stays until the stream stops";
  ASSERT_TRUE(stream_->Stop());
  EXPECT_FALSE(stream_->FetchFrame(&frame));
}

TEST_F(LoopbackStreamTest, FilesThatCannotPlayAreRefused) {
  std::string error;
  EXPECT_FALSE(stream_->Open(folder_.File("missing.ogg"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(stream_->IsOpen());
  EXPECT_FALSE(stream_->Run());
  const std::string text = folder_.File("text.ogg");
  FILE* file = std::fopen(text.c_str(), "wb");
  std::fputs("this is not music at all, but it is long enough to be looked at", file);
  std::fclose(file);
  EXPECT_FALSE(stream_->Open(text, &error));
  // A movie without sound cannot be music.
  const std::string silentMovie = folder_.File("silent.avi");
  ASSERT_TRUE(quarn::testing::WriteMovie(silentMovie, Container::Avi, 16, 16, 10, 5, 0));
  stream_->EnableVideo(false);
  EXPECT_FALSE(stream_->Open(silentMovie, &error));
  stream_->EnableVideo(true);
  EXPECT_TRUE(stream_->Open(silentMovie, &error)) << error;
  EXPECT_FALSE(stream_->HasAudio());
}

TEST(SilentStreamTest, MovieWithoutSoundKeepsTimeByTheDeviceClock) {
  TempFolder folder;
  const std::string path = folder.File("silent.ogv");
  ASSERT_TRUE(quarn::testing::WriteMovie(path, Container::Ogg, 32, 32, 10, 10, 0));
  FakeClock clock(1000);
  auto device = AudioDevice::OpenSilent(&clock);
  MediaStream stream(device.get());
  ASSERT_TRUE(stream.Open(path, nullptr));
  ASSERT_TRUE(stream.Run());
  clock.Advance(450);
  VideoFrame frame;
  ASSERT_TRUE(stream.FetchFrame(&frame));
  EXPECT_EQ(frame.number, 4u);
  EXPECT_NEAR(stream.Position(), 0.45, 1e-9);
  ASSERT_TRUE(stream.Stop());
  clock.Advance(1000);
  EXPECT_NEAR(stream.Position(), 0.45, 1e-9) << "a stopped stream's clock stands";
  ASSERT_TRUE(stream.Run());
  clock.Advance(540);
  stream.Update();
  EXPECT_FALSE(stream.EndOfStreamEvent().IsSet());
  clock.Advance(20);
  stream.Update();
  EXPECT_TRUE(stream.EndOfStreamEvent().IsSet());
}

TEST(SilentStreamTest, MusicOnASilentDeviceEndsOnTime) {
  TempFolder folder;
  const std::string path = folder.File("tone.ogg");
  ASSERT_TRUE(quarn::testing::WriteTone(path, Container::Ogg, 1.0, 44100));
  FakeClock clock(1000);
  auto device = AudioDevice::OpenSilent(&clock);
  MediaStream stream(device.get());
  ASSERT_TRUE(stream.Open(path, nullptr));
  ASSERT_TRUE(stream.Run());
  // Game frames of 33 ms: the stream is fed on every question asked.
  int frames = 0;
  while (!stream.EndOfStreamEvent().IsSet() && frames < 100) {
    clock.Advance(33);
    stream.GetState();
    ++frames;
  }
  EXPECT_EQ(frames, 31) << "ends in the frame that passes one second";
}

TEST(OutputStreamTest, StreamOnASoundCardPlaysByItself) {
  TempFolder folder;
  const std::string path = folder.File("short.ogg");
  ASSERT_TRUE(quarn::testing::WriteTone(path, Container::Ogg, 0.3));
  std::string error;
  auto device = AudioDevice::OpenOutput(&error);
  ASSERT_NE(device, nullptr) << error;
  MediaStream stream(device.get());
  ASSERT_TRUE(stream.Open(path, &error)) << error;
  ASSERT_TRUE(stream.Run());
  // Nobody asks the stream anything: its own thread feeds it to the end.
  EXPECT_TRUE(stream.EndOfStreamEvent().Wait(5000));
  EXPECT_GT(stream.Position(), 0.25);
}

}  // namespace
}  // namespace quarn::platform
