#include "platform/AudioVoice.h"

#include "platform/AudioFormat.h"

namespace quarn::platform {

bool AudioVoice::SetVolume(int32_t volume) {
  if (!IsValidVolume(volume))
    return false;
  if (!ApplyGain(GainFromVolume(volume)))
    return false;
  volume_ = volume;
  return true;
}

bool AudioVoice::SetFrequency(uint32_t frequency) {
  if (frequency == 0)
    frequency = baseFrequency_;
  if (frequency < kMinFrequency || frequency > kMaxFrequency)
    return false;
  if (!ApplyPitch(static_cast<float>(frequency) / static_cast<float>(baseFrequency_))) {
    return false;
  }
  frequency_ = frequency;
  return true;
}

}  // namespace quarn::platform
