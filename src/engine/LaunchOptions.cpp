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
  if (!options->recordFile.empty() && !options->replayFile.empty()) {
    *error = "--record and --replay cannot be used together";
    return LaunchAction::UsageError;
  }
  return LaunchAction::Run;
}

}  // namespace quarn
