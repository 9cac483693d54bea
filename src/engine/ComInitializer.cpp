#include "engine/ComInitializer.h"

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
  return true;
}

void ComInitializer::Release() {
  if (!created_)
    return;
  created_ = false;
  --initialisations;
}

}  // namespace quarn
