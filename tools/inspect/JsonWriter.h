#pragma once
// Writes JSON text. Strings are raw bytes: valid UTF-8 passes through, every other byte is
// written as \u00XX (one escape per byte), so nothing a data file holds is lost or rejected.
#include <string>
#include <string_view>

namespace quarn::tools {

std::string JsonString(std::string_view bytes);
std::string JsonNumber(double value);

}  // namespace quarn::tools
