#include "platform/AudioStreamVoice.h"

namespace quarn::platform {

bool AudioStreamVoice::SetVolume(int32_t volume) {
  if (!IsValidVolume(volume))
    return false;
  if (!ApplyGain(GainFromVolume(volume)))
    return false;
  volume_ = volume;
  return true;
}

}  // namespace quarn::platform
