#pragma once
#include <ostream>
#include <string>

namespace quarn::tools {

// Prints how the game reads a definition file as {"sections": {S: {K: V, ...}, ...}}.
// Returns the exit code: 0, or 1 when the file cannot be opened.
int InspectDefinition(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace quarn::tools
