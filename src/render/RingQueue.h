#pragma once
// A first-in first-out queue over one ring of storage: particles and trail points are added
// at the back and expire from the front, so neither end ever shifts the others. The ring
// grows by doubling up to a fixed limit and never shrinks, so a running effect stops
// allocating once it has reached its working size.
#include <cstddef>
#include <memory>

namespace quarn {

template <class T>
class RingQueue {
 public:
  explicit RingQueue(size_t limit) : limit_(limit) {}

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  bool Full() const { return size_ >= limit_; }
  size_t Limit() const { return limit_; }
  // How many more elements fit under the limit.
  size_t Room() const { return size_ < limit_ ? limit_ - size_ : 0; }

  // index 0 is the oldest element.
  T& operator[](size_t index) { return ring_[(head_ + index) & mask_]; }
  const T& operator[](size_t index) const { return ring_[(head_ + index) & mask_]; }
  T& Back() { return (*this)[size_ - 1]; }
  const T& Back() const { return (*this)[size_ - 1]; }

  // Appends a default element and returns it; null (nothing added) at the limit.
  T* PushBack() {
    if (size_ >= limit_)
      return nullptr;
    if (size_ == capacity_)
      Grow();
    T& slot = ring_[(head_ + size_) & mask_];
    slot = T();
    ++size_;
    return &slot;
  }
  void PopFront() {
    head_ = (head_ + 1) & mask_;
    --size_;
  }
  void Clear() {
    head_ = 0;
    size_ = 0;
  }

 private:
  void Grow() {
    const size_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
    auto ring = std::make_unique<T[]>(capacity);
    for (size_t i = 0; i < size_; ++i)
      ring[i] = (*this)[i];
    ring_ = std::move(ring);
    capacity_ = capacity;
    mask_ = capacity - 1;
    head_ = 0;
  }

  size_t limit_;
  std::unique_ptr<T[]> ring_;
  size_t capacity_ = 0;
  size_t mask_ = 0;
  size_t head_ = 0;
  size_t size_ = 0;
};

}  // namespace quarn
