#pragma once
// A wave sound: a whole WAVE file decoded into one buffer of the sound device. Voices play
// copies of it that share its samples. Scenes get them from their resource cache.
#include <memory>
#include <string>

#include "engine/CachedResource.h"
#include "platform/AudioBuffer.h"

namespace quarn {

class WaveSound : public CachedResource {
 public:
  WaveSound();
  ~WaveSound() override;
  WaveSound(const WaveSound&) = delete;
  WaveSound& operator=(const WaveSound&) = delete;

  // Reads the file at path into a new buffer, replacing any earlier one. False without a
  // sound device or for a file that is not a usable WAVE file. Sample data cut short by the
  // end of the file plays as far as it goes and is reported once on stderr.
  bool Load(const std::string& path) override;
  void Release() override;

  // Null when nothing is loaded.
  platform::AudioBuffer* GetBuffer() const { return buffer_.get(); }

 private:
  std::unique_ptr<platform::AudioBuffer> buffer_;
};

}  // namespace quarn
