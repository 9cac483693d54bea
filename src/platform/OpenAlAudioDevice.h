#pragma once
// The audio device on OpenAL Soft: a sound card, or a loopback device that mixes into memory.
#include <atomic>
#include <memory>
#include <string>

#include "platform/AudioDevice.h"
#include "platform/OpenAlContext.h"

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

 private:
  OpenAlAudioDevice(Target target, std::shared_ptr<OpenAlContext> context, int rate, int channels);

  Target target_;
  std::shared_ptr<OpenAlContext> context_;
  int rate_;
  int channels_;
  std::atomic<uint64_t> renderedFrames_{0};
};

}  // namespace quarn::platform
