#pragma once
// Tokens of a text .x body: identifiers, numbers, quoted strings, braces, GUIDs in angle
// brackets, ';' and ',' separators, and comments from "//" or "#" to the end of the line.
#include <string_view>

#include "gfxutil/XTokenReader.h"

namespace quarn::gfx {

class XTextTokenizer final : public XTokenReader {
 public:
  // text: the body after the 16-byte header; it must outlive the tokenizer.
  explicit XTextTokenizer(std::string_view text) : text_(text) {}

  XToken Next(std::string* name) override;
  bool ReadUInt(uint32_t* value) override;
  bool ReadFloat(float* value) override;
  bool ReadString(std::string* value) override;

 private:
  enum class Lexeme { End, Word, Number, String, OpenBrace, CloseBrace, Skipped, Error };

  // Scans the next lexeme; *text receives a word, number or string (without the quotes).
  Lexeme Scan(std::string_view* text);
  // The next lexeme that is not a separator, GUID or other punctuation.
  Lexeme ScanValue(std::string_view* text);
  bool FailHere(const std::string& reason);

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace quarn::gfx
