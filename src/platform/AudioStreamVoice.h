#pragma once
// A voice fed with a queue of sample blocks (decoded music or a movie's sound track).
//
// Blocks play in the order queued. A voice that plays its queue dry stops by itself; Play
// starts it again with whatever has been queued since. The played count covers every frame
// heard since the last Reset, across pauses and dry spells.
#include <cstdint>

#include "platform/AudioFormat.h"

namespace quarn::platform {

class AudioStreamVoice {
 public:
  virtual ~AudioStreamVoice() = default;

  const AudioFormat& Format() const { return format_; }
  // Adds frames (interleaved, in Format()) to the end of the queue.
  virtual bool Queue(const void* data, uint32_t frames) = 0;
  // Frames queued and not yet played.
  virtual uint64_t PendingFrames() = 0;
  // Frames played since the last Reset.
  virtual uint64_t PlayedFrames() = 0;
  // Starts or resumes; false when nothing is queued.
  virtual bool Play() = 0;
  // Pauses at the current frame.
  virtual bool Pause() = 0;
  // True while it plays: false when paused, reset or run dry.
  virtual bool IsPlaying() = 0;
  // Stops, drops the queue and starts counting from 0 again.
  virtual void Reset() = 0;

  // Hundredths of a decibel, kSilentVolume to kFullVolume; anything else is refused.
  bool SetVolume(int32_t volume);
  int32_t GetVolume() const { return volume_; }

 protected:
  explicit AudioStreamVoice(const AudioFormat& format) : format_(format) {}
  virtual bool ApplyGain(float gain) = 0;

 private:
  AudioFormat format_;
  int32_t volume_ = 0;
};

}  // namespace quarn::platform
