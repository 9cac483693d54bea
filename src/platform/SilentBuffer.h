#pragma once
// A buffer of a silent device: only its format and length matter, so no samples are kept.
#include "platform/AudioBuffer.h"

namespace quarn::platform {

class SilentAudioDevice;

class SilentBuffer final : public AudioBuffer {
 public:
  SilentBuffer(const SilentAudioDevice* device, const AudioFormat& format, uint32_t frames)
      : device_(device), format_(format), frames_(frames) {}

  const AudioFormat& Format() const override { return format_; }
  uint32_t Frames() const override { return frames_; }
  const SilentAudioDevice* Device() const { return device_; }

 private:
  const SilentAudioDevice* device_;
  AudioFormat format_;
  uint32_t frames_;
};

}  // namespace quarn::platform
