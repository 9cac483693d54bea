// Positional sound heard through a loopback device: the emitter's gain follows the distance
// between two nodes, and past the midpoint it stops and later resumes in place.
#include "render/SoundEmitter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TestMedia.h"
#include "engine/LoopbackSound.h"
#include "engine/SoundDevice.h"
#include "engine/WaveSound.h"
#include "render/Transform.h"

namespace quarn {
namespace {

constexpr int kRate = 48000;

class SoundEmitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sound_ = quarn::testing::CreateLoopbackSound(kRate, &loopback_);
    ASSERT_NE(sound_, nullptr);
    // A rising ramp over one second: each sample tells where in the sound it came from.
    std::vector<int16_t> ramp(kRate);
    for (int i = 0; i < kRate; ++i)
      ramp[i] = static_cast<int16_t>(i * 32767 / kRate);
    const std::string path = folder_.File("ramp.wav");
    ASSERT_TRUE(quarn::testing::WriteWaveFile(path, ramp, kRate));
    ASSERT_TRUE(wave_.Load(path));
    ASSERT_TRUE(emitter_.Create(&wave_));
    emitter_.SetSourceNode(&source_);
    emitter_.SetListenerNode(&listener_);
    emitter_.SetDistances(100.0f, 300.0f);
    // The listener is away from the origin: only the distance between the two counts.
    listener_.SetPosition(gfx::Vector3{{10.0f, -5.0f, 40.0f}});
  }
  void TearDown() override { emitter_.Release(); }

  // Puts the source (a root node: its position is a world position) at distance from the
  // listener, along the listener's own right axis.
  void PlaceAt(float distance) {
    source_.SetPosition(listener_.LocalToWorldPoint(gfx::Vector3{{distance, 0.0f, 0.0f}}));
    ASSERT_TRUE(emitter_.Update());
  }
  float Gain() {
    float gain = -1.0f;
    EXPECT_TRUE(emitter_.GetVolume(&gain));
    return gain;
  }
  // Renders frames; the left channel.
  std::vector<float> Hear(uint32_t frames) {
    std::vector<float> mix(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(loopback_->Render(mix.data(), frames));
    std::vector<float> left(frames);
    for (uint32_t i = 0; i < frames; ++i)
      left[i] = mix[i * 2];
    return left;
  }

  quarn::testing::TempFolder folder_;
  std::unique_ptr<SoundDevice> sound_;
  platform::AudioDevice* loopback_ = nullptr;
  WaveSound wave_;
  SoundEmitter emitter_;
  Transform source_;
  Transform listener_;
};

TEST_F(SoundEmitterTest, GainFallsLinearlyFromTheMinimumToTheMaximumDistance) {
  ASSERT_TRUE(emitter_.Play(true, true));
  PlaceAt(50.0f);
  EXPECT_FLOAT_EQ(Gain(), 1.0f);
  PlaceAt(150.0f);
  EXPECT_FLOAT_EQ(Gain(), 0.75f);
  EXPECT_TRUE(emitter_.IsPlaying());
  // 0.75 is -2500 hundredths of a decibel: 10^-1.25 of the ramp's level.
  Hear(4800);
  const float position = emitter_.GetVoice()->GetPosition() / static_cast<float>(kRate);
  EXPECT_NEAR(Hear(1)[0], position * std::pow(10.0f, -1.25f), 2e-4f);
  PlaceAt(200.0f);
  EXPECT_FLOAT_EQ(Gain(), 0.5f);
  EXPECT_TRUE(emitter_.IsPlaying()) << "the midpoint itself still plays";
  PlaceAt(350.0f);
  EXPECT_FLOAT_EQ(Gain(), 0.0f);
  EXPECT_FALSE(emitter_.IsPlaying());
}

TEST_F(SoundEmitterTest, StopsJustPastTheMidpointAndResumesWhereItStopped) {
  ASSERT_TRUE(emitter_.Play(true, true));
  PlaceAt(150.0f);
  Hear(9600);
  PlaceAt(200.01f);
  EXPECT_FALSE(emitter_.IsPlaying());
  EXPECT_TRUE(emitter_.KeepsPlaying());
  const uint32_t stoppedAt = emitter_.GetVoice()->GetPosition();
  EXPECT_EQ(stoppedAt, 9600u);
  const std::vector<float> away = Hear(4800);
  EXPECT_EQ(*std::max_element(away.begin(), away.end()), 0.0f) << "silent while away";
  PlaceAt(120.0f);
  EXPECT_TRUE(emitter_.IsPlaying());
  EXPECT_FLOAT_EQ(Gain(), 0.9f);
  EXPECT_EQ(emitter_.GetVoice()->GetPosition(), stoppedAt);
  // It plays on from the stop: 4800 frames later the ramp is at 14399, at -10 dB.
  const float expected = (14399.0f * 32767 / kRate) / 32768.0f * std::pow(10.0f, -0.5f);
  EXPECT_NEAR(Hear(4800).back(), expected, 2e-4f);
}

TEST_F(SoundEmitterTest, OnlyTheDistanceCountsNotTheListenersTurn) {
  listener_.RotateY(CombineMode::LocalAxes, 0.7f);
  listener_.RotateX(CombineMode::LocalAxes, -0.3f);
  ASSERT_TRUE(emitter_.Play(true, true));
  source_.SetPosition(listener_.LocalToWorldPoint(gfx::Vector3{{0.0f, 90.0f, 120.0f}}));
  ASSERT_TRUE(emitter_.Update());
  EXPECT_NEAR(Gain(), 0.75f, 1e-3f) << "150 away";
  source_.SetPosition(listener_.LocalToWorldPoint(gfx::Vector3{{-160.0f, 0.0f, -121.0f}}));
  ASSERT_TRUE(emitter_.Update());
  EXPECT_FALSE(emitter_.IsPlaying()) << "200.6 away: out of earshot";
}

TEST_F(SoundEmitterTest, PlayOutOfEarshotWaitsForTheNextUpdateInside) {
  PlaceAt(290.0f);
  EXPECT_FALSE(emitter_.Play(true, true)) << "too quiet to start";
  EXPECT_FALSE(emitter_.IsPlaying());
  PlaceAt(180.0f);
  EXPECT_TRUE(emitter_.IsPlaying()) << "a looping emitter starts once it is near enough";

  // A one-shot that goes out of earshot is stopped for good.
  ASSERT_TRUE(emitter_.Play(false, true));
  PlaceAt(250.0f);
  EXPECT_FALSE(emitter_.IsPlaying());
  PlaceAt(100.0f);
  EXPECT_FALSE(emitter_.IsPlaying());
  EXPECT_FLOAT_EQ(Gain(), 1.0f);

  // Stop forgets the wish to loop.
  ASSERT_TRUE(emitter_.Play(true, false));
  ASSERT_TRUE(emitter_.Stop());
  PlaceAt(100.0f);
  EXPECT_FALSE(emitter_.IsPlaying());
}

TEST_F(SoundEmitterTest, EqualDistancesAlwaysGiveFullGain) {
  emitter_.SetDistances(200.0f, 200.0f);
  ASSERT_TRUE(emitter_.Play(true, true));
  for (float distance : {0.0f, 199.0f, 250.0f, 10000.0f}) {
    PlaceAt(distance);
    EXPECT_FLOAT_EQ(Gain(), 1.0f) << distance;
    EXPECT_TRUE(emitter_.IsPlaying());
  }
}

TEST_F(SoundEmitterTest, WithoutNodesOrVoiceNothingChanges) {
  SoundEmitter alone;
  EXPECT_FALSE(alone.Update()) << "no voice";
  EXPECT_FALSE(alone.Play(true, true));
  ASSERT_TRUE(alone.Create(&wave_));
  ASSERT_TRUE(alone.SetVolume(0.8f));
  EXPECT_TRUE(alone.Update()) << "no nodes: nothing to do";
  alone.SetSourceNode(&source_);
  EXPECT_TRUE(alone.Update());
  float gain = 0.0f;
  ASSERT_TRUE(alone.GetVolume(&gain));
  EXPECT_FLOAT_EQ(gain, 0.8f);
}

}  // namespace
}  // namespace quarn
