#pragma once
// Saves the picture on the screen as PNG files: on the player's request into the screenshot
// folder under a name made of the date, the time and a number, and after given updates into
// named files (--screenshot-at, for tests and bug reports).
#include <ctime>
#include <string>
#include <vector>

#include "engine/LaunchOptions.h"
#include "platform/RenderDevice.h"

namespace quarn {

class ScreenshotWriter {
 public:
  // The pictures to write after given updates; a request for a pass that is not drawn is
  // written after the next picture that is.
  void SetRequests(std::vector<ScreenshotRequest> requests);
  bool HasPendingRequests() const { return !pending_.empty(); }
  // Whether a request is due `updates` updates into the run.
  bool WantsPicture(long updates) const {
    return !pending_.empty() && pending_.front().frame <= updates;
  }

  // After a picture was shown, `updates` updates into the run: writes every request reached.
  void AfterPresent(long updates, platform::RenderDevice& device);
  // At the end of the run: requests whose update was reached get the last picture; the others
  // are reported as never reached.
  void Finish(long updates, platform::RenderDevice* device);

  // Saves the back buffer as folder/quarn-YYYYMMDD-HHMMSS-N.png (N from 1, the first name not
  // taken), making the folder if needed. The path written, or empty after reporting why not.
  static std::string SaveInFolder(platform::RenderDevice& device, const std::string& folder,
                                  std::time_t now);
  // Saves the back buffer as a PNG file; false after reporting why not.
  static bool Save(platform::RenderDevice& device, const std::string& path);

 private:
  std::vector<ScreenshotRequest> pending_;  // in frame order
};

}  // namespace quarn
