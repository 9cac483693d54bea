#include "platform/AudioDevice.h"

#include "platform/OpenAlAudioDevice.h"
#include "platform/SilentAudioDevice.h"

namespace quarn::platform {

bool AudioDevice::Render(float*, uint32_t) {
  return false;
}

std::unique_ptr<AudioDevice> AudioDevice::OpenOutput(std::string* error) {
  return OpenAlAudioDevice::Open(OpenAlAudioDevice::Target::Output, 0, 0, error);
}

std::unique_ptr<AudioDevice> AudioDevice::OpenLoopback(int rate, int channels, std::string* error) {
  return OpenAlAudioDevice::Open(OpenAlAudioDevice::Target::Loopback, rate, channels, error);
}

std::unique_ptr<AudioDevice> AudioDevice::OpenSilent(Clock* clock) {
  return std::make_unique<SilentAudioDevice>(clock);
}

}  // namespace quarn::platform
