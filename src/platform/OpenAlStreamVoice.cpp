#include "platform/OpenAlStreamVoice.h"

#include <AL/alext.h>

#include "platform/OpenAlContext.h"

namespace quarn::platform {

std::unique_ptr<OpenAlStreamVoice> OpenAlStreamVoice::Create(
    std::shared_ptr<const OpenAlContext> context, const AudioFormat& format) {
  if (!format.IsValid())
    return nullptr;
  auto lock = context->Lock();
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR)
    return nullptr;
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
  lock.unlock();
  return std::unique_ptr<OpenAlStreamVoice>(
      new OpenAlStreamVoice(std::move(context), format, source));
}

OpenAlStreamVoice::OpenAlStreamVoice(std::shared_ptr<const OpenAlContext> context,
                                     const AudioFormat& format, ALuint source)
    : AudioStreamVoice(format), context_(std::move(context)), source_(source) {}

OpenAlStreamVoice::~OpenAlStreamVoice() {
  auto lock = context_->Lock();
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  alDeleteSources(1, &source_);
  for (const Block& block : queued_)
    alDeleteBuffers(1, &block.buffer);
  if (!spare_.empty())
    alDeleteBuffers(static_cast<ALsizei>(spare_.size()), spare_.data());
}

ALint OpenAlStreamVoice::State() const {
  ALint state = AL_INITIAL;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  return state;
}

void OpenAlStreamVoice::Unqueue(ALint count) {
  for (ALint i = 0; i < count && !queued_.empty(); ++i) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(source_, 1, &buffer);
    unqueuedFrames_ += queued_.front().frames;
    spare_.push_back(queued_.front().buffer);
    queued_.pop_front();
  }
}

void OpenAlStreamVoice::Settle() {
  const ALint state = State();
  if (state == AL_STOPPED) {
    Unqueue(static_cast<ALint>(queued_.size()));
    alSourceRewind(source_);
  } else if (state == AL_PLAYING || state == AL_PAUSED) {
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    Unqueue(processed);
  }
}

uint64_t OpenAlStreamVoice::Offset() {
  // The mixer runs on: a source that stops between the two reads reports offset 0, so the
  // reading is taken again after settling.
  for (;;) {
    Settle();
    const ALint before = State();
    if (before != AL_PLAYING && before != AL_PAUSED)
      return 0;
    ALint offset = 0;
    alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
    if (State() != AL_STOPPED)
      return offset > 0 ? static_cast<uint64_t>(offset) : 0;
  }
}

bool OpenAlStreamVoice::Queue(const void* data, uint32_t frames) {
  auto lock = context_->Lock();
  Settle();
  alGetError();
  ALuint buffer = 0;
  if (!spare_.empty()) {
    buffer = spare_.back();
    spare_.pop_back();
  } else {
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR)
      return false;
  }
  if (!OpenAlContext::Upload(buffer, Format(), data, frames)) {
    spare_.push_back(buffer);
    return false;
  }
  alSourceQueueBuffers(source_, 1, &buffer);
  if (alGetError() != AL_NO_ERROR) {
    spare_.push_back(buffer);
    return false;
  }
  queued_.push_back(Block{buffer, frames});
  return true;
}

uint64_t OpenAlStreamVoice::PendingFrames() {
  auto lock = context_->Lock();
  const uint64_t offset = Offset();
  uint64_t total = 0;
  for (const Block& block : queued_)
    total += block.frames;
  return total > offset ? total - offset : 0;
}

uint64_t OpenAlStreamVoice::PlayedFrames() {
  auto lock = context_->Lock();
  const uint64_t offset = Offset();
  return unqueuedFrames_ + offset;
}

bool OpenAlStreamVoice::Play() {
  auto lock = context_->Lock();
  Settle();
  if (queued_.empty())
    return false;
  alGetError();
  if (State() != AL_PLAYING)
    alSourcePlay(source_);
  return alGetError() == AL_NO_ERROR;
}

bool OpenAlStreamVoice::Pause() {
  auto lock = context_->Lock();
  alGetError();
  if (State() == AL_PLAYING)
    alSourcePause(source_);
  return alGetError() == AL_NO_ERROR;
}

bool OpenAlStreamVoice::IsPlaying() {
  auto lock = context_->Lock();
  Settle();
  return State() == AL_PLAYING;
}

void OpenAlStreamVoice::Reset() {
  auto lock = context_->Lock();
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  alSourceRewind(source_);
  for (const Block& block : queued_)
    spare_.push_back(block.buffer);
  queued_.clear();
  unqueuedFrames_ = 0;
}

bool OpenAlStreamVoice::ApplyGain(float gain) {
  auto lock = context_->Lock();
  alGetError();
  alSourcef(source_, AL_GAIN, gain);
  return alGetError() == AL_NO_ERROR;
}

}  // namespace quarn::platform
