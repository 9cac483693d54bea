#include "platform/MediaLibrary.h"

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

namespace quarn::platform {

void StartMediaLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace quarn::platform
