#include "engine/LaunchOptions.h"

#include <charconv>
#include <cstring>

namespace quarn {

namespace {
bool ParseLong(const std::string& text, long min, long* out) {
  long value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < min)
    return false;
  *out = value;
  return true;
}
}  // namespace

std::string UsageText() {
  return "usage: quarn [OPTION]...\n"
         "Plays Quarn from Data.acv (or the loose files under Data/) in the data folder.\n"
         "\n"
         "  --windowed             play in a window instead of full screen\n"
         "  --scale N              window size: N times 640 x 480 (default 1)\n"
         "  --data DIR             folder holding Data.acv (default: the working directory\n"
         "                         when it holds the data, else the installed data)\n"
         "  --headless             no window on screen, no sound, no waiting (tests)\n"
         "  --frames N             end normally after N game updates\n"
         "  --screenshot-at F:FILE write the picture after update F as a PNG (repeatable)\n"
         "  --record FILE          record every device's input at every update\n"
         "  --replay FILE          play recorded input instead of the devices\n"
         "  --digest               print a digest of the game state at the end\n"
         "  --stage FILE           start straight in a stage (then the menus as usual)\n"
         "  --aircraft FILE        with --stage: the aircraft (default Aircraft1.txt)\n"
         "  --primary FILE         with --stage: the first weapon (default Gun.txt)\n"
         "  --secondary FILE       with --stage: the second weapon (default Missile.txt)\n"
         "  --stage-log FILE       write what happens in stages as JSON lines\n"
         "  --no-render            with --headless: draw only the --screenshot-at frames\n"
         "  --lab FILE             show one mesh, effect, projectile, ground, unit or weapon\n"
         "                         file alone (in the lab: B breaks a unit, Space fires)\n"
         "  --demo-pilot           the computer flies the player's aircraft\n"
         "  --help                 show this text\n"
         "  --version              show the version\n"
         "\n"
         "In the game: Escape quits, Pause pauses, Alt+Enter switches full screen,\n"
         "F12 saves a screenshot.\n";
}

std::string VersionText() {
  return "quarn " QUARN_VERSION "\n";
}

LaunchAction ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options,
                                std::string* error) {
  *options = LaunchOptions{};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = "option " + arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h")
      return LaunchAction::Help;
    if (arg == "--version")
      return LaunchAction::Version;
    if (arg == "--windowed") {
      options->windowed = true;
    } else if (arg == "--headless") {
      options->headless = true;
    } else if (arg == "--digest") {
      options->digest = true;
    } else if (arg == "--scale") {
      long scale = 0;
      if (!value(&text))
        return LaunchAction::UsageError;
      if (!ParseLong(text, 1, &scale) || scale > 16) {
        *error = "--scale needs a whole number from 1 to 16, not '" + text + "'";
        return LaunchAction::UsageError;
      }
      options->scale = static_cast<int>(scale);
    } else if (arg == "--data") {
      if (!value(&options->dataDir))
        return LaunchAction::UsageError;
    } else if (arg == "--frames") {
      if (!value(&text))
        return LaunchAction::UsageError;
      if (!ParseLong(text, 1, &options->frames)) {
        *error = "--frames needs a positive whole number, not '" + text + "'";
        return LaunchAction::UsageError;
      }
    } else if (arg == "--screenshot-at") {
      if (!value(&text))
        return LaunchAction::UsageError;
      const size_t colon = text.find(':');
      ScreenshotRequest request;
      if (colon == std::string::npos || colon + 1 == text.size() ||
          !ParseLong(text.substr(0, colon), 0, &request.frame)) {
        *error = "--screenshot-at needs FRAME:FILE, not '" + text + "'";
        return LaunchAction::UsageError;
      }
      request.file = text.substr(colon + 1);
      options->screenshots.push_back(request);
    } else if (arg == "--no-render") {
      options->noRender = true;
    } else if (arg == "--demo-pilot") {
      options->demoPilot = true;
    } else if (arg == "--stage") {
      if (!value(&options->stageFile))
        return LaunchAction::UsageError;
    } else if (arg == "--aircraft") {
      if (!value(&options->aircraftFile))
        return LaunchAction::UsageError;
    } else if (arg == "--primary") {
      if (!value(&options->primaryFile))
        return LaunchAction::UsageError;
    } else if (arg == "--secondary") {
      if (!value(&options->secondaryFile))
        return LaunchAction::UsageError;
    } else if (arg == "--stage-log") {
      if (!value(&options->stageLog))
        return LaunchAction::UsageError;
    } else if (arg == "--lab") {
      if (!value(&options->labFile))
        return LaunchAction::UsageError;
    } else if (arg == "--record") {
      if (!value(&options->recordFile))
        return LaunchAction::UsageError;
    } else if (arg == "--replay") {
      if (!value(&options->replayFile))
        return LaunchAction::UsageError;
    } else {
      *error = "unknown option '" + arg + "'";
      return LaunchAction::UsageError;
    }
  }
  if (options->stageFile.empty() &&
      (!options->aircraftFile.empty() || !options->primaryFile.empty() ||
       !options->secondaryFile.empty())) {
    *error = "--aircraft, --primary and --secondary choose for --stage";
    return LaunchAction::UsageError;
  }
  if (options->noRender && !options->headless) {
    *error = "--no-render needs --headless";
    return LaunchAction::UsageError;
  }
  if (!options->labFile.empty() && !options->stageFile.empty()) {
    *error = "--lab and --stage cannot be used together";
    return LaunchAction::UsageError;
  }
  if (options->demoPilot && !options->replayFile.empty()) {
    *error = "--demo-pilot plays instead of a replay; the recording already holds its moves";
    return LaunchAction::UsageError;
  }
  if (!options->recordFile.empty() && !options->replayFile.empty()) {
    *error = "--record and --replay cannot be used together";
    return LaunchAction::UsageError;
  }
  return LaunchAction::Run;
}

}  // namespace quarn
