#pragma once
// One playing copy of an AudioBuffer: its own position, loop flag, volume and frequency.
//
// A voice that reaches the end of its buffer without looping stops and goes back to the
// start. Stop only pauses: the position stays and Play resumes from it; playing from the
// start is SetPosition(0) first.
#include <cstdint>

namespace quarn::platform {

class AudioVoice {
 public:
  static constexpr uint32_t kMinFrequency = 100;
  static constexpr uint32_t kMaxFrequency = 200000;

  virtual ~AudioVoice() = default;

  // Starts or resumes at the current position; a voice already playing keeps its position
  // and only takes the new loop flag.
  virtual bool Play(bool loop) = 0;
  virtual bool Stop() = 0;
  // In frames from the start of the buffer; false past its end.
  virtual bool SetPosition(uint32_t frame) = 0;
  virtual uint32_t GetPosition() = 0;
  virtual bool IsPlaying() = 0;
  virtual bool IsLooping() = 0;

  // Hundredths of a decibel, kSilentVolume to kFullVolume; anything else is refused.
  bool SetVolume(int32_t volume);
  int32_t GetVolume() const { return volume_; }
  // Frames per second to play at (the pitch follows), kMinFrequency to kMaxFrequency; 0 goes
  // back to the buffer's own rate; anything else is refused.
  bool SetFrequency(uint32_t frequency);
  uint32_t GetFrequency() const { return frequency_; }

 protected:
  explicit AudioVoice(uint32_t baseFrequency)
      : baseFrequency_(baseFrequency), frequency_(baseFrequency) {}
  virtual bool ApplyGain(float gain) = 0;
  virtual bool ApplyPitch(float pitch) = 0;
  uint32_t BaseFrequency() const { return baseFrequency_; }

 private:
  uint32_t baseFrequency_;
  uint32_t frequency_;
  int32_t volume_ = 0;
};

}  // namespace quarn::platform
