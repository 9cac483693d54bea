#pragma once
// An audio device that outputs nothing but keeps time like a real one: voices play, loop,
// pause and finish as their positions advance with the device's clock.
#include <memory>

#include "platform/AudioDevice.h"

namespace quarn::platform {

class SilentAudioDevice final : public AudioDevice {
 public:
  // clock null: the system clock. The clock must outlive the device and may be read from any
  // thread.
  explicit SilentAudioDevice(Clock* clock);

  Kind GetKind() const override { return Kind::Silent; }
  double Now() override;
  std::unique_ptr<AudioBuffer> CreateBuffer(const AudioFormat& format, const void* data,
                                            uint32_t frames) override;
  std::unique_ptr<AudioVoice> CreateVoice(const AudioBuffer& buffer) override;
  std::unique_ptr<AudioStreamVoice> CreateStreamVoice(const AudioFormat& format) override;
  int OutputChannels() const override { return 2; }
  int OutputRate() const override { return 48000; }

  // Seconds on clock. Voices keep time by the clock itself, so they work on even if they
  // outlive the device.
  static double Seconds(Clock* clock);

 private:
  Clock* clock_;
};

}  // namespace quarn::platform
