#include "CheckReport.h"

#include <algorithm>

#include "engine/Archive.h"

namespace quarn::tools {

void CheckReport::Add(const std::string& file, unsigned line, const std::string& problem) {
  auto [it, added] = fileOrder_.try_emplace(file, files_.size());
  if (added)
    files_.push_back(file);
  Problem entry{it->second, line, problem};
  // Names and values are raw bytes: control bytes are shown, never sent to the terminal.
  entry.text = PrintableName(problem);
  if (seen_.emplace(entry.file, entry.line, entry.text).second)
    problems_.push_back(std::move(entry));
}

std::vector<std::string> CheckReport::Lines() const {
  std::vector<Problem> sorted = problems_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Problem& a, const Problem& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
  });
  std::vector<std::string> lines;
  lines.reserve(sorted.size());
  for (const Problem& problem : sorted) {
    lines.push_back(PrintableName(files_[problem.file]) + "(" + std::to_string(problem.line) +
                    "): " + problem.text);
  }
  return lines;
}

void CheckReport::Print(std::ostream& out) const {
  for (const std::string& line : Lines())
    out << line << "\n";
}

}  // namespace quarn::tools
