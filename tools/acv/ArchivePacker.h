#pragma once
// Writes an archive from files and folders: every file becomes one record named after the
// file alone (folders are walked recursively, their contents in byte-wise path order), so the
// same inputs always give the same bytes. Names the game could not tell apart, or could not
// hold, are refused before anything is written.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quarn::tools {

class ArchivePacker {
 public:
  explicit ArchivePacker(std::ostream& err) : err_(err) {}

  // Adds a file, or every file under a folder. False (with a message) when the path is
  // neither, or a folder cannot be read.
  bool AddPath(const std::string& path);
  // Checks every name and writes the archive to a temporary file beside out, renamed over
  // out only when complete. False (with a message, and out untouched) on any problem.
  bool Write(const std::string& out);

 private:
  struct Input {
    std::string path;
    std::string name;
    uint64_t size = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
  };

  bool AddFile(const std::string& path, std::string name);
  bool CheckNames() const;
  // Drops an input that is the output archive itself (packing a folder that holds it).
  void SkipOutput(const std::string& out);
  bool WriteRecords(int fd, const std::string& tempPath);
  // Warns when a .txt file has a line ending in LF alone (the game splits only at CR LF).
  void CheckLineEnds(const Input& input, bool lfAlone) const;

  std::ostream& err_;
  std::vector<Input> inputs_;
};

}  // namespace quarn::tools
