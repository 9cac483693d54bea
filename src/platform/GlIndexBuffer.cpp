#include "platform/GlIndexBuffer.h"

#include <algorithm>
#include <cstring>

#include "platform/GlApi.h"
#include "platform/GlRenderDevice.h"

namespace quarn::platform {

GlIndexBuffer::GlIndexBuffer(GlRenderDevice* device, uint32_t count)
    : device_(device), data_(count, 0) {}

std::unique_ptr<GlIndexBuffer> GlIndexBuffer::Create(GlRenderDevice* device, uint32_t count) {
  std::unique_ptr<GlIndexBuffer> buffer(new GlIndexBuffer(device, count));
  glGenBuffers(1, &buffer->name_);
  if (buffer->name_ == 0)
    return nullptr;
  // Uploads go through the array binding: the element binding belongs to the vertex array.
  glBindBuffer(GL_ARRAY_BUFFER, buffer->name_);
  glBufferData(GL_ARRAY_BUFFER, count * sizeof(uint16_t), buffer->data_.data(), GL_STATIC_DRAW);
  return buffer;
}

GlIndexBuffer::~GlIndexBuffer() {
  device_->ForgetBuffer(this);
  if (name_ != 0)
    glDeleteBuffers(1, &name_);
}

bool GlIndexBuffer::Update(uint32_t first, const uint16_t* indices, uint32_t count) {
  if (first > data_.size() || count > data_.size() - first || (count != 0 && indices == nullptr))
    return false;
  if (count == 0)
    return true;
  std::memcpy(data_.data() + first, indices, count * sizeof(uint16_t));
  maxIndex_ = *std::max_element(data_.begin(), data_.end());
  glBindBuffer(GL_ARRAY_BUFFER, name_);
  glBufferSubData(GL_ARRAY_BUFFER, first * sizeof(uint16_t), count * sizeof(uint16_t), indices);
  return true;
}

}  // namespace quarn::platform
