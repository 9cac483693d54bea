#pragma once
// Reads the space-separated words of one recipe value ("rect 0 0 640 480 FF102040"), with
// the first problem kept for the message: a missing word, a bad number or colour.
#include <string>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::tools {

class TokenReader {
 public:
  explicit TokenReader(const std::string& text);

  bool AtEnd() const { return next_ >= words_.size(); }
  size_t Remaining() const { return words_.size() - std::min(next_, words_.size()); }
  std::string Word(const char* what);
  // Takes the next word if it is exactly word.
  bool Accept(const std::string& word);
  // Whether there is a next word and it reads as a number (lists of numbers end at a word).
  bool NextIsNumber() const;
  double Number(const char* what);
  int Integer(const char* what);
  // AARRGGBB, eight hexadecimal digits.
  platform::Argb Color(const char* what);
  // A colour, or "-" for none (0).
  platform::Argb OptionalColor(const char* what);
  // Everything from the next word to the end, spaces kept as written.
  std::string Rest(const char* what);

  bool Ok() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }
  void Fail(const std::string& problem);

 private:
  std::string text_;
  std::vector<std::string> words_;
  std::vector<size_t> starts_;
  size_t next_ = 0;
  std::string problem_;
};

}  // namespace quarn::tools
