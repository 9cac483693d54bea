#pragma once
// A voice on OpenAL: one source playing a shared buffer.
#include <AL/al.h>

#include <memory>

#include "platform/AudioVoice.h"
#include "platform/OpenAlBuffer.h"

namespace quarn::platform {

class OpenAlContext;

class OpenAlVoice final : public AudioVoice {
 public:
  static std::unique_ptr<OpenAlVoice> Create(std::shared_ptr<const OpenAlContext> context,
                                             const OpenAlBuffer& buffer);
  ~OpenAlVoice() override;

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
  OpenAlVoice(std::shared_ptr<const OpenAlContext> context,
              std::shared_ptr<OpenAlBuffer::Name> buffer, uint32_t frames, uint32_t rate,
              ALuint source);
  ALint State() const;

  std::shared_ptr<const OpenAlContext> context_;
  std::shared_ptr<OpenAlBuffer::Name> buffer_;
  uint32_t frames_;
  ALuint source_;
};

}  // namespace quarn::platform
