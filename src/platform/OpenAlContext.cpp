#include "platform/OpenAlContext.h"

#include <AL/alext.h>

#include <cstring>
#include <vector>

namespace quarn::platform {

namespace {
ALenum StereoFormat(SampleType type) {
  switch (type) {
    case SampleType::U8:
      return AL_FORMAT_STEREO8;
    case SampleType::S16:
      return AL_FORMAT_STEREO16;
    case SampleType::F32:
      return AL_FORMAT_STEREO_FLOAT32;
  }
  return AL_NONE;
}
}  // namespace

std::mutex& OpenAlContext::LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

OpenAlContext::~OpenAlContext() {
  std::lock_guard lock(LibraryMutex());
  if (alcGetCurrentContext() == context_)
    alcMakeContextCurrent(nullptr);
  alcDestroyContext(context_);
  alcCloseDevice(device_);
}

std::unique_lock<std::mutex> OpenAlContext::Lock() const {
  std::unique_lock lock(LibraryMutex());
  if (alcGetCurrentContext() != context_)
    alcMakeContextCurrent(context_);
  return lock;
}

bool OpenAlContext::Upload(ALuint buffer, const AudioFormat& format, const void* data,
                           uint32_t frames) {
  if (!format.IsValid() || data == nullptr || frames == 0)
    return false;
  const size_t frameBytes = static_cast<size_t>(format.BytesPerFrame());
  const size_t bytes = frameBytes * frames;
  if (bytes / frameBytes != frames || bytes > 0x7FFFFFFF / 2)
    return false;
  alGetError();
  if (format.channels == 2) {
    alBufferData(buffer, StereoFormat(format.type), data, static_cast<ALsizei>(bytes), format.rate);
  } else {
    const size_t sampleBytes = static_cast<size_t>(format.BytesPerSample());
    std::vector<uint8_t> stereo(bytes * 2);
    const auto* in = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < frames; ++i) {
      std::memcpy(&stereo[i * 2 * sampleBytes], in + i * sampleBytes, sampleBytes);
      std::memcpy(&stereo[(i * 2 + 1) * sampleBytes], in + i * sampleBytes, sampleBytes);
    }
    alBufferData(buffer, StereoFormat(format.type), stereo.data(),
                 static_cast<ALsizei>(stereo.size()), format.rate);
  }
  return alGetError() == AL_NO_ERROR;
}

}  // namespace quarn::platform
