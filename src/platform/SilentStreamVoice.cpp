#include "platform/SilentStreamVoice.h"

#include <algorithm>

#include "platform/SilentAudioDevice.h"

namespace quarn::platform {

SilentStreamVoice::SilentStreamVoice(Clock* clock, const AudioFormat& format)
    : AudioStreamVoice(format), clock_(clock) {}

void SilentStreamVoice::Advance() {
  const double now = SilentAudioDevice::Seconds(clock_);
  if (playing_) {
    played_ += (now - updated_) * Format().rate;
    if (played_ >= static_cast<double>(queued_)) {
      played_ = static_cast<double>(queued_);
      playing_ = false;
    }
  }
  updated_ = now;
}

bool SilentStreamVoice::Queue(const void* data, uint32_t frames) {
  if (data == nullptr || frames == 0)
    return false;
  std::lock_guard lock(mutex_);
  Advance();
  queued_ += frames;
  return true;
}

uint64_t SilentStreamVoice::PendingFrames() {
  std::lock_guard lock(mutex_);
  Advance();
  return queued_ - WholeFramesPlayed();
}

uint64_t SilentStreamVoice::PlayedFrames() {
  std::lock_guard lock(mutex_);
  Advance();
  return WholeFramesPlayed();
}

uint64_t SilentStreamVoice::WholeFramesPlayed() const {
  // The count is a sum of clock steps: a whole frame a hair short still counts.
  return std::min(static_cast<uint64_t>(played_ + 1e-6), queued_);
}

bool SilentStreamVoice::Play() {
  std::lock_guard lock(mutex_);
  Advance();
  if (static_cast<double>(queued_) <= played_)
    return false;
  playing_ = true;
  return true;
}

bool SilentStreamVoice::Pause() {
  std::lock_guard lock(mutex_);
  Advance();
  playing_ = false;
  return true;
}

bool SilentStreamVoice::IsPlaying() {
  std::lock_guard lock(mutex_);
  Advance();
  return playing_;
}

void SilentStreamVoice::Reset() {
  std::lock_guard lock(mutex_);
  Advance();
  playing_ = false;
  queued_ = 0;
  played_ = 0.0;
}

}  // namespace quarn::platform
