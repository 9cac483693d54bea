#include "engine/Joystick.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/AxisValue.h"

namespace quarn {

bool Joystick::Create(const platform::InputSnapshot* source, size_t instance) {
  if (!InputDevice::Create(source, instance))
    return false;
  slot_ = instance;
  return true;
}

void Joystick::RemoveAxis(int id) {
  axes_.erase(id);
}
void Joystick::RemoveButton(int id) {
  buttons_.erase(id);
}

void Joystick::ClearMappings() {
  axes_.clear();
  buttons_.clear();
}

void Joystick::AddStickAxis(int id, int physicalAxis, int step, unsigned deadZone) {
  axes_.try_emplace(id, StickAxis{physicalAxis, step, deadZone});
}

void Joystick::AddStickButton(int id, int physicalButton) {
  buttons_.try_emplace(id, StickButton{physicalButton, 0, 0});
}

void Joystick::AddStickDirectionButton(int id, int physicalAxis, int threshold) {
  buttons_.try_emplace(id, StickButton{0, physicalAxis, threshold});
}

int Joystick::GetRawAxis(int physicalAxis) const {
  if (physicalAxis < 1 || physicalAxis > platform::kJoystickAxes)
    return 0;
  return state_.axes[physicalAxis - 1];
}

int Joystick::GetRawButton(int physicalButton) const {
  if (physicalButton < 1 || physicalButton > platform::kJoystickButtons)
    return 0;
  return (state_.buttons[physicalButton - 1] & platform::kKeyDown) != 0 ? 1 : 0;
}

void Joystick::UpdateAxis(StickAxis& axis) const {
  const int64_t raw = GetRawAxis(axis.physicalAxis) - kCentre;
  const int64_t diff = raw - axis.value;
  int64_t value = raw;
  if (std::llabs(diff) > axis.step)
    value = axis.value + (diff > 0 ? axis.step : -axis.step);
  // Readings never leave -32767..32768; this only keeps a nonsensical step from overflowing.
  axis.value =
      static_cast<int>(std::clamp<int64_t>(value, -platform::kAxisMax, platform::kAxisMax));
}

int Joystick::ButtonState(const StickButton& button) const {
  if (button.physicalButton != 0)
    return GetRawButton(button.physicalButton);
  if (button.physicalAxis == 0)
    return 0;
  const int off = GetRawAxis(button.physicalAxis) - kCentre;
  if (button.threshold > 0 && off > button.threshold)
    return 1;
  if (button.threshold < 0 && off < button.threshold)
    return 1;
  return 0;
}

bool Joystick::Update() {
  if (!Acquire())
    return false;
  const auto& joysticks = Source()->joysticks;
  // A slot the poll does not list reads as an unplugged device: centred and released.
  state_ = slot_ < joysticks.size() ? joysticks[slot_] : platform::JoystickState::AtRest(false);
  for (auto& [id, axis] : axes_)
    UpdateAxis(axis);
  for (auto& [id, button] : buttons_)
    button.state = ButtonState(button);
  return true;
}

int Joystick::GetAxis(int id) const {
  const auto it = axes_.find(id);
  return it == axes_.end() ? 0 : OutsideDeadZone(it->second.value, it->second.deadZone);
}

int Joystick::GetButton(int id) const {
  const auto it = buttons_.find(id);
  return it == buttons_.end() ? 0 : it->second.state;
}

}  // namespace quarn
