#include "engine/PlainFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quarn {

PlainFile::~PlainFile() {
  Close();
}

bool PlainFile::OpenRead(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0)
    return false;
  struct stat info {};
  // A folder opens on this system but is not a file.
  if (fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
    Close();
    return false;
  }
  return true;
}

bool PlainFile::OpenWrite(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool PlainFile::Close() {
  if (fd_ < 0)
    return false;
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0;
}

size_t PlainFile::Read(void* buffer, size_t count) {
  if (fd_ < 0)
    return 0;
  size_t done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t n = ::read(fd_, bytes + done, count - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t PlainFile::Write(const void* buffer, size_t count) {
  if (fd_ < 0)
    return 0;
  size_t done = 0;
  const auto* bytes = static_cast<const char*>(buffer);
  while (done < count) {
    const ssize_t n = ::write(fd_, bytes + done, count - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool PlainFile::Skip(int64_t distance) {
  return fd_ >= 0 && ::lseek(fd_, distance, SEEK_CUR) >= 0;
}

bool PlainFile::Seek(int64_t offset) {
  return fd_ >= 0 && ::lseek(fd_, offset, SEEK_SET) >= 0;
}

int64_t PlainFile::Tell() const {
  return fd_ >= 0 ? ::lseek(fd_, 0, SEEK_CUR) : -1;
}

int64_t PlainFile::Size() const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0)
    return -1;
  return info.st_size;
}

bool PlainFile::AtEnd() const {
  const int64_t position = Tell();
  return position >= 0 && position == Size();
}

bool PlainFile::Sync() {
  return fd_ >= 0 && ::fsync(fd_) == 0;
}

}  // namespace quarn
