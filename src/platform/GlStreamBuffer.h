#pragma once
// The one dynamic buffer that vertices and indices drawn from memory stream through: a ring
// written without waiting for the GPU; when a draw does not fit in what is left, the storage
// is orphaned (the GPU keeps the old one for pending draws) and writing starts again at 0.
#include <cstddef>
#include <cstdint>

namespace quarn::platform {

class GlStreamBuffer {
 public:
  explicit GlStreamBuffer(size_t capacity);
  ~GlStreamBuffer();
  GlStreamBuffer(const GlStreamBuffer&) = delete;
  GlStreamBuffer& operator=(const GlStreamBuffer&) = delete;

  bool Create();
  unsigned Name() const { return name_; }
  size_t Capacity() const { return capacity_; }
  // Times the storage was orphaned (the ring wrapped).
  uint64_t Orphans() const { return orphans_; }

  // Makes sure bytes (with room for aligning each part) fit after the write position without
  // wrapping, orphaning or growing the storage as needed. False when more than kMaxCapacity
  // is asked for.
  bool Reserve(size_t bytes);
  // Copies data to the next offset that is a multiple of alignment and returns that offset.
  // Everything appended since Reserve must fit in what it reserved.
  size_t Append(const void* data, size_t bytes, size_t alignment);

  static constexpr size_t kMaxCapacity = size_t{256} << 20;

 private:
  void Orphan();

  size_t capacity_;
  size_t head_ = 0;
  unsigned name_ = 0;
  uint64_t orphans_ = 0;
};

}  // namespace quarn::platform
