#pragma once
// One playing copy of a WaveSound, sharing its samples, with its own position, volume and
// frequency. Volume is a linear gain from 1 (full) to 0 (silence) mapped onto hundredths of a
// decibel as gain x 10000 - 10000.
#include <cstdint>
#include <memory>

#include "platform/AudioVoice.h"

namespace quarn {

class WaveSound;

class SoundVoice {
 public:
  SoundVoice();
  virtual ~SoundVoice();
  SoundVoice(const SoundVoice&) = delete;
  SoundVoice& operator=(const SoundVoice&) = delete;

  // A copy of wave's buffer. False without a sound device, without a wave or when the copy
  // cannot be made. The voice must be released before the wave.
  virtual bool Create(WaveSound* wave);
  virtual void Release();
  // restart: from the start, else from where it stopped. False without a buffer.
  virtual bool Play(bool loop, bool restart);
  // Pauses at the current position.
  virtual bool Stop();

  bool SetVolume(float gain);
  bool GetVolume(float* gain) const;
  // Plays at factor times the wave's own frequency (and so at that pitch).
  bool SetFrequencyScale(float factor);

  bool IsPlaying() const;
  platform::AudioVoice* GetVoice() const { return voice_.get(); }

 private:
  std::unique_ptr<platform::AudioVoice> voice_;
  uint32_t baseFrequency_ = 0;
};

}  // namespace quarn
