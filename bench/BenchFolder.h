#pragma once
// A private folder for one benchmark program's files, removed with everything in it when the
// object goes.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace quarn::bench {

class BenchFolder {
 public:
  BenchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quarn-bench-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr)
      path_.clear();
  }
  ~BenchFolder() {
    std::error_code ignored;
    if (!path_.empty())
      std::filesystem::remove_all(path_, ignored);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  // Empty when the folder could not be made.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace quarn::bench
