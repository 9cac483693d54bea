#include "platform/OpenAlVoice.h"

#include <AL/alext.h>

#include "platform/OpenAlContext.h"

namespace quarn::platform {

std::unique_ptr<OpenAlVoice> OpenAlVoice::Create(std::shared_ptr<const OpenAlContext> context,
                                                 const OpenAlBuffer& buffer) {
  auto lock = context->Lock();
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR)
    return nullptr;
  // Plain playback: no distance model, no panning, channels straight to the speakers.
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer.SharedName()->id));
  if (alGetError() != AL_NO_ERROR) {
    alDeleteSources(1, &source);
    return nullptr;
  }
  lock.unlock();
  return std::unique_ptr<OpenAlVoice>(
      new OpenAlVoice(std::move(context), buffer.SharedName(), buffer.Frames(),
                      static_cast<uint32_t>(buffer.Format().rate), source));
}

OpenAlVoice::OpenAlVoice(std::shared_ptr<const OpenAlContext> context,
                         std::shared_ptr<OpenAlBuffer::Name> buffer, uint32_t frames, uint32_t rate,
                         ALuint source)
    : AudioVoice(rate),
      context_(std::move(context)),
      buffer_(std::move(buffer)),
      frames_(frames),
      source_(source) {}

OpenAlVoice::~OpenAlVoice() {
  auto lock = context_->Lock();
  alSourceStop(source_);
  alDeleteSources(1, &source_);
}

ALint OpenAlVoice::State() const {
  ALint state = AL_INITIAL;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  return state;
}

bool OpenAlVoice::Play(bool loop) {
  auto lock = context_->Lock();
  alGetError();
  alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  // Play on a playing source would rewind it; a playing voice keeps its place.
  if (State() != AL_PLAYING)
    alSourcePlay(source_);
  return alGetError() == AL_NO_ERROR;
}

bool OpenAlVoice::Stop() {
  auto lock = context_->Lock();
  alGetError();
  if (State() == AL_PLAYING)
    alSourcePause(source_);
  return alGetError() == AL_NO_ERROR;
}

bool OpenAlVoice::SetPosition(uint32_t frame) {
  if (frame >= frames_)
    return false;
  auto lock = context_->Lock();
  alGetError();
  // A source that is not playing or paused keeps the offset for its next start.
  alSourcei(source_, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
  return alGetError() == AL_NO_ERROR;
}

uint32_t OpenAlVoice::GetPosition() {
  auto lock = context_->Lock();
  ALint offset = 0;
  alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
  return offset > 0 ? static_cast<uint32_t>(offset) : 0;
}

bool OpenAlVoice::IsPlaying() {
  auto lock = context_->Lock();
  return State() == AL_PLAYING;
}

bool OpenAlVoice::IsLooping() {
  auto lock = context_->Lock();
  ALint looping = AL_FALSE;
  alGetSourcei(source_, AL_LOOPING, &looping);
  return State() == AL_PLAYING && looping == AL_TRUE;
}

bool OpenAlVoice::ApplyGain(float gain) {
  auto lock = context_->Lock();
  alGetError();
  alSourcef(source_, AL_GAIN, gain);
  return alGetError() == AL_NO_ERROR;
}

bool OpenAlVoice::ApplyPitch(float pitch) {
  auto lock = context_->Lock();
  alGetError();
  alSourcef(source_, AL_PITCH, pitch);
  return alGetError() == AL_NO_ERROR;
}

}  // namespace quarn::platform
