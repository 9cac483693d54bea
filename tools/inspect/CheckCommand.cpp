#include "CheckCommand.h"

#include "CheckReport.h"
#include "DataChecker.h"
#include "DataSource.h"

namespace quarn::tools {

int CheckData(const std::string& where, std::ostream& out, std::ostream& err) {
  DataSource source;
  std::string problem;
  if (!source.Open(where, &problem)) {
    err << "quarn-inspect: " << where << ": " << problem << "\n";
    return 2;
  }
  CheckReport report;
  DataChecker checker(source, report);
  checker.Run();
  report.Print(out);
  if (report.Count() == 0)
    return 0;
  err << "quarn-inspect: " << report.Count() << (report.Count() == 1 ? " problem" : " problems")
      << " in " << report.FileCount() << " of the " << checker.FileCount()
      << " files the game can reach\n";
  return 1;
}

}  // namespace quarn::tools
