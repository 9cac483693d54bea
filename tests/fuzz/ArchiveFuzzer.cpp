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
#include "TempFolder.h"
#include "engine/Archive.h"
#include "platform/Diagnostics.h"

namespace {

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

  // The archive file and the extracted copies.
  static const quarn::testing::TempFolder folder;
  if (folder.Path().empty())
    std::abort();
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
