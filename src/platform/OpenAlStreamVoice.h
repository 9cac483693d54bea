#pragma once
// A streaming voice on OpenAL: one source with a queue of buffers that are reused once played.
#include <AL/al.h>

#include <deque>
#include <memory>
#include <vector>

#include "platform/AudioStreamVoice.h"

namespace quarn::platform {

class OpenAlContext;

class OpenAlStreamVoice final : public AudioStreamVoice {
 public:
  static std::unique_ptr<OpenAlStreamVoice> Create(std::shared_ptr<const OpenAlContext> context,
                                                   const AudioFormat& format);
  ~OpenAlStreamVoice() override;

  bool Queue(const void* data, uint32_t frames) override;
  uint64_t PendingFrames() override;
  uint64_t PlayedFrames() override;
  bool Play() override;
  bool Pause() override;
  bool IsPlaying() override;
  void Reset() override;

 protected:
  bool ApplyGain(float gain) override;

 private:
  struct Block {
    ALuint buffer;
    uint32_t frames;
  };

  OpenAlStreamVoice(std::shared_ptr<const OpenAlContext> context, const AudioFormat& format,
                    ALuint source);
  ALint State() const;
  // Takes back the buffers already played. A source that ran dry counts all of its buffers
  // as played and goes back to its initial state, where new buffers wait to be played.
  void Settle();
  void Unqueue(ALint count);
  // Frames into the queue's first buffer block while playing or paused, 0 otherwise.
  uint64_t Offset();

  std::shared_ptr<const OpenAlContext> context_;
  ALuint source_;
  std::deque<Block> queued_;
  std::vector<ALuint> spare_;
  uint64_t unqueuedFrames_ = 0;
};

}  // namespace quarn::platform
