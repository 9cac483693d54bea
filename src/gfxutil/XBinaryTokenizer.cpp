#include "gfxutil/XBinaryTokenizer.h"

#include <cstring>

namespace quarn::gfx {

namespace {

enum TokenCode : uint16_t {
  kName = 1,
  kString = 2,
  kInteger = 3,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOpenBrace = 10,
  kCloseBrace = 11,
  kOpenParen = 12,
  kCloseParen = 13,
  kOpenBracket = 14,
  kCloseBracket = 15,
  kOpenAngle = 16,
  kCloseAngle = 17,
  kDot = 18,
  kComma = 19,
  kSemicolon = 20,
  kTemplate = 31,
  kFirstTypeKeyword = 40,  // WORD, DWORD, FLOAT, ... ARRAY
  kLastTypeKeyword = 53,
};

uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool XBinaryTokenizer::FailHere(const std::string& reason) {
  return Fail(reason + " (byte " + std::to_string(pos_ + 16) + ")");
}

bool XBinaryTokenizer::ReadU16(uint16_t* value) {
  if (body_.size() - pos_ < 2)
    return FailHere("unexpected end of file");
  *value = static_cast<uint16_t>(body_[pos_] | body_[pos_ + 1] << 8);
  pos_ += 2;
  return true;
}

bool XBinaryTokenizer::ReadU32(uint32_t* value) {
  if (body_.size() - pos_ < 4)
    return FailHere("unexpected end of file");
  *value = LoadU32(&body_[pos_]);
  pos_ += 4;
  return true;
}

bool XBinaryTokenizer::Skip(size_t bytes) {
  if (body_.size() - pos_ < bytes)
    return FailHere("unexpected end of file");
  pos_ += bytes;
  return true;
}

bool XBinaryTokenizer::StartList(List kind) {
  uint32_t count = 0;
  if (!ReadU32(&count))
    return false;
  const size_t elementSize = kind == List::Floats && doubleFloats_ ? 8 : 4;
  listPos_ = pos_;
  if (!Skip(static_cast<size_t>(count) * elementSize))
    return false;
  list_ = kind;
  listLeft_ = count;
  return true;
}

XBinaryTokenizer::Data XBinaryTokenizer::ReadToken(std::string* text, uint32_t* integer,
                                                   uint16_t* code) {
  if (pos_ >= body_.size())
    return Data::End;
  if (!ReadU16(code))
    return Data::Error;
  uint32_t count = 0;
  switch (*code) {
    case kName:
    case kString:
      if (!ReadU32(&count))
        return Data::Error;
      if (body_.size() - pos_ < count) {
        FailHere("unexpected end of file");
        return Data::Error;
      }
      text->assign(reinterpret_cast<const char*>(&body_[pos_]), count);
      pos_ += count;
      return *code == kName ? Data::Name : Data::String;
    case kInteger:
      return ReadU32(integer) ? Data::Integer : Data::Error;
    case kGuid:
      return Skip(16) ? Data::Other : Data::Error;
    case kIntegerList:
      return StartList(List::Integers) ? Data::IntegerList : Data::Error;
    case kFloatList:
      return StartList(List::Floats) ? Data::FloatList : Data::Error;
    case kOpenBrace:
    case kCloseBrace:
      return Data::Brace;
    case kOpenParen:
    case kCloseParen:
    case kOpenBracket:
    case kCloseBracket:
    case kOpenAngle:
    case kCloseAngle:
    case kDot:
    case kComma:
    case kSemicolon:
    case kTemplate:
      return Data::Other;
    default:
      if (*code >= kFirstTypeKeyword && *code <= kLastTypeKeyword)
        return Data::Other;
      pos_ -= 2;
      FailHere("unknown token " + std::to_string(*code));
      return Data::Error;
  }
}

XToken XBinaryTokenizer::Next(std::string* name) {
  list_ = List::None;  // values nobody asked for are skipped
  listLeft_ = 0;
  for (;;) {
    uint32_t integer = 0;
    uint16_t code = 0;
    switch (ReadToken(name, &integer, &code)) {
      case Data::End:
        return XToken::End;
      case Data::Error:
        return XToken::Error;
      case Data::Name:
        return XToken::Name;
      case Data::Brace:
        return code == kOpenBrace ? XToken::OpenBrace : XToken::CloseBrace;
      case Data::Other:
        if (code == kTemplate)
          return XToken::Template;
        break;
      default:
        list_ = List::None;
        listLeft_ = 0;
        break;
    }
  }
}

bool XBinaryTokenizer::ReadUInt(uint32_t* value) {
  for (;;) {
    if (list_ == List::Integers && listLeft_ > 0) {
      *value = LoadU32(&body_[listPos_]);
      listPos_ += 4;
      --listLeft_;
      return true;
    }
    if (list_ == List::Floats && listLeft_ > 0)
      return FailHere("expected an integer, found a float");
    std::string text;
    uint16_t code = 0;
    switch (ReadToken(&text, value, &code)) {
      case Data::Integer:
        return true;
      case Data::IntegerList:
        continue;
      case Data::Error:
        return false;
      case Data::Other:
        if (code == kComma || code == kSemicolon)
          continue;
        return FailHere("expected an integer");
      default:
        return FailHere("expected an integer");
    }
  }
}

bool XBinaryTokenizer::ReadFloat(float* value) {
  for (;;) {
    if (list_ == List::Floats && listLeft_ > 0) {
      if (doubleFloats_) {
        double wide;
        std::memcpy(&wide, &body_[listPos_], sizeof wide);
        *value = static_cast<float>(wide);
        listPos_ += 8;
      } else {
        std::memcpy(value, &body_[listPos_], sizeof *value);
        listPos_ += 4;
      }
      --listLeft_;
      return true;
    }
    if (list_ == List::Integers && listLeft_ > 0)
      return FailHere("expected a float, found an integer");
    std::string text;
    uint32_t integer = 0;
    uint16_t code = 0;
    switch (ReadToken(&text, &integer, &code)) {
      case Data::FloatList:
        continue;
      case Data::Error:
        return false;
      case Data::Other:
        if (code == kComma || code == kSemicolon)
          continue;
        return FailHere("expected a float");
      default:
        return FailHere("expected a float");
    }
  }
}

bool XBinaryTokenizer::ReadString(std::string* value) {
  if (listLeft_ > 0)
    return FailHere("expected a string, found a list");
  for (;;) {
    uint32_t integer = 0;
    uint16_t code = 0;
    switch (ReadToken(value, &integer, &code)) {
      case Data::String:
        return true;
      case Data::Error:
        return false;
      case Data::Other:
        if (code == kComma || code == kSemicolon)
          continue;
        return FailHere("expected a string");
      default:
        return FailHere("expected a string");
    }
  }
}

}  // namespace quarn::gfx
