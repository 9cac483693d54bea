#include "engine/ButtonMap.h"

#include <algorithm>
#include <cstdlib>

namespace quarn {

void ButtonMap::AddDevice(InputDevice* device) {
  if (device == nullptr)
    return;
  if (std::find(devices_.begin(), devices_.end(), device) == devices_.end()) {
    devices_.push_back(device);
  }
}

void ButtonMap::AddAxis(int id, InputDevice* device) {
  axes_.try_emplace(id);
  AddDevice(device);
}

void ButtonMap::AddButton(int id, InputDevice* device) {
  buttons_.try_emplace(id);
  AddDevice(device);
}

void ButtonMap::Update() {
  for (auto& [id, axis] : axes_) {
    axis.previous = axis.current;
    axis.current = 0;
    // The largest deflection wins; on a tie the device registered first keeps it.
    for (InputDevice* device : devices_) {
      const int value = device->GetAxis(id);
      if (std::abs(value) > std::abs(axis.current))
        axis.current = value;
    }
  }
  for (auto& [id, button] : buttons_) {
    button.previous = button.current;
    button.current = 0;
    for (InputDevice* device : devices_) {
      if (device->GetButton(id) != 0) {
        button.current = 1;
        break;
      }
    }
  }
}

int ButtonMap::GetAxis(int id) const {
  const auto it = axes_.find(id);
  return it == axes_.end() ? 0 : it->second.current;
}

int ButtonMap::GetButton(int id) const {
  const auto it = buttons_.find(id);
  return it == buttons_.end() ? 0 : it->second.current;
}

bool ButtonMap::IsPressed(int id) const {
  const auto it = buttons_.find(id);
  return it != buttons_.end() && it->second.previous == 0 && it->second.current == 1;
}

bool ButtonMap::IsReleased(int id) const {
  const auto it = buttons_.find(id);
  return it != buttons_.end() && it->second.previous == 1 && it->second.current == 0;
}

}  // namespace quarn
