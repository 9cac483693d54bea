#pragma once
// Where the game finds its data and keeps its save file and screenshots.
#include <string>

namespace quarn {

struct GamePaths {
  std::string dataDir;              // holds Data.acv and the loose Data/ folder; "." by default
  std::string saveDir;              // holds Quarn.sav: the data folder, or a per-user folder
  std::string ArchiveBase() const;  // the archive is this + ".acv", loose files under this + "/"
  std::string SaveFile() const;
  std::string ScreenshotDir() const;

  // The save file stays beside the data unless that folder cannot be written to; then it
  // goes to $XDG_DATA_HOME/quarn (or ~/.local/share/quarn).
  static GamePaths Resolve(const std::string& dataDirOption);
};

// dir + "/" + name, without doubling the slash.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace quarn
