#include "engine/InputDevice.h"

namespace quarn {

bool InputDevice::Create(const platform::InputSnapshot* source, size_t) {
  Release();
  if (source == nullptr)
    return false;
  source_ = source;
  return true;
}

void InputDevice::Release() {
  source_ = nullptr;
}

}  // namespace quarn
