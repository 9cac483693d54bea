#pragma once
// The sound device service: opens the audio device at start-up. When no sound card can be
// opened the game runs silently on a silent device, and says so once; headless runs never
// open a sound card.
#include <functional>
#include <memory>
#include <string>

#include "engine/Service.h"
#include "platform/AudioDevice.h"
#include "platform/Message.h"

namespace quarn::platform {
class Clock;
}

namespace quarn {

class SoundDevice : public Service<SoundDevice> {
 public:
  // Opens the sound card; null (and *error says why) when there is none.
  using DeviceOpener = std::function<std::unique_ptr<platform::AudioDevice>(std::string* error)>;

  // opener empty: the default sound card (platform::AudioDevice::OpenOutput).
  explicit SoundDevice(DeviceOpener opener = {});
  virtual ~SoundDevice();

  // The second argument is not used. Always succeeds: without a sound card the device is a
  // silent one.
  virtual bool Create(platform::WindowHandle window, int unused);
  virtual void Release();

  // From now on Create makes a silent device timed by clock (null: the system clock) and
  // never opens a sound card.
  void UseSilentDevice(platform::Clock* clock);
  // Null when not created.
  platform::AudioDevice* GetAudioDevice() const { return device_.get(); }

 private:
  DeviceOpener opener_;
  bool silentOnly_ = false;
  platform::Clock* silentClock_ = nullptr;
  platform::WindowHandle window_ = nullptr;
  std::unique_ptr<platform::AudioDevice> device_;
};

}  // namespace quarn
