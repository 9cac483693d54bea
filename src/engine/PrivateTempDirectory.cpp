#include "engine/PrivateTempDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace quarn {

namespace {
constexpr char kPrefix[] = "quarn-";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr size_t kRandomLength = 6;  // mkdtemp's XXXXXX

// The owner's pid from a name "quarn-<pid>-XXXXXX"; 0 when the name is not of that pattern.
pid_t OwnerPid(const std::string& name) {
  if (name.compare(0, kPrefixLength, kPrefix) != 0)
    return 0;
  const size_t dash = name.find('-', kPrefixLength);
  if (dash == std::string::npos || dash == kPrefixLength || dash > kPrefixLength + 9)
    return 0;
  if (name.size() != dash + 1 + kRandomLength)
    return 0;
  long pid = 0;
  for (size_t i = kPrefixLength; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9')
      return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  for (size_t i = dash + 1; i < name.size(); ++i) {
    const char c = name[i];
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum)
      return 0;
  }
  return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool ProcessEnded(pid_t pid) {
  return kill(pid, 0) != 0 && errno == ESRCH;
}

// Opens the folder and takes its lock without waiting; -1 when it cannot, or another holds it.
int LockFolder(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void RemoveTree(const std::string& path) {
  std::error_code ignored;  // what cannot be removed stays; nothing else depends on it
  std::filesystem::remove_all(path, ignored);
}
}  // namespace

PrivateTempDirectory::PrivateTempDirectory(std::string parent)
    : parent_(parent.empty() ? SystemTempFolder() : std::move(parent)) {}

PrivateTempDirectory::~PrivateTempDirectory() {
  Remove();
}

std::string PrivateTempDirectory::SystemTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp";
}

bool PrivateTempDirectory::Create() {
  if (Exists())
    return true;
  std::string pattern = parent_;
  if (pattern.empty() || pattern.back() != '/')
    pattern += '/';
  pattern += kPrefix + std::to_string(getpid()) + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    error_ = std::strerror(errno);
    return false;
  }
  path_ = pattern;
  lockFd_ = LockFolder(path_);
  error_.clear();
  return true;
}

void PrivateTempDirectory::Remove() {
  if (!Exists())
    return;
  RemoveTree(path_);
  path_.clear();
  if (lockFd_ >= 0)
    close(lockFd_);
  lockFd_ = -1;
}

int PrivateTempDirectory::RemoveStale(const std::string& parent) {
  DIR* folder = opendir(parent.c_str());
  if (folder == nullptr)
    return 0;
  std::vector<std::string> names;
  while (const dirent* item = readdir(folder)) {
    if (OwnerPid(item->d_name) != 0)
      names.emplace_back(item->d_name);
  }
  closedir(folder);

  int removed = 0;
  const std::string base = parent.empty() || parent.back() == '/' ? parent : parent + "/";
  for (const std::string& name : names) {
    const pid_t pid = OwnerPid(name);
    if (pid == getpid() || !ProcessEnded(pid))
      continue;
    const std::string path = base + name;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
      continue;
    }
    const int lock = LockFolder(path);
    if (lock < 0)
      continue;  // still in use by a process we cannot see
    RemoveTree(path);
    close(lock);
    ++removed;
  }
  return removed;
}

}  // namespace quarn
