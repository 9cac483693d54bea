#pragma once
// Follows every file the game can reach from the files it opens by name (the first menu),
// through menus, stages, units and their parts, weapons, projectiles, effects and grounds,
// loads each as the game would, and reports what is missing, broken or never read.
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CheckReport.h"
#include "DataSource.h"
#include "DefinitionChecker.h"
#include "DefinitionText.h"

namespace quarn::tools {

class DataChecker {
 public:
  DataChecker(DataSource& source, CheckReport& report);
  void Run();
  // Files reached, of every kind.
  size_t FileCount() const { return files_.size(); }

 private:
  struct Reached {
    std::string name;  // as first named
    FileKind kind = FileKind::None;
    std::set<Role> roles;
    std::vector<FileReference> namedBy;
    bool found = false;
    std::string problem;  // why it did not load
    std::unique_ptr<DefinitionText> text;
  };

  void Follow(const FileReference& reference);
  void Load(Reached& file);
  void LoadMesh(Reached& file, const std::string& path);
  void Report(const Reached& file);
  // "named by FILE(LINE) KEY, and 2 more places"
  static std::string NamedBy(const Reached& file);

  DataSource& source_;
  CheckReport& report_;
  std::vector<std::unique_ptr<Reached>> files_;
  std::map<std::pair<FileKind, std::string>, size_t> index_;
  // Definition files and the roles still to follow them in.
  std::deque<std::pair<size_t, Role>> pending_;
};

}  // namespace quarn::tools
