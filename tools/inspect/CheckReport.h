#pragma once
// The problems the data checker found, printed one a line as "FILE(LINE): problem", file by
// file in the order the files were reached and by line within a file.
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quarn::tools {

class CheckReport {
 public:
  // line 0: the file is missing, or the problem has no line in it. A repeat of the same
  // problem is kept once.
  void Add(const std::string& file, unsigned line, const std::string& problem);
  size_t Count() const { return problems_.size(); }
  // Files with at least one problem.
  size_t FileCount() const { return fileOrder_.size(); }
  void Print(std::ostream& out) const;
  // The printed lines, for tests.
  std::vector<std::string> Lines() const;

 private:
  struct Problem {
    size_t file;
    unsigned line;
    std::string text;
  };

  std::map<std::string, size_t> fileOrder_;
  std::vector<std::string> files_;
  std::vector<Problem> problems_;
  std::set<std::tuple<size_t, unsigned, std::string>> seen_;
};

}  // namespace quarn::tools
