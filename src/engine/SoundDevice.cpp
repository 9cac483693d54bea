#include "engine/SoundDevice.h"

#include "platform/Diagnostics.h"

namespace quarn {

SoundDevice::SoundDevice(DeviceOpener opener) : opener_(std::move(opener)) {
  if (!opener_)
    opener_ = [](std::string* error) { return platform::AudioDevice::OpenOutput(error); };
}

SoundDevice::~SoundDevice() = default;

void SoundDevice::UseSilentDevice(platform::Clock* clock) {
  silentOnly_ = true;
  silentClock_ = clock;
}

bool SoundDevice::Create(platform::WindowHandle window, int) {
  Release();
  if (!silentOnly_) {
    std::string error;
    device_ = opener_(&error);
    if (device_ == nullptr) {
      platform::ReportProblem("sound device", error + "; the game runs without sound");
    }
  }
  if (device_ == nullptr)
    device_ = platform::AudioDevice::OpenSilent(silentClock_);
  window_ = window;
  return true;
}

void SoundDevice::Release() {
  device_.reset();
  window_ = nullptr;
}

}  // namespace quarn
