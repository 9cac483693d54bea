#pragma once
// The token stream of a .x file body, the same for the text and the binary encoding. The
// parser asks for structure (names and braces) with Next and for data values with the Read
// calls; separators, GUIDs and data the parser does not ask for are skipped.
#include <cstdint>
#include <string>

namespace quarn::gfx {

enum class XToken : uint8_t {
  End,   // clean end of the input
  Name,  // an identifier: a template name, an object name or a reference
  OpenBrace,
  CloseBrace,
  Template,  // the start of a template declaration
  Error,     // damaged input; Error() says why
};

class XTokenReader {
 public:
  virtual ~XTokenReader() = default;

  // The next structural token; *name receives the identifier of a Name token.
  virtual XToken Next(std::string* name) = 0;
  // The next data value. False (with Error() set) when the input holds something else.
  virtual bool ReadUInt(uint32_t* value) = 0;
  virtual bool ReadFloat(float* value) = 0;
  virtual bool ReadString(std::string* value) = 0;

  const std::string& Error() const { return error_; }

 protected:
  // Records the first problem found; later ones are consequences of it.
  bool Fail(const std::string& reason) {
    if (error_.empty())
      error_ = reason;
    return false;
  }

 private:
  std::string error_;
};

}  // namespace quarn::gfx
