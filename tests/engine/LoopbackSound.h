#pragma once
// The sound device of tests that listen: OpenAL Soft's loopback mixes into memory, the same
// way on every machine, sound card or not.
#include <memory>
#include <string>

#include "engine/SoundDevice.h"
#include "platform/AudioDevice.h"

namespace quarn::testing {

// A created sound device mixing stereo at rate; *loopback is the device to render the mix
// from. Null when it cannot be made.
inline std::unique_ptr<SoundDevice> CreateLoopbackSound(int rate,
                                                        platform::AudioDevice** loopback) {
  auto sound = std::make_unique<SoundDevice>([rate, loopback](std::string* error) {
    auto device = platform::AudioDevice::OpenLoopback(rate, 2, error);
    *loopback = device.get();
    return device;
  });
  if (!sound->Create(nullptr, 0))
    return nullptr;
  return sound;
}

}  // namespace quarn::testing
