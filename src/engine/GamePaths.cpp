#include "engine/GamePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace quarn {

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir == ".")
    return name;
  if (dir.back() == '/')
    return dir + name;
  return dir + "/" + name;
}

std::string GamePaths::ArchiveBase() const {
  return JoinPath(dataDir, "Data");
}
std::string GamePaths::SaveFile() const {
  return JoinPath(saveDir, "Quarn.sav");
}
std::string GamePaths::ScreenshotDir() const {
  return JoinPath(saveDir, "screenshots");
}

GamePaths GamePaths::Resolve(const std::string& dataDirOption) {
  GamePaths paths;
  paths.dataDir = dataDirOption.empty() ? "." : dataDirOption;
  if (access(paths.dataDir.c_str(), W_OK) == 0) {
    paths.saveDir = paths.dataDir;
    return paths;
  }
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    base = JoinPath(home, ".local/share");
  } else {
    base = "/tmp";
  }
  paths.saveDir = JoinPath(base, "quarn");
  // Make the folder (and its parent) if needed; a failure shows later as an unsaved game.
  mkdir(base.c_str(), 0755);
  mkdir(paths.saveDir.c_str(), 0755);
  return paths;
}

}  // namespace quarn
