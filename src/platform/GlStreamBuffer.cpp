#include "platform/GlStreamBuffer.h"

#include <cstring>

#include "platform/GlApi.h"

namespace quarn::platform {

GlStreamBuffer::GlStreamBuffer(size_t capacity) : capacity_(capacity) {}

GlStreamBuffer::~GlStreamBuffer() {
  if (name_ != 0)
    glDeleteBuffers(1, &name_);
}

bool GlStreamBuffer::Create() {
  glGenBuffers(1, &name_);
  if (name_ == 0)
    return false;
  glBindBuffer(GL_ARRAY_BUFFER, name_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
  return true;
}

void GlStreamBuffer::Orphan() {
  glBindBuffer(GL_ARRAY_BUFFER, name_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity_), nullptr, GL_STREAM_DRAW);
  head_ = 0;
  ++orphans_;
}

bool GlStreamBuffer::Reserve(size_t bytes) {
  if (bytes > kMaxCapacity)
    return false;
  if (bytes > capacity_) {
    while (capacity_ < bytes)
      capacity_ *= 2;
    Orphan();
    return true;
  }
  if (bytes > capacity_ - head_)
    Orphan();
  return true;
}

size_t GlStreamBuffer::Append(const void* data, size_t bytes, size_t alignment) {
  const size_t offset = (head_ + alignment - 1) / alignment * alignment;
  if (bytes != 0) {
    glBindBuffer(GL_ARRAY_BUFFER, name_);
    void* target = glMapBufferRange(
        GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
        GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (target != nullptr) {
      std::memcpy(target, data, bytes);
      glUnmapBuffer(GL_ARRAY_BUFFER);
    } else {
      glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset),
                      static_cast<GLsizeiptr>(bytes), data);
    }
  }
  head_ = offset + bytes;
  return offset;
}

}  // namespace quarn::platform
