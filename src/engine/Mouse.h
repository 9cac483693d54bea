#pragma once
// The mouse: polled every pass but bound to nothing; its movement, wheel and eight buttons
// can be read raw.
#include "engine/InputDevice.h"

namespace quarn {

class Mouse final : public InputDevice {
 public:
  bool Update() override;
  // 1: x movement, 2: y movement, 3: wheel (120 per notch) since the previous pass; else 0.
  int GetRawAxis(int axis) const;
  // 1 while button 1 to 8 (left, right, middle, then the side buttons) is held; else 0.
  int GetRawButton(int button) const;

 private:
  platform::MouseState state_;
};

}  // namespace quarn
