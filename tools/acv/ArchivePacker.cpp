#include "ArchivePacker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "engine/Archive.h"
#include "engine/ArchiveReader.h"
#include "engine/PlainFile.h"

namespace quarn::tools {

namespace fs = std::filesystem;

namespace {
constexpr size_t kChunk = 1 << 20;
// Offsets and sizes are signed 32-bit in the game, so the whole archive stays below 2 GiB.
constexpr uint64_t kMaxArchiveBytes = ArchiveReader::kMaxDataSize;

std::string Quoted(const std::string& name) {
  return "'" + PrintableName(name) + "'";
}

bool EndsWithTxt(const std::string& name) {
  return name.size() >= 4 && LowerCaseName(name.substr(name.size() - 4)) == ".txt";
}

// Collects output in large pieces so that thousands of small records need few writes.
class BufferedOut {
 public:
  explicit BufferedOut(int fd) : fd_(fd) { buffer_.reserve(kChunk); }
  bool Append(const void* data, size_t count) {
    if (buffer_.size() + count > kChunk && !Flush())
      return false;
    if (count >= kChunk)
      return WriteAll(data, count);
    const auto* bytes = static_cast<const char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    return true;
  }
  bool AppendU32(uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return Append(bytes, sizeof bytes);
  }
  bool Flush() {
    const bool ok = WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }

 private:
  bool WriteAll(const void* data, size_t count) {
    const auto* bytes = static_cast<const char*>(data);
    while (count > 0) {
      const ssize_t n = ::write(fd_, bytes, count);
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        return false;
      bytes += n;
      count -= static_cast<size_t>(n);
    }
    return true;
  }
  int fd_;
  std::vector<char> buffer_;
};
}  // namespace

bool ArchivePacker::AddFile(const std::string& path, std::string name) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    err_ << "acv: " << path << ": " << std::strerror(errno) << "\n";
    return false;
  }
  inputs_.push_back(Input{path, std::move(name), static_cast<uint64_t>(info.st_size),
                          static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)});
  return true;
}

bool ArchivePacker::AddPath(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error) {
    err_ << "acv: " << path << ": " << error.message() << "\n";
    return false;
  }
  if (fs::is_regular_file(status)) {
    return AddFile(path, fs::path(path).filename().string());
  }
  if (!fs::is_directory(status)) {
    err_ << "acv: " << path << ": not a file or folder\n";
    return false;
  }
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error))
      files.push_back(it->path());
  }
  if (error) {
    err_ << "acv: " << path << ": " << error.message() << "\n";
    return false;
  }
  // Directory order depends on the file system; byte-wise path order does not.
  std::sort(files.begin(), files.end(),
            [](const fs::path& a, const fs::path& b) { return a.native() < b.native(); });
  for (const fs::path& file : files) {
    if (!AddFile(file.string(), file.filename().string()))
      return false;
  }
  return true;
}

bool ArchivePacker::CheckNames() const {
  bool ok = true;
  std::map<std::string, const Input*> byLowerName;
  uint64_t total = 0;
  for (const Input& input : inputs_) {
    if (input.name.size() > ArchiveReader::kMaxNameLength) {
      err_ << "acv: " << input.path << ": the name is " << input.name.size()
           << " bytes long; entry names are at most 255 bytes\n";
      ok = false;
    } else if (input.name.find_first_of("/\\") != std::string::npos) {
      err_ << "acv: " << input.path << ": the name " << Quoted(input.name)
           << " holds '/' or '\\'; entry names are plain file names\n";
      ok = false;
    } else if (!IsSafeEntryName(input.name)) {
      err_ << "acv: " << input.path << ": the name " << Quoted(input.name)
           << " holds '..'; the game would read it as missing\n";
      ok = false;
    }
    if (input.size > ArchiveReader::kMaxDataSize) {
      err_ << "acv: " << input.path << ": " << input.size
           << " bytes is too big; an entry stays below 2 GiB\n";
      ok = false;
    }
    total += 8 + input.name.size() + input.size;
    auto [it, added] = byLowerName.emplace(LowerCaseName(input.name), &input);
    if (!added) {
      err_ << "acv: " << it->second->path << " and " << input.path
           << " have names that differ at most in letter case (" << Quoted(it->second->name) << ", "
           << Quoted(input.name) << "); the game could not tell them apart\n";
      ok = false;
    }
  }
  if (ok && total > kMaxArchiveBytes) {
    err_ << "acv: the archive would be " << total << " bytes; an archive stays below 2 GiB\n";
    ok = false;
  }
  return ok;
}

void ArchivePacker::SkipOutput(const std::string& out) {
  struct stat info {};
  if (stat(out.c_str(), &info) != 0)
    return;
  std::erase_if(inputs_, [&](const Input& input) {
    const bool same = input.device == static_cast<uint64_t>(info.st_dev) &&
                      input.inode == static_cast<uint64_t>(info.st_ino);
    if (same)
      err_ << "acv: warning: " << input.path << " is the output archive; skipped\n";
    return same;
  });
}

void ArchivePacker::CheckLineEnds(const Input& input, bool lfAlone) const {
  if (lfAlone && EndsWithTxt(input.name)) {
    err_ << "acv: warning: " << input.path
         << ": lines end in LF alone; the game splits definition files only at CR LF\n";
  }
}

bool ArchivePacker::WriteRecords(int fd, const std::string& tempPath) {
  BufferedOut out(fd);
  const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
  for (const Input& input : inputs_) {
    PlainFile file;
    if (!file.OpenRead(input.path)) {
      err_ << "acv: " << input.path << ": " << std::strerror(errno) << "\n";
      return false;
    }
    const auto size = static_cast<uint32_t>(input.size);
    if (!out.AppendU32(static_cast<uint32_t>(input.name.size())) ||
        !out.Append(input.name.data(), input.name.size()) || !out.AppendU32(size)) {
      err_ << "acv: " << tempPath << ": " << std::strerror(errno) << "\n";
      return false;
    }
    bool lfAlone = false;
    char previous = '\0';
    for (uint32_t left = size; left > 0;) {
      const size_t want = std::min<size_t>(left, kChunk);
      const size_t got = file.Read(buffer.get(), want);
      if (got != want) {
        err_ << "acv: " << input.path << ": the file changed size while it was packed\n";
        return false;
      }
      for (size_t i = 0; i < got && !lfAlone; ++i) {
        lfAlone = buffer[i] == '\n' && (i > 0 ? buffer[i - 1] : previous) != '\r';
      }
      previous = buffer[got - 1];
      if (!out.Append(buffer.get(), got)) {
        err_ << "acv: " << tempPath << ": " << std::strerror(errno) << "\n";
        return false;
      }
      left -= static_cast<uint32_t>(got);
    }
    CheckLineEnds(input, lfAlone);
  }
  if (!out.Flush() || fsync(fd) != 0) {
    err_ << "acv: " << tempPath << ": " << std::strerror(errno) << "\n";
    return false;
  }
  return true;
}

bool ArchivePacker::Write(const std::string& out) {
  SkipOutput(out);
  if (!CheckNames())
    return false;
  std::string tempPath = out + ".tmp-XXXXXX";
  const int fd = mkstemp(tempPath.data());
  if (fd < 0) {
    err_ << "acv: " << out << ": cannot write beside it: " << std::strerror(errno) << "\n";
    return false;
  }
  // mkstemp makes the file private; an archive is an ordinary file.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  bool ok = WriteRecords(fd, tempPath);
  if (close(fd) != 0 && ok) {
    err_ << "acv: " << tempPath << ": " << std::strerror(errno) << "\n";
    ok = false;
  }
  if (ok && rename(tempPath.c_str(), out.c_str()) != 0) {
    err_ << "acv: " << out << ": " << std::strerror(errno) << "\n";
    ok = false;
  }
  if (!ok)
    unlink(tempPath.c_str());
  return ok;
}

}  // namespace quarn::tools
