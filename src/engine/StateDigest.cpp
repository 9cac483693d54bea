#include "engine/StateDigest.h"

#include <cstdio>
#include <cstring>

namespace quarn {

void StateDigest::AddBytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash_ ^= bytes[i];
    hash_ *= 0x100000001b3ull;  // the FNV 64-bit prime
  }
}

void StateDigest::AddInt(int64_t value) {
  unsigned char bytes[8];
  const auto bits = static_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i)
    bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  AddBytes(bytes, sizeof bytes);
}

void StateDigest::AddFloat(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  AddInt(bits);
}

std::string StateDigest::Hex() const {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
  return text;
}

}  // namespace quarn
