#pragma once
// A streaming voice of a silent device: plays through its queue at the device's clock.
#include <mutex>

#include "platform/AudioStreamVoice.h"

namespace quarn::platform {

class Clock;

class SilentStreamVoice final : public AudioStreamVoice {
 public:
  SilentStreamVoice(Clock* clock, const AudioFormat& format);

  bool Queue(const void* data, uint32_t frames) override;
  uint64_t PendingFrames() override;
  uint64_t PlayedFrames() override;
  bool Play() override;
  bool Pause() override;
  bool IsPlaying() override;
  void Reset() override;

 protected:
  bool ApplyGain(float) override { return true; }

 private:
  // Brings the played count up to the clock; a voice that plays its queue dry stops.
  void Advance();
  uint64_t WholeFramesPlayed() const;

  Clock* clock_;
  std::mutex mutex_;
  bool playing_ = false;
  uint64_t queued_ = 0;  // every frame queued since the last Reset
  double played_ = 0.0;  // frames, as of updated_
  double updated_ = 0.0;
};

}  // namespace quarn::platform
