#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace quarn::tools {

namespace {
// Length of the valid UTF-8 sequence starting at i, or 0 when the byte starts none.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t length = 0;
  uint32_t min = 0;
  if (b0 < 0x80)
    return 1;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > s.size())
    return 0;
  uint32_t code = b0 & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80)
      return 0;
    code = (code << 6) | (b & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return 0;
  return length;
}
}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  char escape[8];
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const size_t length = Utf8SequenceLength(bytes, i);
    if (length > 1) {
      out.append(bytes.substr(i, length));
      i += length;
      continue;
    }
    if (byte == '"') {
      out += "\\\"";
    } else if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte >= 0x7F) {
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += static_cast<char>(byte);
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value))
    return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

}  // namespace quarn::tools
