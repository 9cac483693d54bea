#include "game/SaveFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "engine/PlainFile.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {
uint32_t LittleEndian32(const unsigned char bytes[4]) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
}  // namespace

void SaveFile::Read(const std::string& path, ValueStore& values) {
  PlainFile file;
  if (!file.OpenRead(path))
    return;
  bool damaged = false;
  for (int slot = 0; slot < ValueStore::kStorageSlots; ++slot) {
    unsigned char lengthBytes[4] = {0, 0, 0, 0};
    file.Read(lengthBytes, sizeof lengthBytes);
    const uint32_t length = LittleEndian32(lengthBytes);
    char buffer[kMaxText + 1] = {};
    const size_t wanted = length > kMaxText ? kMaxText : length;
    file.Read(buffer, wanted);
    if (length > kMaxText) {
      damaged = true;
      file.Skip(static_cast<int64_t>(length - kMaxText));
    }
    values.SetStorage(slot, std::string(buffer, strnlen(buffer, wanted)));
  }
  if (damaged)
    platform::ReportProblem(path, "holds a text too long for a save slot; it was cut");
}

bool SaveFile::Write(const std::string& path, const ValueStore& values) {
  const std::string temporary = path + ".tmp";
  PlainFile file;
  if (!file.OpenWrite(temporary)) {
    platform::ReportProblem(path, "cannot be written; progress was not saved");
    return false;
  }
  bool complete = true;
  for (int slot = 0; slot < ValueStore::kStorageSlots && complete; ++slot) {
    const std::string& text = values.GetStorage(slot);
    const uint32_t length = static_cast<uint32_t>(text.size() > kMaxText ? kMaxText : text.size());
    const unsigned char lengthBytes[4] = {
        static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
        static_cast<unsigned char>(length >> 16), static_cast<unsigned char>(length >> 24)};
    complete = file.Write(lengthBytes, sizeof lengthBytes) == sizeof lengthBytes &&
               file.Write(text.data(), length) == length;
  }
  complete = complete && file.Sync();
  complete = file.Close() && complete;
  if (!complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    platform::ReportProblem(path, "could not be written completely; the previous file is kept");
    return false;
  }
  return true;
}

}  // namespace quarn
