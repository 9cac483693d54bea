#include "TokenReader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quarn::tools {

TokenReader::TokenReader(const std::string& text) : text_(text) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
      ++i;
    if (i == text.size())
      break;
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t')
      ++i;
    words_.push_back(text.substr(start, i - start));
    starts_.push_back(start);
  }
}

void TokenReader::Fail(const std::string& problem) {
  if (problem_.empty())
    problem_ = problem;
}

std::string TokenReader::Word(const char* what) {
  if (AtEnd()) {
    Fail(std::string("missing ") + what);
    return "";
  }
  return words_[next_++];
}

bool TokenReader::Accept(const std::string& word) {
  if (AtEnd() || words_[next_] != word)
    return false;
  ++next_;
  return true;
}

bool TokenReader::NextIsNumber() const {
  if (AtEnd())
    return false;
  const std::string& word = words_[next_];
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  return end != word.c_str() && *end == '\0' && std::isfinite(value);
}

double TokenReader::Number(const char* what) {
  const std::string word = Word(what);
  if (word.empty())
    return 0.0;
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (end == word.c_str() || *end != '\0' || !std::isfinite(value)) {
    Fail(std::string(what) + " '" + word + "' is not a number");
    return 0.0;
  }
  return value;
}

int TokenReader::Integer(const char* what) {
  const double value = Number(what);
  if (value != std::floor(value) || std::abs(value) > 1e9) {
    Fail(std::string(what) + " must be a whole number");
    return 0;
  }
  return static_cast<int>(value);
}

platform::Argb TokenReader::Color(const char* what) {
  const std::string word = Word(what);
  if (word.empty())
    return 0;
  if (word.size() != 8 || !std::all_of(word.begin(), word.end(), ::isxdigit)) {
    Fail(std::string(what) + " '" + word + "' is not a colour (AARRGGBB)");
    return 0;
  }
  return static_cast<platform::Argb>(std::strtoul(word.c_str(), nullptr, 16));
}

platform::Argb TokenReader::OptionalColor(const char* what) {
  if (!AtEnd() && words_[next_] == "-") {
    ++next_;
    return 0;
  }
  return Color(what);
}

std::string TokenReader::Rest(const char* what) {
  if (AtEnd()) {
    Fail(std::string("missing ") + what);
    return "";
  }
  const size_t start = starts_[next_];
  next_ = words_.size();
  return text_.substr(start);
}

}  // namespace quarn::tools
