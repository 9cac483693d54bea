#include "engine/Archive.h"

namespace quarn {

std::string LowerCaseName(const std::string& name) {
  std::string lower = name;
  for (size_t i = 0; i < lower.size(); ++i) {
    const auto byte = static_cast<unsigned char>(lower[i]);
    if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
      ++i;  // lead byte: the trail byte is part of the same character
    } else if (byte >= 'A' && byte <= 'Z') {
      lower[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return lower;
}

bool Archive::Open(const std::string& base) {
  archivePath_ = base + ".acv";
  looseDirectory_ = base + "/";
  return true;
}

std::string Archive::Extract(const std::string& name) {
  return looseDirectory_ + LowerCaseName(name);
}

void Archive::Release(const std::string&) {}

void Archive::Close() {}

}  // namespace quarn
