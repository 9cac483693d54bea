#pragma once
#include <ostream>
#include <string>

namespace quarn::tools {

// Prints how the game reads an image file: its size as stored, the texture it becomes
// (power-of-two size, format, mip levels) as one JSON object. Returns the exit code: 0, or
// 1 when the file cannot be loaded (with the reason on err).
int InspectImage(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace quarn::tools
