#pragma once
// The audio device on OpenAL Soft: a sound card, or a loopback device that mixes into memory.
#include <AL/al.h>
#include <AL/alc.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/AudioDevice.h"

namespace quarn::platform {

class OpenAlAudioDevice final : public AudioDevice {
 public:
  enum class Target { Output, Loopback };

  // rate and channels matter for a loopback device only.
  static std::unique_ptr<OpenAlAudioDevice> Open(Target target, int rate, int channels,
                                                 std::string* error);
  ~OpenAlAudioDevice() override;

  Kind GetKind() const override;
  double Now() override;
  std::unique_ptr<AudioBuffer> CreateBuffer(const AudioFormat& format, const void* data,
                                            uint32_t frames) override;
  std::unique_ptr<AudioVoice> CreateVoice(const AudioBuffer& buffer) override;
  std::unique_ptr<AudioStreamVoice> CreateStreamVoice(const AudioFormat& format) override;
  bool Render(float* out, uint32_t frames) override;
  int OutputChannels() const override { return channels_; }
  int OutputRate() const override { return rate_; }

  // The library keeps one current context for the whole process, so every AL call is made
  // under one process-wide lock with this device's context made current.
  std::unique_lock<std::mutex> Lock() const;

  // Fills an AL buffer with frames of data. Mono is stored as two equal channels: voices play
  // with direct channels, so a mono sound reaches both speakers at full level.
  static bool Upload(ALuint buffer, const AudioFormat& format, const void* data, uint32_t frames);

 private:
  OpenAlAudioDevice(Target target, ALCdevice* device, ALCcontext* context, int rate, int channels);

  Target target_;
  ALCdevice* device_;
  ALCcontext* context_;
  int rate_;
  int channels_;
  std::atomic<uint64_t> renderedFrames_{0};
};

}  // namespace quarn::platform
