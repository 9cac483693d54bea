#pragma once
// An open OpenAL device with its context. Buffers and voices share it with the audio device
// that opened it, so it stays open until the last of them is gone, whatever order they go in.
#include <AL/al.h>
#include <AL/alc.h>

#include <mutex>

#include "platform/AudioFormat.h"

namespace quarn::platform {

class OpenAlContext {
 public:
  // Takes over device and context (context made on device).
  OpenAlContext(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {}
  ~OpenAlContext();
  OpenAlContext(const OpenAlContext&) = delete;
  OpenAlContext& operator=(const OpenAlContext&) = delete;

  // The library keeps one current context for the whole process, so every AL call is made
  // under one process-wide lock with this context made current.
  std::unique_lock<std::mutex> Lock() const;
  ALCdevice* Device() const { return device_; }

  // The lock every use of the library takes.
  static std::mutex& LibraryMutex();
  // Fills an AL buffer with frames of data (under Lock). Mono is stored as two equal
  // channels: voices play with direct channels, so a mono sound reaches both speakers whole.
  static bool Upload(ALuint buffer, const AudioFormat& format, const void* data, uint32_t frames);

 private:
  ALCdevice* device_;
  ALCcontext* context_;
};

}  // namespace quarn::platform
