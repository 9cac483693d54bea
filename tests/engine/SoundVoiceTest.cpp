// Sound effects heard through a loopback device: the sound device service, wave sounds and
// the voices that play them.
#include "engine/SoundVoice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "ArchiveFixture.h"
#include "TestMedia.h"
#include "engine/Archive.h"
#include "engine/LoopbackSound.h"
#include "engine/ResourceCache.h"
#include "engine/SoundDevice.h"
#include "engine/WaveSound.h"
#include "platform/Clock.h"
#include "platform/Diagnostics.h"

namespace quarn {
namespace {

constexpr int kRate = 48000;

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sound_ = quarn::testing::CreateLoopbackSound(kRate, &loopback_);
    ASSERT_NE(sound_, nullptr);
    ASSERT_NE(loopback_, nullptr);
  }
  std::string Wave(const std::string& name, const std::vector<int16_t>& samples) {
    const std::string path = folder_.File(name);
    EXPECT_TRUE(quarn::testing::WriteWaveFile(path, samples, kRate));
    return path;
  }

  std::vector<float> Left(uint32_t frames) {
    std::vector<float> mix(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(loopback_->Render(mix.data(), frames));
    std::vector<float> left(frames);
    for (uint32_t i = 0; i < frames; ++i)
      left[i] = mix[i * 2];
    return left;
  }
  // The level once a change of gain has settled.
  float Settled() { return std::fabs(Left(4800).back()); }

  quarn::testing::TempFolder folder_;
  std::unique_ptr<SoundDevice> sound_;
  platform::AudioDevice* loopback_ = nullptr;
};

TEST_F(SoundTest, VolumeIsAGainMappedOntoDecibels) {
  WaveSound wave;
  ASSERT_TRUE(wave.Load(Wave("level.wav", std::vector<int16_t>(kRate, 16384))));
  SoundVoice voice;
  ASSERT_TRUE(voice.Create(&wave));
  ASSERT_TRUE(voice.Play(true, true));
  ASSERT_TRUE(voice.SetVolume(1.0f));
  EXPECT_NEAR(Settled(), 0.5f, 1e-4f);
  ASSERT_TRUE(voice.SetVolume(0.5f));  // -5000: -50 dB
  EXPECT_NEAR(Settled(), 0.5f * std::pow(10.0f, -2.5f), 1e-6f);
  float gain = 0.0f;
  ASSERT_TRUE(voice.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 0.5f);
  ASSERT_TRUE(voice.SetVolume(0.0f));  // -10000: silence
  EXPECT_EQ(Settled(), 0.0f);
  ASSERT_TRUE(voice.SetVolume(0.75f));
  EXPECT_NEAR(Settled(), 0.5f * std::pow(10.0f, -1.25f), 1e-5f);
  ASSERT_TRUE(voice.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 0.75f);
  // A gain the scale does not reach is refused and changes nothing.
  EXPECT_FALSE(voice.SetVolume(1.5f));
  EXPECT_FALSE(voice.SetVolume(-0.1f));
  EXPECT_FALSE(voice.SetVolume(std::nanf("")));
  ASSERT_TRUE(voice.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 0.75f);
}

TEST_F(SoundTest, FrequencyScaleOfTwoDoublesThePitch) {
  std::vector<int16_t> sine(kRate);
  for (int i = 0; i < kRate; ++i) {
    sine[i] = static_cast<int16_t>(16000 * std::sin(2.0 * std::numbers::pi * 500.0 * i / kRate));
  }
  WaveSound wave;
  ASSERT_TRUE(wave.Load(Wave("sine.wav", sine)));
  SoundVoice voice;
  ASSERT_TRUE(voice.Create(&wave));
  ASSERT_TRUE(voice.Play(true, true));
  auto crossingsPerSecond = [this] {
    const std::vector<float> heard = Left(kRate / 4);
    int crossings = 0;
    for (size_t i = 1; i < heard.size(); ++i) {
      if ((heard[i - 1] < 0.0f) != (heard[i] < 0.0f))
        ++crossings;
    }
    return crossings * 4.0;
  };
  EXPECT_NEAR(crossingsPerSecond(), 1000.0, 12.0);
  ASSERT_TRUE(voice.SetFrequencyScale(2.0f));
  EXPECT_EQ(voice.GetVoice()->GetFrequency(), 96000u);
  EXPECT_NEAR(crossingsPerSecond(), 2000.0, 12.0);
  ASSERT_TRUE(voice.SetFrequencyScale(0.5f));
  EXPECT_NEAR(crossingsPerSecond(), 500.0, 12.0);
  EXPECT_FALSE(voice.SetFrequencyScale(-1.0f));
  EXPECT_FALSE(voice.SetFrequencyScale(10.0f)) << "480 kHz is beyond a buffer's range";
}

TEST_F(SoundTest, StopKeepsThePlaceAndRestartRewinds) {
  std::vector<int16_t> ramp(kRate);
  for (int i = 0; i < kRate; ++i)
    ramp[i] = static_cast<int16_t>(i / 2);
  WaveSound wave;
  ASSERT_TRUE(wave.Load(Wave("ramp.wav", ramp)));
  SoundVoice voice;
  ASSERT_TRUE(voice.Create(&wave));
  ASSERT_TRUE(voice.Play(false, true));
  Left(9600);
  ASSERT_TRUE(voice.Stop());
  EXPECT_FALSE(voice.IsPlaying());
  Left(4800);
  ASSERT_TRUE(voice.Play(false, false));
  EXPECT_NEAR(Left(10)[0], 4800.0f / 32768.0f, 1e-4f) << "resumes at frame 9600";
  ASSERT_TRUE(voice.Play(false, true));
  EXPECT_NEAR(Left(10)[0], 0.0f, 1e-4f) << "restart rewinds";
}

TEST_F(SoundTest, TwoHundredVoicesOfOneWaveMix) {
  WaveSound wave;
  ASSERT_TRUE(wave.Load(Wave("quiet.wav", std::vector<int16_t>(kRate, 100))));
  std::vector<std::unique_ptr<SoundVoice>> voices(200);
  for (auto& voice : voices) {
    voice = std::make_unique<SoundVoice>();
    ASSERT_TRUE(voice->Create(&wave));
    ASSERT_TRUE(voice->Play(false, true));
  }
  EXPECT_NEAR(Left(2400)[100], 200 * 100.0f / 32768.0f, 1e-4f);
  // Half of them at -50 dB: 100 whole plus 100 at 10^-2.5.
  for (int i = 0; i < 100; ++i)
    ASSERT_TRUE(voices[i]->SetVolume(0.5f));
  EXPECT_NEAR(Settled(), (100 + 100 * std::pow(10.0f, -2.5f)) * 100.0f / 32768.0f, 1e-4f);
  for (auto& voice : voices)
    voice->Release();
  EXPECT_EQ(Settled(), 0.0f);
}

TEST_F(SoundTest, VoicesNeedADeviceAndALoadedWave) {
  WaveSound empty;
  SoundVoice voice;
  EXPECT_FALSE(voice.Create(nullptr));
  EXPECT_FALSE(voice.Create(&empty));
  EXPECT_FALSE(voice.Play(false, false));
  EXPECT_FALSE(voice.Stop());
  EXPECT_FALSE(voice.SetVolume(1.0f));
  WaveSound wave;
  ASSERT_TRUE(wave.Load(Wave("w.wav", {1, 2, 3})));
  EXPECT_EQ(wave.GetBuffer()->Frames(), 3u);
  sound_->Release();
  EXPECT_FALSE(voice.Create(&wave)) << "no device";
  wave.Release();
  EXPECT_FALSE(wave.Load(Wave("w2.wav", {1, 2, 3}))) << "no device";
}

// Wave sounds as a scene gets them: from its resource cache, through the archive.
class SoundCacheTest : public quarn::testing::ArchiveFixture {
 protected:
  SoundCacheTest() {
    platform::ForgetReportedProblems();
    sound_.UseSilentDevice(&clock_);
    sound_.Create(nullptr, 0);
  }
  std::string WaveBytes(const std::vector<int16_t>& samples) {
    const std::string path = root_ + "/made.wav";
    EXPECT_TRUE(quarn::testing::WriteWaveFile(path, samples, kRate));
    return quarn::testing::ReadFile(path);
  }

  platform::FakeClock clock_;
  SoundDevice sound_;
  Archive archive_{tmp_};
  ResourceCache cache_{&archive_};
};

TEST_F(SoundCacheTest, CachedWaveIsLoadedOnceAndPlaysInManyVoices) {
  WriteArchive({{"Gun.wav", WaveBytes(std::vector<int16_t>(480, 1000))}});
  archive_.Open(base_);
  WaveSound* gun = cache_.GetSound("Gun.wav");
  ASSERT_NE(gun, nullptr);
  EXPECT_EQ(cache_.GetSound("Gun.wav"), gun);
  EXPECT_EQ(gun->GetBuffer()->Frames(), 480u);
  SoundVoice first, second;
  ASSERT_TRUE(first.Create(gun));
  ASSERT_TRUE(second.Create(gun));
  ASSERT_TRUE(first.Play(false, true));
  clock_.AdvanceSeconds(0.005);
  EXPECT_EQ(first.GetVoice()->GetPosition(), 240u);
  EXPECT_FALSE(second.IsPlaying()) << "each voice has its own state";
  first.Release();
  second.Release();
  cache_.ClearAll();
}

TEST_F(SoundCacheTest, BrokenOrShortWaveFilesSayWhatIsWrongInOneLine) {
  std::string cut = WaveBytes(std::vector<int16_t>(100, 1000));
  cut.resize(cut.size() - 50);  // the data chunk now runs past the end of the file
  WriteArchive({{"Broken.wav", "RIFF\x04\0\0\0WAVEjunk"}, {"Cut.wav", cut}});
  archive_.Open(base_);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cache_.GetSound("Broken.wav"), nullptr);
  EXPECT_EQ(cache_.GetSound("Broken.wav"), nullptr);
  WaveSound* short_ = cache_.GetSound("Cut.wav");
  const std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_NE(short_, nullptr);
  EXPECT_EQ(short_->GetBuffer()->Frames(), 75u) << "the frames that are there";
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = err.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(err.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 2u) << err;
  EXPECT_EQ(lines[0].rfind("quarn: Broken.wav: ", 0), 0u) << err;
  EXPECT_NE(lines[1].find("cut.wav: the sample data is cut short"), std::string::npos) << err;
  cache_.ClearAll();
}

TEST(SoundDeviceTest, WithoutASoundCardTheGameRunsSilentlyAndSaysSoOnce) {
  platform::ForgetReportedProblems();
  int opened = 0;
  SoundDevice sound([&](std::string* error) {
    ++opened;
    *error = "no card here";
    return std::unique_ptr<platform::AudioDevice>();
  });
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(sound.Create(nullptr, 0));
  ASSERT_TRUE(sound.Create(nullptr, 0));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(opened, 2);
  ASSERT_NE(sound.GetAudioDevice(), nullptr);
  EXPECT_EQ(sound.GetAudioDevice()->GetKind(), platform::AudioDevice::Kind::Silent);
  EXPECT_EQ(err, "quarn: sound device: no card here; the game runs without sound\n");
  EXPECT_EQ(SoundDevice::Instance(), &sound);
  sound.Release();
  EXPECT_EQ(sound.GetAudioDevice(), nullptr);
}

TEST(SoundDeviceTest, SilentDeviceNeverOpensASoundCardAndKeepsTheGivenTime) {
  int opened = 0;
  SoundDevice sound([&](std::string*) {
    ++opened;
    return std::unique_ptr<platform::AudioDevice>();
  });
  platform::FakeClock clock(1000);
  sound.UseSilentDevice(&clock);
  ASSERT_TRUE(sound.Create(nullptr, 0));
  EXPECT_EQ(opened, 0);
  platform::AudioDevice* device = sound.GetAudioDevice();
  ASSERT_NE(device, nullptr);
  const double start = device->Now();
  clock.Advance(1500);
  EXPECT_DOUBLE_EQ(device->Now() - start, 1.5);
}

}  // namespace
}  // namespace quarn
