#include "platform/Diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace quarn::platform {

namespace {
struct Reported {
  std::mutex mutex;
  std::set<std::string, std::less<>> subjects;
};

Reported& ReportedSubjects() {
  static Reported reported;
  return reported;
}

void WriteLine(std::string_view text) {
  std::string line = "quarn: ";
  line.append(text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}
}  // namespace

void ReportProblem(std::string_view subject, std::string_view problem) {
  {
    Reported& reported = ReportedSubjects();
    std::lock_guard lock(reported.mutex);
    if (!reported.subjects.emplace(subject).second)
      return;
  }
  std::string text(subject);
  text.append(": ");
  text.append(problem);
  WriteLine(text);
}

void ReportError(std::string_view message) {
  WriteLine(message);
}

void DebugText(std::string_view text) {
  static const bool enabled = std::getenv("QUARN_DEBUG") != nullptr;
  if (!enabled)
    return;
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void ForgetReportedProblems() {
  Reported& reported = ReportedSubjects();
  std::lock_guard lock(reported.mutex);
  reported.subjects.clear();
}

}  // namespace quarn::platform
