// Save files: arbitrary bytes read into the slots; what is read must write and read back the
// same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/SaveFile.h"

namespace {
std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/quarn-fuzz-" + std::to_string(getpid()) +
         "-" + name;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = TempPath("in.sav");
  static const std::string output = TempPath("out.sav");
  FILE* file = std::fopen(input.c_str(), "wb");
  if (file == nullptr)
    return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  quarn::ValueStore values;
  quarn::SaveFile::Read(input, values);
  if (quarn::SaveFile::Write(output, values)) {
    quarn::ValueStore back;
    quarn::SaveFile::Read(output, back);
    for (int slot = 0; slot < quarn::ValueStore::kStorageSlots; ++slot) {
      if (back.GetStorage(slot) != values.GetStorage(slot))
        std::abort();
    }
  }
  unlink(input.c_str());
  unlink(output.c_str());
  return 0;
}
