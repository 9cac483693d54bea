#pragma once
// Samples in an OpenAL buffer. The buffer name is shared with every voice made from it and
// deleted when the last of them lets go.
#include <AL/al.h>

#include <memory>

#include "platform/AudioBuffer.h"

namespace quarn::platform {

class OpenAlContext;

class OpenAlBuffer final : public AudioBuffer {
 public:
  // One AL buffer name, deleted on destruction.
  struct Name {
    Name(std::shared_ptr<const OpenAlContext> context, ALuint id)
        : context(std::move(context)), id(id) {}
    ~Name();
    Name(const Name&) = delete;
    Name& operator=(const Name&) = delete;
    std::shared_ptr<const OpenAlContext> context;
    ALuint id;
  };

  static std::unique_ptr<OpenAlBuffer> Create(const std::shared_ptr<OpenAlContext>& context,
                                              const AudioFormat& format, const void* data,
                                              uint32_t frames);

  const AudioFormat& Format() const override { return format_; }
  uint32_t Frames() const override { return frames_; }
  const std::shared_ptr<const OpenAlContext>& Context() const { return name_->context; }
  const std::shared_ptr<Name>& SharedName() const { return name_; }

 private:
  OpenAlBuffer(std::shared_ptr<Name> name, const AudioFormat& format, uint32_t frames)
      : name_(std::move(name)), format_(format), frames_(frames) {}

  std::shared_ptr<Name> name_;
  AudioFormat format_;
  uint32_t frames_;
};

}  // namespace quarn::platform
