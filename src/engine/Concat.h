#pragma once
// Joins pieces of text (strings, string views, literals) into one string. Used instead of
// chains of operator+, which g++ 12 at -O3 warns about falsely (-Wrestrict) and which copy more.
#include <string>
#include <string_view>

namespace quarn {

template <class... Parts>
std::string Concat(const Parts&... parts) {
  std::string text;
  text.reserve((std::string_view(parts).size() + ... + 0));
  (text.append(std::string_view(parts)), ...);
  return text;
}

}  // namespace quarn
