#pragma once
// What the game tells its user: one "quarn:" line on stderr for each problem a user can act
// on (a missing archive, a file that failed to load, a device that could not open).
#include <string_view>

namespace quarn::platform {

// Writes "quarn: SUBJECT: PROBLEM" once per subject (a file name, a device); later reports
// about the same subject are dropped so that a broken file does not flood the terminal.
void ReportProblem(std::string_view subject, std::string_view problem);
// Writes "quarn: MESSAGE" every time (start-up failures, usage).
void ReportError(std::string_view message);
// Text meant for a debugger, not for players: written to stderr only when the environment
// variable QUARN_DEBUG is set.
void DebugText(std::string_view text);
// Forgets which subjects were reported (tests).
void ForgetReportedProblems();

}  // namespace quarn::platform
