#include "platform/OpenAlBuffer.h"

#include "platform/OpenAlContext.h"

namespace quarn::platform {

OpenAlBuffer::Name::~Name() {
  auto lock = context->Lock();
  alDeleteBuffers(1, &id);
}

std::unique_ptr<OpenAlBuffer> OpenAlBuffer::Create(const std::shared_ptr<OpenAlContext>& context,
                                                   const AudioFormat& format, const void* data,
                                                   uint32_t frames) {
  if (!format.IsValid() || data == nullptr || frames == 0)
    return nullptr;
  auto lock = context->Lock();
  alGetError();
  ALuint id = 0;
  alGenBuffers(1, &id);
  if (alGetError() != AL_NO_ERROR)
    return nullptr;
  if (!OpenAlContext::Upload(id, format, data, frames)) {
    alDeleteBuffers(1, &id);
    return nullptr;
  }
  lock.unlock();
  return std::unique_ptr<OpenAlBuffer>(
      new OpenAlBuffer(std::make_shared<Name>(context, id), format, frames));
}

}  // namespace quarn::platform
