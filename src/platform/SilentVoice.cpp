#include "platform/SilentVoice.h"

#include <cmath>

#include "platform/SilentAudioDevice.h"
#include "platform/SilentBuffer.h"

namespace quarn::platform {

SilentVoice::SilentVoice(Clock* clock, const SilentBuffer& buffer)
    : AudioVoice(static_cast<uint32_t>(buffer.Format().rate)),
      clock_(clock),
      frames_(buffer.Frames()),
      rate_(static_cast<uint32_t>(buffer.Format().rate)) {}

void SilentVoice::Advance() {
  const double now = SilentAudioDevice::Seconds(clock_);
  if (playing_) {
    position_ += (now - updated_) * rate_ * pitch_;
    if (position_ >= frames_) {
      if (looping_) {
        position_ = std::fmod(position_, static_cast<double>(frames_));
      } else {
        playing_ = false;
        position_ = 0.0;
      }
    }
  }
  updated_ = now;
}

bool SilentVoice::Play(bool loop) {
  std::lock_guard lock(mutex_);
  Advance();
  playing_ = true;
  looping_ = loop;
  return true;
}

bool SilentVoice::Stop() {
  std::lock_guard lock(mutex_);
  Advance();
  playing_ = false;
  return true;
}

bool SilentVoice::SetPosition(uint32_t frame) {
  if (frame >= frames_)
    return false;
  std::lock_guard lock(mutex_);
  Advance();
  position_ = frame;
  return true;
}

uint32_t SilentVoice::GetPosition() {
  std::lock_guard lock(mutex_);
  Advance();
  // The reading is a sum of clock steps: a whole frame a hair short still counts.
  return static_cast<uint32_t>(position_ + 1e-6);
}

bool SilentVoice::IsPlaying() {
  std::lock_guard lock(mutex_);
  Advance();
  return playing_;
}

bool SilentVoice::IsLooping() {
  std::lock_guard lock(mutex_);
  Advance();
  return playing_ && looping_;
}

bool SilentVoice::ApplyGain(float) {
  return true;
}

bool SilentVoice::ApplyPitch(float pitch) {
  std::lock_guard lock(mutex_);
  Advance();
  pitch_ = pitch;
  return true;
}

}  // namespace quarn::platform
