#pragma once
// The command line: the original game took none; a Linux player and our tests expect one.
#include <string>
#include <vector>

namespace quarn {

struct ScreenshotRequest {
  long frame = 0;  // after this many updates
  std::string file;
};

struct LaunchOptions {
  bool windowed = false;
  int scale = 1;
  std::string dataDir;    // empty: the working directory
  bool headless = false;  // offscreen GL, no audio device, no real-time waiting
  long frames = 0;        // end normally after this many updates (0: no limit)
  std::vector<ScreenshotRequest> screenshots;
  std::string recordFile;
  std::string replayFile;
  bool digest = false;
  // Straight into a stage, with the choices a menu would have made (empty: the menus).
  std::string stageFile;
  std::string aircraftFile;
  std::string primaryFile;
  std::string secondaryFile;
  std::string stageLog;    // JSON lines of what happens in stages
  bool noRender = false;   // headless: draw only the frames asked for by --screenshot-at
  std::string labFile;     // one mesh, effect, projectile, ground, unit or weapon file alone
  bool demoPilot = false;  // the computer flies the player's aircraft
};

enum class LaunchAction { Run, Help, Version, UsageError };

// Parses argv[1..]; on UsageError *error says what was wrong.
LaunchAction ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options,
                                std::string* error);
std::string UsageText();
std::string VersionText();

}  // namespace quarn
