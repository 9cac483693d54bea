#pragma once
// Where the game finds its data and keeps its save file and screenshots.
#include <string>

namespace quarn {

struct GamePaths {
  // Where the data was found.
  enum class Source { Option, WorkingDirectory, Install, Nowhere };

  // What the lookup reads from the process (ProcessPlaces); tests fill it themselves.
  struct Places {
    std::string dataOption;      // --data DIR; empty when not given
    std::string workDir = ".";   // the working directory
    std::string installDataDir;  // the installed data beside the binary; empty: unknown
    std::string xdgDataHome;     // $XDG_DATA_HOME
    std::string home;            // $HOME, or the account's home folder
  };

  std::string dataDir;  // holds Data.acv and the loose Data/ folder; "." by default
  std::string saveDir;  // holds Quarn.sav and screenshots/; empty: nothing can be kept
  Source source = Source::Nowhere;

  std::string ArchiveBase() const;  // the archive is this + ".acv", loose files under this + "/"
  std::string SaveFile() const;     // empty when there is no save folder
  std::string ScreenshotDir() const;

  // The data comes from --data DIR when given, else from the working directory when it holds
  // Data.acv or Data/, else from the installed data; a missing data set is one line naming
  // where the game looked, and nothing is saved. Progress stays beside the data unless that is
  // the installed copy or a folder that cannot be written to; then it goes to
  // $XDG_DATA_HOME/quarn (or ~/.local/share/quarn), made here. A folder that cannot be made is
  // one line, and the game plays on without saving.
  static GamePaths Resolve(const Places& places);
  // The same with the places of this process.
  static GamePaths Resolve(const std::string& dataDirOption);
  static Places ProcessPlaces(const std::string& dataDirOption);
};

// The installed data folder of the running binary (its folder and the install's layout), so
// that a moved or relocated install still finds its data; empty when it cannot be told.
std::string InstalledDataDir();

// dir + "/" + name, without doubling the slash.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace quarn
