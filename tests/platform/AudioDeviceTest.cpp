// The audio device heard through OpenAL Soft's loopback device, which mixes into memory.
#include "platform/AudioDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/Clock.h"

namespace quarn::platform {
namespace {

constexpr int kRate = 48000;

// A stereo loopback device and helpers to render and measure its output.
class LoopbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    device_ = AudioDevice::OpenLoopback(kRate, 2, &error);
    ASSERT_NE(device_, nullptr) << error;
  }

  // Renders frames and returns the left channel.
  std::vector<float> Left(uint32_t frames) {
    std::vector<float> mix(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(device_->Render(mix.data(), frames));
    std::vector<float> left(frames);
    for (uint32_t i = 0; i < frames; ++i)
      left[i] = mix[i * 2];
    return left;
  }

  // The level once a change of gain has settled (the mixer ramps gains over a mixing step).
  float Settled(uint32_t frames = 4800) { return std::fabs(Left(frames).back()); }

  static float Peak(const std::vector<float>& samples, size_t from = 0) {
    float peak = 0.0f;
    for (size_t i = from; i < samples.size(); ++i)
      peak = std::max(peak, std::fabs(samples[i]));
    return peak;
  }

  // A mono 16-bit buffer of a constant value.
  std::unique_ptr<AudioBuffer> Constant(int16_t value, uint32_t frames) {
    std::vector<int16_t> samples(frames, value);
    return device_->CreateBuffer({SampleType::S16, 1, kRate}, samples.data(), frames);
  }

  // A mono float sine of the given frequency at rate.
  std::unique_ptr<AudioBuffer> Sine(double hertz, uint32_t frames, int rate = kRate) {
    std::vector<float> samples(frames);
    for (uint32_t i = 0; i < frames; ++i) {
      samples[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * hertz * i / rate));
    }
    return device_->CreateBuffer({SampleType::F32, 1, rate}, samples.data(), frames);
  }

  std::unique_ptr<AudioDevice> device_;
};

// Sign changes per second: twice the frequency of a sine.
double ZeroCrossingRate(const std::vector<float>& samples, size_t from) {
  int crossings = 0;
  for (size_t i = from + 1; i < samples.size(); ++i) {
    if ((samples[i - 1] < 0.0f) != (samples[i] < 0.0f))
      ++crossings;
  }
  return crossings * static_cast<double>(kRate) / static_cast<double>(samples.size() - from);
}

TEST_F(LoopbackTest, VolumeInHundredthsOfADecibelScalesTheAmplitude) {
  auto buffer = Constant(16384, kRate);
  auto voice = device_->CreateVoice(*buffer);
  ASSERT_NE(voice, nullptr);
  ASSERT_TRUE(voice->Play(true));
  EXPECT_NEAR(Settled(), 0.5f, 1e-4f) << "a mono sound reaches a speaker whole";

  ASSERT_TRUE(voice->SetVolume(-5000));
  EXPECT_EQ(voice->GetVolume(), -5000);
  EXPECT_NEAR(Settled(), 0.5f * std::pow(10.0f, -2.5f), 1e-6f) << "-50 dB";
  ASSERT_TRUE(voice->SetVolume(-600));
  EXPECT_NEAR(Settled(), 0.5f * std::pow(10.0f, -0.3f), 1e-4f) << "-6 dB";
  ASSERT_TRUE(voice->SetVolume(kSilentVolume));
  EXPECT_EQ(Settled(), 0.0f);

  EXPECT_FALSE(voice->SetVolume(1)) << "louder than full is refused";
  EXPECT_FALSE(voice->SetVolume(-10001));
  EXPECT_EQ(voice->GetVolume(), kSilentVolume);
}

TEST_F(LoopbackTest, StereoBufferKeepsItsChannelsApart) {
  std::vector<int16_t> samples;
  for (int i = 0; i < 4800; ++i) {
    samples.push_back(8192);
    samples.push_back(-16384);
  }
  auto buffer = device_->CreateBuffer({SampleType::S16, 2, kRate}, samples.data(), 4800);
  auto voice = device_->CreateVoice(*buffer);
  ASSERT_TRUE(voice->Play(true));
  std::vector<float> mix(2 * 2400);
  ASSERT_TRUE(device_->Render(mix.data(), 2400));
  EXPECT_NEAR(mix[2000], 0.25f, 1e-4f);
  EXPECT_NEAR(mix[2001], -0.5f, 1e-4f);
}

TEST_F(LoopbackTest, FrequencyScaleRaisesThePitchAndTheSpeed) {
  auto buffer = Sine(1000.0, kRate);
  auto voice = device_->CreateVoice(*buffer);
  ASSERT_EQ(voice->GetFrequency(), 48000u);
  ASSERT_TRUE(voice->Play(true));
  EXPECT_NEAR(ZeroCrossingRate(Left(9600), 100), 2000.0, 20.0);
  ASSERT_TRUE(voice->SetFrequency(96000));
  const uint32_t before = voice->GetPosition();
  EXPECT_NEAR(ZeroCrossingRate(Left(9600), 100), 4000.0, 40.0) << "twice the pitch";
  EXPECT_EQ((voice->GetPosition() + kRate - before) % kRate, 19200u) << "and twice the speed";
  ASSERT_TRUE(voice->SetFrequency(0));
  EXPECT_EQ(voice->GetFrequency(), 48000u) << "0 means the buffer's own rate";
  EXPECT_FALSE(voice->SetFrequency(99));
  EXPECT_FALSE(voice->SetFrequency(200001));
  EXPECT_EQ(voice->GetFrequency(), 48000u);
}

TEST_F(LoopbackTest, StopKeepsThePositionAndPlayResumesFromIt) {
  // A rising ramp: each sample tells where in the buffer it came from.
  std::vector<float> ramp(kRate);
  for (int i = 0; i < kRate; ++i)
    ramp[i] = static_cast<float>(i) / kRate;
  auto buffer = device_->CreateBuffer({SampleType::F32, 1, kRate}, ramp.data(), kRate);
  auto voice = device_->CreateVoice(*buffer);
  ASSERT_TRUE(voice->Play(false));
  Left(4800);
  ASSERT_TRUE(voice->Stop());
  EXPECT_FALSE(voice->IsPlaying());
  EXPECT_EQ(voice->GetPosition(), 4800u);
  EXPECT_EQ(Peak(Left(4800)), 0.0f) << "a stopped voice is silent";
  EXPECT_EQ(voice->GetPosition(), 4800u);
  ASSERT_TRUE(voice->Play(false));
  const std::vector<float> resumed = Left(100);
  EXPECT_NEAR(resumed[50], (4800.0f + 50.0f) / kRate, 1e-4f);

  // Play on a playing voice keeps its place.
  ASSERT_TRUE(voice->Play(false));
  EXPECT_EQ(voice->GetPosition(), 4900u);

  // Restarting is a position of 0, then Play.
  ASSERT_TRUE(voice->Stop());
  ASSERT_TRUE(voice->SetPosition(0));
  ASSERT_TRUE(voice->Play(false));
  EXPECT_NEAR(Left(100)[50], 50.0f / kRate, 1e-4f);
  EXPECT_FALSE(voice->SetPosition(kRate)) << "past the end";
}

TEST_F(LoopbackTest, OneShotEndsAtTheStartWhileALoopGoesRound) {
  auto buffer = Constant(8192, 4800);
  auto once = device_->CreateVoice(*buffer);
  auto looped = device_->CreateVoice(*buffer);
  ASSERT_TRUE(once->Play(false));
  ASSERT_TRUE(looped->Play(true));
  EXPECT_TRUE(looped->IsLooping());
  EXPECT_FALSE(once->IsLooping());
  Left(6000);
  EXPECT_FALSE(once->IsPlaying());
  EXPECT_EQ(once->GetPosition(), 0u);
  EXPECT_TRUE(looped->IsPlaying());
  EXPECT_EQ(looped->GetPosition(), 1200u);
  ASSERT_TRUE(once->Play(false));
  EXPECT_TRUE(once->IsPlaying()) << "a finished voice plays again from the start";
}

TEST_F(LoopbackTest, TwoHundredVoicesShareOneBufferAndSum) {
  auto buffer = Constant(64, kRate);
  const float single = 64.0f / 32768.0f;
  std::vector<std::unique_ptr<AudioVoice>> voices;
  for (int i = 0; i < 200; ++i) {
    voices.push_back(device_->CreateVoice(*buffer));
    ASSERT_NE(voices.back(), nullptr) << "voice " << i;
  }
  // The buffer's owner lets go: the voices keep the samples alive.
  buffer.reset();
  for (auto& voice : voices)
    ASSERT_TRUE(voice->Play(false));
  const std::vector<float> all = Left(2400);
  EXPECT_NEAR(Peak(all), 200.0f * single, 1e-4f);
  EXPECT_NEAR(all[1], 200.0f * single, 1e-4f) << "all started together";
  for (int i = 0; i < 100; ++i)
    ASSERT_TRUE(voices[i]->Stop());
  EXPECT_NEAR(Settled(2400), 100.0f * single, 1e-4f);
  for (int i = 100; i < 150; ++i)
    ASSERT_TRUE(voices[i]->SetVolume(kSilentVolume));
  EXPECT_NEAR(Settled(), 50.0f * single, 1e-4f);
}

TEST_F(LoopbackTest, EverySampleTypePlaysAtTheSameLevel) {
  const uint8_t u8[4] = {192, 192, 192, 192};
  const int16_t s16[4] = {16384, 16384, 16384, 16384};
  const float f32[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  const void* data[3] = {u8, s16, f32};
  const SampleType types[3] = {SampleType::U8, SampleType::S16, SampleType::F32};
  for (int i = 0; i < 3; ++i) {
    auto buffer = device_->CreateBuffer({types[i], 1, kRate}, data[i], 4);
    ASSERT_NE(buffer, nullptr);
    auto voice = device_->CreateVoice(*buffer);
    ASSERT_TRUE(voice->Play(true));
    EXPECT_NEAR(Settled(2400), 0.5f, 1e-3f) << "type " << i;
  }
}

TEST_F(LoopbackTest, UnusableBuffersAndForeignBuffersAreRefused) {
  const int16_t samples[2] = {0, 0};
  EXPECT_EQ(device_->CreateBuffer({SampleType::S16, 3, kRate}, samples, 1), nullptr);
  EXPECT_EQ(device_->CreateBuffer({SampleType::S16, 1, 0}, samples, 1), nullptr);
  EXPECT_EQ(device_->CreateBuffer({SampleType::S16, 1, kRate}, samples, 0), nullptr);
  EXPECT_EQ(device_->CreateBuffer({SampleType::S16, 1, kRate}, nullptr, 2), nullptr);
  auto silent = AudioDevice::OpenSilent(nullptr);
  auto foreign = silent->CreateBuffer({SampleType::S16, 1, kRate}, samples, 2);
  EXPECT_EQ(device_->CreateVoice(*foreign), nullptr);
}

TEST_F(LoopbackTest, StreamVoicePlaysItsQueueInOrderAndStopsWhenDry) {
  auto stream = device_->CreateStreamVoice({SampleType::S16, 1, kRate});
  ASSERT_NE(stream, nullptr);
  EXPECT_FALSE(stream->Play()) << "nothing queued";
  std::vector<int16_t> first(4800, 8192), second(4800, -8192);
  ASSERT_TRUE(stream->Queue(first.data(), 4800));
  ASSERT_TRUE(stream->Queue(second.data(), 4800));
  EXPECT_EQ(stream->PendingFrames(), 9600u);
  ASSERT_TRUE(stream->Play());
  std::vector<float> heard = Left(7200);
  EXPECT_NEAR(heard[2000], 0.25f, 1e-4f);
  EXPECT_NEAR(heard[6000], -0.25f, 1e-4f);
  EXPECT_EQ(stream->PlayedFrames(), 7200u);
  EXPECT_EQ(stream->PendingFrames(), 2400u);

  ASSERT_TRUE(stream->Pause());
  EXPECT_EQ(Peak(Left(2400)), 0.0f);
  EXPECT_EQ(stream->PlayedFrames(), 7200u);
  ASSERT_TRUE(stream->Play());
  Left(4800);
  EXPECT_FALSE(stream->IsPlaying()) << "ran dry";
  EXPECT_EQ(stream->PlayedFrames(), 9600u);
  EXPECT_EQ(stream->PendingFrames(), 0u);

  // More data after a dry spell plays on and keeps counting.
  ASSERT_TRUE(stream->Queue(first.data(), 4800));
  EXPECT_EQ(stream->PlayedFrames(), 9600u) << "new blocks wait to be played";
  ASSERT_TRUE(stream->Play());
  EXPECT_NEAR(Left(2400)[1000], 0.25f, 1e-4f);
  EXPECT_EQ(stream->PlayedFrames(), 12000u);

  ASSERT_TRUE(stream->Queue(first.data(), 4800));
  ASSERT_TRUE(stream->SetVolume(-5000));
  EXPECT_NEAR(Settled(2400), 0.25f * std::pow(10.0f, -2.5f), 1e-6f);

  stream->Reset();
  EXPECT_FALSE(stream->IsPlaying());
  EXPECT_EQ(stream->PlayedFrames(), 0u);
  EXPECT_EQ(stream->PendingFrames(), 0u);
  EXPECT_EQ(Peak(Left(2400)), 0.0f);
}

// The silent device behaves the same way, timed by a clock the test moves.
class SilentDeviceTest : public ::testing::Test {
 protected:
  FakeClock clock_{1000};
  std::unique_ptr<AudioDevice> device_ = AudioDevice::OpenSilent(&clock_);
  std::vector<int16_t> samples_ = std::vector<int16_t>(1000, 0);
};

TEST_F(SilentDeviceTest, VoicesAdvanceWithTheClock) {
  auto buffer = device_->CreateBuffer({SampleType::S16, 1, 1000}, samples_.data(), 1000);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(device_->GetKind(), AudioDevice::Kind::Silent);
  EXPECT_FALSE(device_->PlaysInRealTime());
  auto once = device_->CreateVoice(*buffer);
  auto looped = device_->CreateVoice(*buffer);
  ASSERT_TRUE(once->Play(false));
  ASSERT_TRUE(looped->Play(true));
  clock_.Advance(250);
  EXPECT_EQ(once->GetPosition(), 250u);
  ASSERT_TRUE(once->Stop());
  clock_.Advance(500);
  EXPECT_EQ(once->GetPosition(), 250u) << "stopped voices keep their place";
  ASSERT_TRUE(once->Play(false));
  ASSERT_TRUE(once->SetFrequency(2000));
  clock_.Advance(250);
  EXPECT_EQ(once->GetPosition(), 750u) << "twice the frequency, twice the speed";
  EXPECT_EQ(looped->GetPosition(), 0u) << "went round once";
  EXPECT_TRUE(looped->IsLooping());
  clock_.Advance(200);
  EXPECT_FALSE(once->IsPlaying());
  EXPECT_EQ(once->GetPosition(), 0u);
  EXPECT_TRUE(looped->IsPlaying());
  EXPECT_EQ(looped->GetPosition(), 200u);
  EXPECT_FALSE(looped->SetVolume(5));
  EXPECT_TRUE(looped->SetVolume(-5000));
  EXPECT_EQ(looped->GetVolume(), -5000);
}

TEST_F(SilentDeviceTest, StreamVoiceRunsDryAtTheEndOfItsQueue) {
  auto stream = device_->CreateStreamVoice({SampleType::S16, 1, 1000});
  ASSERT_TRUE(stream->Queue(samples_.data(), 300));
  ASSERT_TRUE(stream->Play());
  clock_.Advance(200);
  EXPECT_EQ(stream->PlayedFrames(), 200u);
  EXPECT_EQ(stream->PendingFrames(), 100u);
  ASSERT_TRUE(stream->Pause());
  clock_.Advance(200);
  EXPECT_EQ(stream->PlayedFrames(), 200u);
  ASSERT_TRUE(stream->Play());
  clock_.Advance(500);
  EXPECT_FALSE(stream->IsPlaying());
  EXPECT_EQ(stream->PlayedFrames(), 300u);
  ASSERT_TRUE(stream->Queue(samples_.data(), 100));
  ASSERT_TRUE(stream->Play());
  clock_.Advance(50);
  EXPECT_EQ(stream->PlayedFrames(), 350u);
  stream->Reset();
  EXPECT_EQ(stream->PlayedFrames(), 0u);
  EXPECT_FALSE(stream->Play());
}

TEST(AudioDeviceLifetimeTest, BuffersAndVoicesMayOutliveTheirDevice) {
  // Whatever order the owners let go in, the last one out closes the device.
  FakeClock clock(1000);
  std::string error;
  std::unique_ptr<AudioDevice> devices[2] = {AudioDevice::OpenLoopback(kRate, 2, &error),
                                             AudioDevice::OpenSilent(&clock)};
  for (auto& device : devices) {
    ASSERT_NE(device, nullptr) << error;
    const int16_t samples[4] = {1, 2, 3, 4};
    auto buffer = device->CreateBuffer({SampleType::S16, 1, 1000}, samples, 4);
    auto voice = device->CreateVoice(*buffer);
    auto stream = device->CreateStreamVoice({SampleType::S16, 1, 1000});
    ASSERT_TRUE(voice->Play(true));
    device.reset();
    EXPECT_TRUE(voice->IsPlaying());
    EXPECT_TRUE(stream->Queue(samples, 4));
    buffer.reset();
    EXPECT_TRUE(voice->Stop());
    voice.reset();
    stream.reset();
  }
}

TEST(AudioDeviceTest, OutputDeviceOpensOnTheNullDriver) {
  // The tests run OpenAL Soft on its null driver, which plays in real time into nothing.
  std::string error;
  auto device = AudioDevice::OpenOutput(&error);
  ASSERT_NE(device, nullptr) << error;
  EXPECT_TRUE(device->PlaysInRealTime());
  float sample = 0.0f;
  EXPECT_FALSE(device->Render(&sample, 1)) << "only a loopback device renders on request";
}

}  // namespace
}  // namespace quarn::platform
