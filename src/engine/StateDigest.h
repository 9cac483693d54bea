#pragma once
// A running 64-bit FNV-1a digest of the game's state, fed once per main-loop pass, so that two
// runs of the same recorded input can be compared by one number.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quarn {

class StateDigest {
 public:
  void AddBytes(const void* data, size_t size);
  // As 8 little-endian bytes, so that the digest is the same on every machine.
  void AddInt(int64_t value);
  void AddFloat(float value);
  uint64_t Value() const { return hash_; }
  // 16 lower-case hex digits.
  std::string Hex() const;

 private:
  uint64_t hash_ = 0xcbf29ce484222325ull;  // the FNV-1a 64-bit offset basis
};

}  // namespace quarn
