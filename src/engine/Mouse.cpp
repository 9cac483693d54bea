#include "engine/Mouse.h"

namespace quarn {

bool Mouse::Update() {
  if (!Acquire())
    return false;
  state_ = Source()->mouse;
  return true;
}

int Mouse::GetRawAxis(int axis) const {
  switch (axis) {
    case 1:
      return state_.x;
    case 2:
      return state_.y;
    case 3:
      return state_.wheel;
    default:
      return 0;
  }
}

int Mouse::GetRawButton(int button) const {
  if (button < 1 || button > platform::kMouseButtons)
    return 0;
  return (state_.buttons[button - 1] & platform::kKeyDown) != 0 ? 1 : 0;
}

}  // namespace quarn
