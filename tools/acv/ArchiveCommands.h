#pragma once
// The reading commands of acv. Each returns the process exit code: 0 done, 1 bad input
// (a damaged or foreign archive, a missing entry, a file that cannot be written).
#include <ostream>
#include <string>
#include <vector>

namespace quarn::tools {

// One line per record: name, size and data offset, tab-separated; a record the game cannot
// reach gets a fourth column saying why. A damaged archive lists its complete records, then
// fails with the offset of the bad one.
int ListArchive(const std::string& archive, std::ostream& out, std::ostream& err);

// Writes the named entries (all, when names is empty) into dir as lower-cased file names,
// the names the game's loose-file lookup expects. Names match as in the game: letter case
// aside, first record wins.
int ExtractEntries(const std::string& archive, const std::vector<std::string>& names,
                   const std::string& dir, std::ostream& err);

// Writes one entry's bytes to out.
int CatEntry(const std::string& archive, const std::string& name, std::ostream& out,
             std::ostream& err);

}  // namespace quarn::tools
