#include "engine/ComInitializer.h"

#include "platform/MediaLibrary.h"

namespace quarn {

namespace {
thread_local int initialisations = 0;
}

bool ComInitializer::Create() {
  ++initialisations;
  if (initialisations != 1) {
    --initialisations;
    return false;
  }
  created_ = true;
  platform::StartMediaLibrary();
  return true;
}

void ComInitializer::Release() {
  if (!created_)
    return;
  created_ = false;
  --initialisations;
}

}  // namespace quarn
