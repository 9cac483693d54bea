#pragma once
// One operating-system file, read or written in whole calls; closed on destruction.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quarn {

class PlainFile {
 public:
  PlainFile() = default;
  ~PlainFile();
  PlainFile(const PlainFile&) = delete;
  PlainFile& operator=(const PlainFile&) = delete;

  // The file must exist. Closes an open file first.
  bool OpenRead(const std::string& path);
  // Creates the file or empties an existing one. Closes an open file first.
  bool OpenWrite(const std::string& path);
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Bytes read: fewer than asked only at the end of the file; 0 at the end or on error.
  size_t Read(void* buffer, size_t count);
  // Bytes written; fewer than asked means the write failed (a full disk).
  size_t Write(const void* buffer, size_t count);
  // Moves by a signed distance from the current position.
  bool Skip(int64_t distance);
  bool Seek(int64_t offset);
  int64_t Tell() const;
  // True when the position is at the end of the file; the position does not move.
  bool AtEnd() const;
  int64_t Size() const;
  // Forces written data to the disk (before a file is renamed over an older one).
  bool Sync();

 private:
  int fd_ = -1;
};

}  // namespace quarn
