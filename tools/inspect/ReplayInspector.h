#pragma once
#include <ostream>
#include <string>

namespace quarn::tools {

// Prints a recorded-input file as text: one line per stretch of updates whose state does not
// change, naming the keys held, the mouse, and every joystick's axes, hats and buttons.
// Returns the exit code: 0, or 1 when the file cannot be read as a recording. Damage that
// leaves a playable part is told on err; the playable part is printed.
int InspectReplay(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace quarn::tools
