#pragma once
#include <ostream>
#include <string>

namespace quarn::tools {

// quarn-inspect check: checks the game's data in an archive or a loose data folder, printing
// one line per problem on out. Returns the exit code: 0 when it found none, 1 when it found
// problems, 2 when where is neither an archive nor a folder (the reason on err).
int CheckData(const std::string& where, std::ostream& out, std::ostream& err);

}  // namespace quarn::tools
