#pragma once
// One archive entry made available as a file for as long as this holder lives.
#include <string>

namespace quarn {

class Archive;

class ExtractedFile {
 public:
  // Extracts name from archive (null: the process-wide archive). With no archive at all the
  // name is taken as the path itself.
  ExtractedFile(std::string name, bool releaseOnDestruction, Archive* archive = nullptr);
  // Releases the entry if asked to at construction.
  ~ExtractedFile();
  ExtractedFile(const ExtractedFile&) = delete;
  ExtractedFile& operator=(const ExtractedFile&) = delete;

  const std::string& GetPath() const { return path_; }
  const std::string& GetName() const { return name_; }

 private:
  std::string name_;
  std::string path_;
  bool releaseOnDestruction_;
  Archive* archive_;
};

}  // namespace quarn
