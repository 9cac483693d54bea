#include "engine/GamePaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Diagnostics.h"

namespace quarn {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool HoldsData(const std::string& dir) {
  struct stat info;
  const std::string base = JoinPath(dir, "Data");
  return (stat((base + ".acv").c_str(), &info) == 0 && S_ISREG(info.st_mode)) || IsFolder(base);
}

// Whether two paths name the same folder, however they are spelled.
bool SameFolder(const std::string& a, const std::string& b) {
  struct stat first, second;
  return !a.empty() && !b.empty() && stat(a.c_str(), &first) == 0 &&
         stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string Absolute(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error)
    return path;
  std::string text = absolute.lexically_normal().string();
  if (text.size() > 1 && text.back() == '/')
    text.pop_back();  // "DIR/." comes out as "DIR/"
  return text;
}

void ReportMissingData(const GamePaths& paths, const GamePaths::Places& places) {
  std::string looked;
  if (!places.dataOption.empty()) {
    looked = Absolute(places.dataOption) + " (--data)";
  } else {
    looked = "the working directory (" + Absolute(places.workDir) + ")";
    if (!places.installDataDir.empty())
      looked += " and " + places.installDataDir + " (the installed data)";
  }
  // The archive reports a missing file under the same subject; this line says it all.
  platform::ReportProblem(paths.ArchiveBase() + ".acv",
                          "no game data: looked for Data.acv or Data/ in " + looked);
}

// $XDG_DATA_HOME/quarn, or ~/.local/share/quarn; a relative $XDG_DATA_HOME is ignored, as the
// base directory rules say.
std::string UserSaveDir(const GamePaths::Places& places) {
  if (!places.xdgDataHome.empty() && places.xdgDataHome[0] == '/')
    return JoinPath(places.xdgDataHome, "quarn");
  if (!places.home.empty())
    return JoinPath(places.home, ".local/share/quarn");
  return {};
}

}  // namespace

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
  return saveDir.empty() ? std::string() : JoinPath(saveDir, "Quarn.sav");
}
std::string GamePaths::ScreenshotDir() const {
  return saveDir.empty() ? std::string() : JoinPath(saveDir, "screenshots");
}

std::string InstalledDataDir() {
  std::error_code error;
  const std::filesystem::path binary = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || binary.empty())
    return {};
  return (binary.parent_path() / QUARN_DATA_FROM_BINARY).lexically_normal().string();
}

GamePaths::Places GamePaths::ProcessPlaces(const std::string& dataDirOption) {
  Places places;
  places.dataOption = dataDirOption;
  places.installDataDir = InstalledDataDir();
  if (const char* xdg = std::getenv("XDG_DATA_HOME"))
    places.xdgDataHome = xdg;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    places.home = home;
  } else if (const passwd* account = getpwuid(getuid()); account != nullptr) {
    places.home = account->pw_dir != nullptr ? account->pw_dir : "";
  }
  return places;
}

GamePaths GamePaths::Resolve(const std::string& dataDirOption) {
  return Resolve(ProcessPlaces(dataDirOption));
}

GamePaths GamePaths::Resolve(const Places& places) {
  GamePaths paths;
  if (!places.dataOption.empty()) {
    paths.dataDir = places.dataOption;
    paths.source = Source::Option;
  } else if (HoldsData(places.workDir)) {
    paths.dataDir = places.workDir;
    paths.source = Source::WorkingDirectory;
  } else if (!places.installDataDir.empty() && HoldsData(places.installDataDir)) {
    paths.dataDir = places.installDataDir;
    paths.source = Source::Install;
  } else {
    // Without data the game still starts (and says so) in the working directory, but leaves
    // no save file there: it has no progress to keep.
    paths.dataDir = places.workDir;
    paths.source = Source::Nowhere;
  }
  if (!HoldsData(paths.dataDir))
    ReportMissingData(paths, places);
  if (paths.source == Source::Nowhere)
    return paths;
  // However the installed data was reached, nothing is written into the install.
  if (SameFolder(paths.dataDir, places.installDataDir))
    paths.source = Source::Install;

  if (paths.source != Source::Install && access(paths.dataDir.c_str(), W_OK) == 0) {
    paths.saveDir = paths.dataDir;
    return paths;
  }
  const std::string userDir = UserSaveDir(places);
  if (userDir.empty()) {
    platform::ReportProblem("HOME", "not set, and no home folder is known; progress is not saved");
    return paths;
  }
  std::error_code error;
  std::filesystem::create_directories(userDir, error);
  if (error) {
    platform::ReportProblem(userDir, "cannot make the folder for saved progress (" +
                                         error.message() + "); the game plays on without saving");
    return paths;
  }
  paths.saveDir = userDir;
  return paths;
}

}  // namespace quarn
