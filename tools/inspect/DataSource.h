#pragma once
// Where the checker reads the game's files from, looked up as the game looks them up: the
// entries of an archive (then its loose folder beside it), or a loose data folder alone.
#include <memory>
#include <string>

#include "engine/Archive.h"

namespace quarn::tools {

class DataSource {
 public:
  // A file made readable for as long as this lives (an archive entry is copied out).
  class Copy {
   public:
    Copy(DataSource& source, std::string name);
    ~Copy();
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;
    const std::string& Path() const { return path_; }

   private:
    DataSource& source_;
    std::string name_;
    std::string path_;
  };

  DataSource();
  ~DataSource();

  // An archive file ("Data.acv") or a data folder; false with the reason when it is neither.
  bool Open(const std::string& where, std::string* problem);
  // Data.acv in the working directory if there is one, else the folder Data.
  static std::string DefaultLocation();

  // Whether the name resolves to a file, without copying it out.
  bool Exists(const std::string& name) const;
  // The path the game would read for a name that is not in the archive (for messages).
  std::string LoosePath(const std::string& name) const;
  // The archive's directory ended at a damaged record.
  bool IsDamaged() const { return archive_ != nullptr && archive_->IsDamaged(); }
  const std::string& Location() const { return location_; }

 private:
  std::string Acquire(const std::string& name);
  void Release(const std::string& name);

  std::string location_;
  std::string folder_;  // with a trailing slash
  std::unique_ptr<Archive> archive_;
};

}  // namespace quarn::tools
