#pragma once
// Reads little-endian fields from a file held in memory. Every read is checked against the
// end; a read past it yields zeros and marks the reader as overrun, so a header parser can
// read all its fields and test Ok() once.
#include <cstddef>
#include <cstdint>
#include <span>

namespace quarn::gfx {

class ImageByteReader {
 public:
  explicit ImageByteReader(std::span<const uint8_t> bytes, size_t offset = 0)
      : bytes_(bytes), offset_(offset) {
    if (offset_ > bytes_.size())
      Overrun();
  }

  uint8_t U8() { return static_cast<uint8_t>(Read(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Read(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Read(4)); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  void Skip(size_t count) {
    if (count > Remaining())
      return Overrun();
    offset_ += count;
  }
  // The next count bytes (empty and overrun when fewer are left).
  std::span<const uint8_t> Take(size_t count) {
    if (count > Remaining()) {
      Overrun();
      return {};
    }
    const auto part = bytes_.subspan(offset_, count);
    offset_ += count;
    return part;
  }

  bool Ok() const { return ok_; }
  size_t Offset() const { return offset_; }
  size_t Remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }

 private:
  uint64_t Read(size_t count) {
    if (count > Remaining()) {
      Overrun();
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i)
      value |= uint64_t{bytes_[offset_ + i]} << (8 * i);
    offset_ += count;
    return value;
  }
  void Overrun() {
    ok_ = false;
    offset_ = bytes_.size();
  }

  std::span<const uint8_t> bytes_;
  size_t offset_;
  bool ok_ = true;
};

}  // namespace quarn::gfx
