#include "platform/SilentAudioDevice.h"

#include "platform/Clock.h"
#include "platform/SilentBuffer.h"
#include "platform/SilentStreamVoice.h"
#include "platform/SilentVoice.h"

namespace quarn::platform {

SilentAudioDevice::SilentAudioDevice(Clock* clock)
    : clock_(clock != nullptr ? clock : &Clock::System()) {}

double SilentAudioDevice::Now() {
  return Seconds(clock_);
}

double SilentAudioDevice::Seconds(Clock* clock) {
  const int64_t frequency = clock->Frequency();
  if (frequency <= 0)
    return 0.0;
  return static_cast<double>(clock->Counter()) / static_cast<double>(frequency);
}

std::unique_ptr<AudioBuffer> SilentAudioDevice::CreateBuffer(const AudioFormat& format,
                                                             const void* data, uint32_t frames) {
  if (!format.IsValid() || data == nullptr || frames == 0)
    return nullptr;
  return std::make_unique<SilentBuffer>(this, format, frames);
}

std::unique_ptr<AudioVoice> SilentAudioDevice::CreateVoice(const AudioBuffer& buffer) {
  const auto* own = dynamic_cast<const SilentBuffer*>(&buffer);
  if (own == nullptr || own->Device() != this)
    return nullptr;
  return std::make_unique<SilentVoice>(clock_, *own);
}

std::unique_ptr<AudioStreamVoice> SilentAudioDevice::CreateStreamVoice(const AudioFormat& format) {
  if (!format.IsValid())
    return nullptr;
  return std::make_unique<SilentStreamVoice>(clock_, format);
}

}  // namespace quarn::platform
