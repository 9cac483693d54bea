#pragma once
// A music or movie file of the archive, held as a temporary copy for as long as it plays.
#include <string>

#include "engine/ExtractedFile.h"

namespace quarn {

class MediaFile {
 public:
  // Extracts name from the process's archive. A name that is neither in the archive nor a
  // loose file is reported once, naming the file as the data names it.
  explicit MediaFile(const std::string& name);

  const std::string& Name() const { return file_.GetName(); }
  const std::string& Path() const { return file_.GetPath(); }
  bool Found() const { return found_; }

 private:
  ExtractedFile file_;
  bool found_;
};

}  // namespace quarn
