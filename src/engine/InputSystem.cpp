#include "engine/InputSystem.h"

namespace quarn {

bool InputSystem::Create(platform::WindowHandle) {
  return true;
}
void InputSystem::Release() {}
bool InputSystem::Update() {
  return true;
}

}  // namespace quarn
