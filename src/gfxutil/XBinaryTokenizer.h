#pragma once
// Tokens of a binary .x body: 16-bit little-endian token codes, some followed by their
// data (names, strings, integers, GUIDs, integer lists and float lists of 32 or 64 bits).
#include <cstdint>
#include <span>

#include "gfxutil/XTokenReader.h"

namespace quarn::gfx {

class XBinaryTokenizer final : public XTokenReader {
 public:
  // body: the bytes after the 16-byte header; it must outlive the tokenizer.
  XBinaryTokenizer(std::span<const uint8_t> body, bool doubleFloats)
      : body_(body), doubleFloats_(doubleFloats) {}

  XToken Next(std::string* name) override;
  bool ReadUInt(uint32_t* value) override;
  bool ReadFloat(float* value) override;
  bool ReadString(std::string* value) override;

 private:
  enum class List : uint8_t { None, Integers, Floats };
  enum class Data : uint8_t {
    Name,
    String,
    Integer,
    IntegerList,
    FloatList,
    Brace,
    Other,
    End,
    Error
  };

  // Reads one token and its data. Lists are not read here: they become the current list.
  Data ReadToken(std::string* text, uint32_t* integer, uint16_t* code);
  bool ReadU16(uint16_t* value);
  bool ReadU32(uint32_t* value);
  bool Skip(size_t bytes);
  bool StartList(List kind);
  bool FailHere(const std::string& reason);

  std::span<const uint8_t> body_;
  size_t pos_ = 0;
  bool doubleFloats_;
  // The list being read: its kind, where its next element is and how many are left.
  List list_ = List::None;
  size_t listPos_ = 0;
  uint32_t listLeft_ = 0;
};

}  // namespace quarn::gfx
