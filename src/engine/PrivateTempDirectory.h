#pragma once
// A folder of this process's own for temporary files: made with mkdtemp (mode 0700) under the
// system temp folder as "quarn-<pid>-XXXXXX", so that no other process shares or deletes its
// files, and a later process can tell from the name whose it was and clear it away once that
// process has ended.
#include <string>

namespace quarn {

class PrivateTempDirectory {
 public:
  // parent: where the folder is made; empty: $TMPDIR, or /tmp.
  explicit PrivateTempDirectory(std::string parent = "");
  // Removes the folder with everything in it.
  ~PrivateTempDirectory();
  PrivateTempDirectory(const PrivateTempDirectory&) = delete;
  PrivateTempDirectory& operator=(const PrivateTempDirectory&) = delete;

  // Makes the folder unless it exists; false when it cannot be made (see LastError).
  bool Create();
  // Removes the folder with everything in it; a later Create makes a new one.
  void Remove();
  bool Exists() const { return !path_.empty(); }
  // The folder, without a trailing slash; empty until made.
  const std::string& Path() const { return path_; }
  const std::string& Parent() const { return parent_; }
  const std::string& LastError() const { return error_; }

  // Removes the folders of this pattern under parent that belong to this user and whose
  // process is no longer running. Returns how many were removed.
  static int RemoveStale(const std::string& parent);
  // $TMPDIR when set, else /tmp.
  static std::string SystemTempFolder();

 private:
  std::string parent_;
  std::string path_;
  std::string error_;
  // An open descriptor of the folder holding a lock, so that a process that cannot see our
  // pid (another pid namespace sharing the temp folder) still sees the folder is in use.
  int lockFd_ = -1;
};

}  // namespace quarn
