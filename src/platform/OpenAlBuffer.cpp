#include "platform/OpenAlBuffer.h"

#include "platform/OpenAlAudioDevice.h"

namespace quarn::platform {

OpenAlBuffer::Name::~Name() {
  auto lock = device->Lock();
  alDeleteBuffers(1, &id);
}

std::unique_ptr<OpenAlBuffer> OpenAlBuffer::Create(const OpenAlAudioDevice* device,
                                                   const AudioFormat& format, const void* data,
                                                   uint32_t frames) {
  if (!format.IsValid() || data == nullptr || frames == 0)
    return nullptr;
  auto lock = device->Lock();
  alGetError();
  ALuint id = 0;
  alGenBuffers(1, &id);
  if (alGetError() != AL_NO_ERROR)
    return nullptr;
  if (!OpenAlAudioDevice::Upload(id, format, data, frames)) {
    alDeleteBuffers(1, &id);
    return nullptr;
  }
  lock.unlock();
  return std::unique_ptr<OpenAlBuffer>(
      new OpenAlBuffer(std::make_shared<Name>(device, id), format, frames));
}

}  // namespace quarn::platform
