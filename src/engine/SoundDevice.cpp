#include "engine/SoundDevice.h"

namespace quarn {

bool SoundDevice::Create(platform::WindowHandle, int) {
  return true;
}
void SoundDevice::Release() {}

}  // namespace quarn
