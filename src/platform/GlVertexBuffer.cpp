#include "platform/GlVertexBuffer.h"

#include <cstring>

#include "platform/GlApi.h"
#include "platform/GlRenderDevice.h"

namespace quarn::platform {

GlVertexBuffer::GlVertexBuffer(GlRenderDevice* device, uint32_t bytes, uint32_t fvf)
    : device_(device), data_(bytes, 0), fvf_(fvf) {}

std::unique_ptr<GlVertexBuffer> GlVertexBuffer::Create(GlRenderDevice* device, uint32_t bytes,
                                                       uint32_t fvf) {
  std::unique_ptr<GlVertexBuffer> buffer(new GlVertexBuffer(device, bytes, fvf));
  glGenBuffers(1, &buffer->name_);
  if (buffer->name_ == 0)
    return nullptr;
  glBindBuffer(GL_ARRAY_BUFFER, buffer->name_);
  glBufferData(GL_ARRAY_BUFFER, bytes, buffer->data_.data(), GL_STATIC_DRAW);
  return buffer;
}

GlVertexBuffer::~GlVertexBuffer() {
  device_->ForgetBuffer(this);
  if (name_ != 0)
    glDeleteBuffers(1, &name_);
}

bool GlVertexBuffer::Update(uint32_t offset, const void* data, uint32_t bytes) {
  if (offset > data_.size() || bytes > data_.size() - offset || (bytes != 0 && data == nullptr))
    return false;
  if (bytes == 0)
    return true;
  std::memcpy(data_.data() + offset, data, bytes);
  glBindBuffer(GL_ARRAY_BUFFER, name_);
  glBufferSubData(GL_ARRAY_BUFFER, offset, bytes, data);
  return true;
}

}  // namespace quarn::platform
