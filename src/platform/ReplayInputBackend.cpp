#include "platform/ReplayInputBackend.h"

#include <algorithm>
#include <utility>

#include "platform/ScanCodes.h"

namespace quarn::platform {

ReplayInputBackend::ReplayInputBackend(InputRecording recording, WindowHandle window)
    : recording_(std::move(recording)), window_(window), slots_(recording_.joysticksAtStart) {}

bool ReplayInputBackend::Start() {
  if (recording_.updateCount > 0)
    PostKeyChanges(KeyboardState{}, StateAt(0).keyboard);
  return true;
}

const InputSnapshot& ReplayInputBackend::StateAt(long update) {
  static const InputSnapshot kRest;
  const auto& changes = recording_.changes;
  if (changes.empty() || update < changes.front().update)
    return kRest;
  while (change_ + 1 < changes.size() && changes[change_ + 1].update <= update)
    ++change_;
  return changes[change_].snapshot;
}

void ReplayInputBackend::PostKeyChanges(const KeyboardState& from, const KeyboardState& to) {
  if (window_ == nullptr)
    return;
  auto queue = MessageQueue::Current();
  for (int code = 0; code < 256; ++code) {
    const bool wasDown = (from.keys[code] & kKeyDown) != 0;
    const bool isDown = (to.keys[code] & kKeyDown) != 0;
    if (wasDown == isDown)
      continue;
    const uintptr_t key = VirtualKeyFromScanCode(static_cast<uint8_t>(code));
    if (key == 0)
      continue;
    queue->Post(Message{window_, isDown ? kWmKeyDown : kWmKeyUp, key, 0});
  }
}

bool ReplayInputBackend::Poll(InputSnapshot* snapshot) {
  if (!HasMoreInput()) {
    *snapshot = InputSnapshot{};
    snapshot->joysticks.assign(slots_, JoystickState::AtRest(false));
    return false;
  }
  *snapshot = StateAt(next_);
  // Slots never shrink, whatever the file says.
  slots_ = std::max(slots_, snapshot->joysticks.size());
  if (snapshot->joysticks.size() < slots_)
    snapshot->joysticks.resize(slots_);
  ++next_;
  if (HasMoreInput()) {
    const KeyboardState now = snapshot->keyboard;
    PostKeyChanges(now, StateAt(next_).keyboard);
  }
  return true;
}

}  // namespace quarn::platform
