#include "engine/ArchiveReader.h"

#include <cstring>

namespace quarn {

namespace {
// Record headers are read through a small window: headers of small entries come many to a
// read, and large entries are skipped by seeking instead of reading.
constexpr size_t kWindowBytes = 16 * 1024;
constexpr int64_t kFieldBytes = 4;
}  // namespace

ArchiveReader::ArchiveReader(PlainFile* file) : file_(file), buffer_(kWindowBytes) {
  const int64_t size = file_ != nullptr ? file_->Size() : -1;
  fileSize_ = size > 0 ? size : 0;
}

bool ArchiveReader::Need(size_t count) {
  const int64_t end = position_ + static_cast<int64_t>(count);
  if (position_ >= bufferStart_ && end <= bufferStart_ + static_cast<int64_t>(bufferLength_)) {
    return true;
  }
  bufferStart_ = position_;
  bufferLength_ = 0;
  if (!file_->Seek(position_))
    return false;
  const auto left = static_cast<size_t>(fileSize_ - position_);
  bufferLength_ = file_->Read(buffer_.data(), std::min(buffer_.size(), left));
  return bufferLength_ >= count;
}

uint32_t ArchiveReader::ReadU32(int64_t at) const {
  unsigned char bytes[4];
  std::memcpy(bytes, buffer_.data() + (at - bufferStart_), sizeof bytes);
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool ArchiveReader::Fail(int64_t at, std::string problem) {
  damageOffset_ = at;
  problem_ = std::move(problem);
  return false;
}

bool ArchiveReader::Next(ArchiveRecord* record) {
  if (Damaged() || position_ >= fileSize_)
    return false;
  const int64_t start = position_;
  const int64_t left = fileSize_ - start;
  if (left < kFieldBytes)
    return Fail(start, "the name length is cut off by the end of the file");
  if (!Need(kFieldBytes))
    return Fail(start, "the record cannot be read");
  const uint32_t nameLength = ReadU32(start);
  if (nameLength > kMaxNameLength) {
    return Fail(start, "name length " + std::to_string(nameLength) + " is over " +
                           std::to_string(kMaxNameLength) + " (not an archive?)");
  }
  if (left - kFieldBytes < nameLength)
    return Fail(start, "the name runs past the end of the file");
  if (left - kFieldBytes - nameLength < kFieldBytes) {
    return Fail(start, "the data size is cut off by the end of the file");
  }
  const auto headerBytes = static_cast<size_t>(2 * kFieldBytes + nameLength);
  if (!Need(headerBytes))
    return Fail(start, "the record cannot be read");
  const uint32_t size = ReadU32(start + kFieldBytes + nameLength);
  if (size > kMaxDataSize) {
    return Fail(start, "data size " + std::to_string(size) + " is over 2 GiB");
  }
  const int64_t dataOffset = start + static_cast<int64_t>(headerBytes);
  if (static_cast<int64_t>(size) > fileSize_ - dataOffset) {
    return Fail(start, std::to_string(size) + " bytes of data run past the end of the file (" +
                           std::to_string(fileSize_ - dataOffset) + " left)");
  }
  record->name.assign(buffer_.data() + (start + kFieldBytes - bufferStart_), nameLength);
  record->size = size;
  record->offset = dataOffset;
  record->recordOffset = start;
  position_ = dataOffset + size;
  return true;
}

}  // namespace quarn
