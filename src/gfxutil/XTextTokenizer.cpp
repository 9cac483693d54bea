#include "gfxutil/XTextTokenizer.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace quarn::gfx {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Characters that end a word or number.
bool IsDelimiter(char c) {
  switch (c) {
    case ';':
    case ',':
    case '{':
    case '}':
    case '<':
    case '>':
    case '"':
    case '(':
    case ')':
    case '[':
    case ']':
    case '#':
      return true;
    default:
      return IsSpace(c);
  }
}

// A run that reads as a number: digits with an optional sign, point and exponent.
bool LooksNumeric(std::string_view run) {
  bool digit = false;
  for (char c : run) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != '-' && c != '+' && c != '.' && c != 'e' && c != 'E') {
      return false;
    }
  }
  const char first = run.front();
  return digit && ((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.');
}

// "'TEXT' is not WHAT", built by appending (operator+ chains trip a GCC 12 -O3 warning).
std::string NotA(std::string_view text, const char* what) {
  std::string message = "'";
  message.append(text);
  message.append("' is not ");
  message.append(what);
  return message;
}

std::string_view WithoutPlus(std::string_view number) {
  if (!number.empty() && number.front() == '+')
    number.remove_prefix(1);
  return number;
}

}  // namespace

bool XTextTokenizer::FailHere(const std::string& reason) {
  const size_t line =
      1 + std::count(text_.begin(), text_.begin() + std::min(pos_, text_.size()), '\n');
  return Fail(reason + " (line " + std::to_string(line) + " of the body)");
}

XTextTokenizer::Lexeme XTextTokenizer::Scan(std::string_view* text) {
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (IsSpace(c)) {
      ++pos_;
    } else if (c == '#' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) {
      const size_t end = text_.find('\n', pos_);
      pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    } else {
      break;
    }
  }
  if (pos_ >= text_.size())
    return Lexeme::End;
  const char c = text_[pos_];
  switch (c) {
    case '{':
      ++pos_;
      return Lexeme::OpenBrace;
    case '}':
      ++pos_;
      return Lexeme::CloseBrace;
    case ';':
    case ',':
    case '(':
    case ')':
    case '[':
    case ']':
    case '>':
      ++pos_;
      return Lexeme::Skipped;
    case '<': {
      const size_t end = text_.find('>', pos_);
      if (end == std::string_view::npos) {
        FailHere("unterminated GUID");
        return Lexeme::Error;
      }
      pos_ = end + 1;
      return Lexeme::Skipped;
    }
    case '"': {
      const size_t end = text_.find('"', pos_ + 1);
      if (end == std::string_view::npos) {
        FailHere("unterminated string");
        return Lexeme::Error;
      }
      *text = text_.substr(pos_ + 1, end - pos_ - 1);
      pos_ = end + 1;
      return Lexeme::String;
    }
    default:
      break;
  }
  const size_t start = pos_;
  while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) {
    // A comment may follow a word without a space between them.
    if (text_[pos_] == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')
      break;
    ++pos_;
  }
  if (pos_ == start) {  // a lone '/'
    ++pos_;
    return Lexeme::Skipped;
  }
  *text = text_.substr(start, pos_ - start);
  return LooksNumeric(*text) ? Lexeme::Number : Lexeme::Word;
}

XTextTokenizer::Lexeme XTextTokenizer::ScanValue(std::string_view* text) {
  for (;;) {
    const Lexeme lexeme = Scan(text);
    if (lexeme != Lexeme::Skipped)
      return lexeme;
  }
}

XToken XTextTokenizer::Next(std::string* name) {
  for (;;) {
    std::string_view text;
    switch (Scan(&text)) {
      case Lexeme::End:
        return XToken::End;
      case Lexeme::Error:
        return XToken::Error;
      case Lexeme::OpenBrace:
        return XToken::OpenBrace;
      case Lexeme::CloseBrace:
        return XToken::CloseBrace;
      case Lexeme::Word:
        if (text == "template")
          return XToken::Template;
        name->assign(text);
        return XToken::Name;
      default:
        break;  // data the parser did not ask for, separators
    }
  }
}

bool XTextTokenizer::ReadUInt(uint32_t* value) {
  std::string_view text;
  const Lexeme lexeme = ScanValue(&text);
  if (lexeme == Lexeme::Error)
    return false;
  if (lexeme == Lexeme::End)
    return FailHere("unexpected end of file");
  if (lexeme != Lexeme::Number)
    return FailHere("expected an integer");
  text = WithoutPlus(text);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    return FailHere(NotA(text, "an unsigned integer"));
  }
  return true;
}

bool XTextTokenizer::ReadFloat(float* value) {
  std::string_view text;
  const Lexeme lexeme = ScanValue(&text);
  if (lexeme == Lexeme::Error)
    return false;
  if (lexeme == Lexeme::End)
    return FailHere("unexpected end of file");
  if (lexeme != Lexeme::Number)
    return FailHere("expected a number");
  text = WithoutPlus(text);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  if (end != text.data() + text.size() ||
      (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    return FailHere(NotA(text, "a number"));
  }
  // Too small or too large for a float: the nearest float (0 or infinity), as strtof gives.
  if (ec == std::errc::result_out_of_range)
    *value = std::strtof(std::string(text).c_str(), nullptr);
  return true;
}

bool XTextTokenizer::ReadString(std::string* value) {
  std::string_view text;
  const Lexeme lexeme = ScanValue(&text);
  if (lexeme == Lexeme::Error)
    return false;
  if (lexeme == Lexeme::End)
    return FailHere("unexpected end of file");
  if (lexeme != Lexeme::String)
    return FailHere("expected a string");
  value->assign(text);
  return true;
}

}  // namespace quarn::gfx
