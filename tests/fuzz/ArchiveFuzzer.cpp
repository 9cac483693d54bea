// Archive directory: arbitrary bytes as Data.acv, read by the game's Archive::Open and by
// `acv list`. Every entry the game keeps must extract to exactly the bytes at its offset.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "ArchiveCommands.h"
#include "engine/Archive.h"
#include "platform/Diagnostics.h"

namespace {

// A private folder for the archive file and the extracted copies, removed at exit.
class WorkFolder {
 public:
  WorkFolder() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quarn-fuzz-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr)
      std::abort();
  }
  ~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int runs = 0;
  // Messages are once per subject; forget them now and then so memory stays flat.
  if (++runs % 10000 == 0)
    quarn::platform::ForgetReportedProblems();

  static const WorkFolder folder;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string base = folder.Path() + "/Data";
  std::ofstream(base + ".acv", std::ios::binary | std::ios::trunc) << bytes;

  {
    quarn::Archive archive(folder.Path());
    archive.Open(base);
    for (const auto& [name, entry] : archive.Entries()) {
      if (name != quarn::LowerCaseName(name) || !quarn::IsSafeEntryName(name))
        std::abort();
      if (entry.offset < 0 || entry.offset + entry.size > static_cast<int64_t>(size))
        std::abort();
      const std::string path = archive.Extract(name);
      if (ReadAll(path) != bytes.substr(static_cast<size_t>(entry.offset), entry.size)) {
        std::abort();
      }
      archive.Release(name);
    }
    archive.Close();
  }

  std::ostream discard(nullptr);
  quarn::tools::ListArchive(base + ".acv", discard, discard);
  return 0;
}
