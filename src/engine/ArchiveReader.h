#pragma once
// Reads the records of an archive file in order: a 32-bit little-endian name length, the name,
// a 32-bit data size, the data. The game's directory scan and the acv tool both read through
// this class, so they can never disagree about what a file holds.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PlainFile.h"

namespace quarn {

struct ArchiveRecord {
  std::string name;          // raw bytes as stored, any letter case
  uint32_t size = 0;         // data bytes
  int64_t offset = 0;        // file offset of the first data byte
  int64_t recordOffset = 0;  // file offset of the record's name length
};

class ArchiveReader {
 public:
  // Names pass through a 256-byte buffer in the game.
  static constexpr uint32_t kMaxNameLength = 255;
  // Data sizes are used as signed 32-bit file moves.
  static constexpr uint32_t kMaxDataSize = 0x7FFFFFFF;

  // Scans file (open for reading, not owned) from offset 0.
  explicit ArchiveReader(PlainFile* file);
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // The next complete record; false at the end of the file or at a damaged record, which
  // ends the scan (the records before it stay valid).
  bool Next(ArchiveRecord* record);

  // True when the scan stopped at a record that is cut off or not well formed.
  bool Damaged() const { return !problem_.empty(); }
  // File offset where the damaged record begins.
  int64_t DamageOffset() const { return damageOffset_; }
  // What is wrong with that record, in words.
  const std::string& Problem() const { return problem_; }
  int64_t FileSize() const { return fileSize_; }

 private:
  // Makes count bytes at position_ available in the buffer; false when they cannot be read.
  bool Need(size_t count);
  uint32_t ReadU32(int64_t at) const;
  bool Fail(int64_t at, std::string problem);

  PlainFile* file_;
  int64_t fileSize_ = 0;
  int64_t position_ = 0;
  std::vector<char> buffer_;
  int64_t bufferStart_ = 0;
  size_t bufferLength_ = 0;
  int64_t damageOffset_ = -1;
  std::string problem_;
};

}  // namespace quarn
