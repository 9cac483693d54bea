#pragma once
// Every record of an archive, read through the game's own record reader, and the entries as
// the game sees them (lower-cased names, first record wins, unsafe names left out).
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "engine/ArchiveReader.h"
#include "engine/PlainFile.h"

namespace quarn::tools {

class ArchiveIndex {
 public:
  // False (with a message) when the file cannot be opened.
  bool Open(const std::string& path, std::ostream& err);

  const std::vector<ArchiveRecord>& Records() const { return records_; }
  // The record the game reads for this name, or null.
  const ArchiveRecord* Find(const std::string& name) const;
  // Whether the game reaches this record (index into Records()) by its name.
  bool IsReachable(size_t index) const;

  bool Damaged() const { return damaged_; }
  // Reports the damage (offset and problem) when there is any; returns Damaged().
  bool ReportDamage(std::ostream& err) const;

  // Copies a record's bytes to write(data, count) → bool; false (with a message) on failure.
  template <class Writer>
  bool Copy(const ArchiveRecord& record, Writer&& write, std::ostream& err);

 private:
  bool ReadChunk(char* buffer, size_t count, std::ostream& err);

  std::string path_;
  PlainFile file_;
  std::vector<ArchiveRecord> records_;
  std::map<std::string, size_t> byName_;  // lower-cased name → first safe record
  bool damaged_ = false;
  int64_t damageOffset_ = 0;
  std::string problem_;
};

template <class Writer>
bool ArchiveIndex::Copy(const ArchiveRecord& record, Writer&& write, std::ostream& err) {
  constexpr size_t kChunk = 1 << 20;
  std::vector<char> buffer(std::min<size_t>(record.size, kChunk));
  if (!file_.Seek(record.offset))
    return ReadChunk(nullptr, 0, err);
  for (uint32_t left = record.size; left > 0;) {
    const size_t want = std::min<size_t>(left, kChunk);
    if (!ReadChunk(buffer.data(), want, err) || !write(buffer.data(), want))
      return false;
    left -= static_cast<uint32_t>(want);
  }
  return true;
}

}  // namespace quarn::tools
