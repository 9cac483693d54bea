#include "game/MediaFile.h"

#include <unistd.h>

#include "platform/Diagnostics.h"

namespace quarn {

MediaFile::MediaFile(const std::string& name)
    : file_(name, true), found_(!name.empty() && access(file_.GetPath().c_str(), R_OK) == 0) {
  if (!found_ && !name.empty())
    platform::ReportProblem(name, "not found (looked for " + file_.GetPath() + ")");
}

}  // namespace quarn
