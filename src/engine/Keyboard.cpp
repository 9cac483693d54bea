#include "engine/Keyboard.h"

#include <algorithm>
#include <cstdlib>

#include "engine/AxisValue.h"

namespace quarn {

void Keyboard::ClearMappings() {
  axes_.clear();
  buttons_.clear();
}

void Keyboard::AddKeyAxis(int id, uint8_t positiveKey, uint8_t negativeKey, int step,
                          unsigned deadZone) {
  axes_.try_emplace(id, KeyAxis{positiveKey, negativeKey, step, deadZone});
}

void Keyboard::AddKeyButton(int id, uint8_t key) {
  buttons_.try_emplace(id, KeyButton{key});
}

bool Keyboard::GetKey(uint8_t code) const {
  return (keys_.keys[code] & platform::kKeyDown) != 0;
}

void Keyboard::UpdateAxis(KeyAxis& axis) const {
  const bool positive = GetKey(axis.positiveKey);
  const bool negative = GetKey(axis.negativeKey);
  // Wide arithmetic: a large step must clamp, not overflow.
  int64_t value = axis.value;
  if (positive && !negative) {
    value += axis.step;
  } else if (negative && !positive) {
    value -= axis.step;
  } else if (!positive && !negative) {
    // Back toward zero by whole steps; a value off the step grid swings past zero.
    if (value > 0) {
      value -= axis.step;
    } else if (value < 0) {
      value += axis.step;
    }
  }
  axis.value = static_cast<int>(std::clamp<int64_t>(value, -kAxisLimit, kAxisLimit));
}

bool Keyboard::Update() {
  if (!Acquire())
    return false;
  keys_ = Source()->keyboard;
  for (auto& [id, axis] : axes_)
    UpdateAxis(axis);
  for (auto& [id, button] : buttons_)
    button.state = GetKey(button.key) ? 1 : 0;
  return true;
}

int Keyboard::GetAxis(int id) const {
  const auto it = axes_.find(id);
  return it == axes_.end() ? 0 : OutsideDeadZone(it->second.value, it->second.deadZone);
}

int Keyboard::GetButton(int id) const {
  const auto it = buttons_.find(id);
  return it == buttons_.end() ? 0 : it->second.state;
}

}  // namespace quarn
