#include "engine/ScreenshotWriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "gfxutil/ImageWriter.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// Makes dir and any missing parents.
bool MakeFolders(const std::string& dir) {
  if (dir.empty() || Exists(dir))
    return true;
  const size_t slash = dir.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(dir.substr(0, slash)))
    return false;
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace

void ScreenshotWriter::SetRequests(std::vector<ScreenshotRequest> requests) {
  pending_ = std::move(requests);
  std::stable_sort(
      pending_.begin(), pending_.end(),
      [](const ScreenshotRequest& a, const ScreenshotRequest& b) { return a.frame < b.frame; });
}

void ScreenshotWriter::AfterPresent(long updates, platform::RenderDevice& device) {
  while (!pending_.empty() && pending_.front().frame <= updates) {
    Save(device, pending_.front().file);
    pending_.erase(pending_.begin());
  }
}

void ScreenshotWriter::Finish(long updates, platform::RenderDevice* device) {
  for (const ScreenshotRequest& request : pending_) {
    if (request.frame <= updates && device != nullptr) {
      Save(*device, request.file);
    } else {
      platform::ReportProblem(request.file, "not written: the game ended after " +
                                                std::to_string(updates) + " updates");
    }
  }
  pending_.clear();
}

std::string ScreenshotWriter::SaveInFolder(platform::RenderDevice& device,
                                           const std::string& folder, std::time_t now) {
  if (!MakeFolders(folder)) {
    platform::ReportProblem(folder, std::string("cannot make the folder: ") + std::strerror(errno));
    return {};
  }
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int number = 1; number < 10000; ++number) {
    const std::string name = "quarn-" + std::string(stamp) + "-" + std::to_string(number) + ".png";
    const std::string path =
        folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
    if (!Exists(path))
      return Save(device, path) ? path : std::string();
  }
  platform::ReportProblem(folder, "too many screenshots in one second");
  return {};
}

bool ScreenshotWriter::Save(platform::RenderDevice& device, const std::string& path) {
  std::vector<platform::Argb> pixels;
  uint32_t width = 0, height = 0;
  if (!device.ReadBackBuffer(pixels, &width, &height)) {
    platform::ReportProblem(path, "cannot read the picture back");
    return false;
  }
  std::string error;
  if (!gfx::ImageWriter::WritePng(path, pixels.data(), width, height, width, false, &error)) {
    platform::ReportProblem(path, "cannot write the screenshot: " + error);
    return false;
  }
  return true;
}

}  // namespace quarn
