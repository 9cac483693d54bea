#pragma once
// The save file: the 64 storage slots, each a 32-bit little-endian length and its bytes.
#include <string>

#include "stage/ValueStore.h"

namespace quarn {

class SaveFile {
 public:
  // Every slot must be shorter than this to be kept whole.
  static constexpr size_t kMaxText = 1023;

  // Fills the storage slots from the file. A missing or short file leaves the slots it does
  // not reach empty; a text stops at its first zero byte. A stored length above kMaxText
  // reads kMaxText bytes and skips the rest (the original read buffer held 1023 + 1).
  static void Read(const std::string& path, ValueStore& values);
  // Writes the storage slots to a temporary file beside path and renames it over path only
  // when complete, so that a failed write never loses the previous progress. Texts longer than
  // kMaxText are saved cut to kMaxText bytes, so that the file always reads back. False when
  // nothing was saved.
  static bool Write(const std::string& path, const ValueStore& values);
};

}  // namespace quarn
