#pragma once
// A voice of a silent device: its position is worked out from the device's clock.
#include <mutex>

#include "platform/AudioVoice.h"

namespace quarn::platform {

class Clock;
class SilentBuffer;

class SilentVoice final : public AudioVoice {
 public:
  SilentVoice(Clock* clock, const SilentBuffer& buffer);

  bool Play(bool loop) override;
  bool Stop() override;
  bool SetPosition(uint32_t frame) override;
  uint32_t GetPosition() override;
  bool IsPlaying() override;
  bool IsLooping() override;

 protected:
  bool ApplyGain(float gain) override;
  bool ApplyPitch(float pitch) override;

 private:
  // Brings the position up to the device's clock; a voice that played past the end of a
  // buffer it does not loop stops at the start.
  void Advance();

  Clock* clock_;
  uint32_t frames_;
  uint32_t rate_;
  std::mutex mutex_;
  bool playing_ = false;
  bool looping_ = false;
  float pitch_ = 1.0f;
  double position_ = 0.0;  // frames, as of updated_
  double updated_ = 0.0;   // device time of the last Advance
};

}  // namespace quarn::platform
