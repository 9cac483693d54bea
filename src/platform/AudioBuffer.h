#pragma once
// A block of samples held by an audio device. Any number of voices play from one buffer and
// share its memory; the samples live on until the last of those voices is gone.
#include <cstdint>

#include "platform/AudioFormat.h"

namespace quarn::platform {

class AudioBuffer {
 public:
  virtual ~AudioBuffer() = default;
  virtual const AudioFormat& Format() const = 0;
  virtual uint32_t Frames() const = 0;
};

}  // namespace quarn::platform
