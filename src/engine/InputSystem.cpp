#include "engine/InputSystem.h"

#include <algorithm>

#include "engine/Concat.h"
#include "platform/Diagnostics.h"
#include "platform/ReplayInputBackend.h"
#include "platform/SdlInputBackend.h"

namespace quarn {

InputSystem::InputSystem() = default;

InputSystem::~InputSystem() {
  Release();
}

void InputSystem::UseBackend(std::unique_ptr<platform::InputBackend> backend) {
  injected_ = std::move(backend);
}

Joystick* InputSystem::GetJoystick(size_t index) const {
  return index < joysticks_.size() ? joysticks_[index].get() : nullptr;
}

std::unique_ptr<platform::InputBackend> InputSystem::MakeBackend() {
  if (injected_ != nullptr)
    return std::move(injected_);
  if (replayFile_.empty())
    return std::make_unique<platform::SdlInputBackend>(window_);
  platform::InputRecording recording;
  std::string problem;
  if (!ReadInputRecording(replayFile_, &recording, &problem)) {
    lastError_ = Concat(replayFile_, ": ", problem);
    return nullptr;
  }
  // A damaged recording still plays what it holds.
  if (!problem.empty()) {
    platform::ReportProblem(replayFile_,
                            Concat(problem, "; playing the ", std::to_string(recording.updateCount),
                                   " updates before it"));
  }
  return std::make_unique<platform::ReplayInputBackend>(std::move(recording), window_);
}

bool InputSystem::Create(platform::WindowHandle window) {
  Release();
  lastError_.clear();
  window_ = window;
  backend_ = MakeBackend();
  if (backend_ == nullptr || !backend_->Start()) {
    if (lastError_.empty())
      lastError_ = "no input devices";
    backend_.reset();
    return false;
  }
  snapshot_ = platform::InputSnapshot{};
  keyboard_ = std::make_unique<Keyboard>();
  keyboard_->Create(&snapshot_, 0);
  mouse_ = std::make_unique<Mouse>();
  mouse_->Create(&snapshot_, 0);
  // A pilot plays with a stick of its own: slot 0 is there from the start, so every scene
  // binds it, and a recording of its play says so.
  AddJoysticks(std::max<size_t>(backend_->JoystickCount(), pilot_ != nullptr ? 1 : 0));
  if (!recordFile_.empty() && !recorder_.Open(recordFile_, joysticks_.size())) {
    platform::ReportProblem(recordFile_, "cannot be written; playing without recording");
  }
  return true;
}

void InputSystem::AddJoysticks(size_t count) {
  // Slots only ever grow; a joystick made now has no mappings until the next scene.
  while (joysticks_.size() < count) {
    auto joystick = std::make_unique<Joystick>();
    joystick->Create(&snapshot_, joysticks_.size());
    joysticks_.push_back(std::move(joystick));
  }
}

void InputSystem::Release() {
  recorder_.Close();
  keyboard_.reset();
  mouse_.reset();
  joysticks_.clear();
  backend_.reset();
  window_ = nullptr;
}

bool InputSystem::Update() {
  if (backend_ == nullptr)
    return false;
  backend_->Poll(&snapshot_);
  if (pilot_ != nullptr)
    pilot_->Steer(snapshot_);
  AddJoysticks(snapshot_.joysticks.size());
  recorder_.Record(snapshot_);
  bool all = keyboard_->Update();
  all = mouse_->Update() && all;
  for (auto& joystick : joysticks_)
    all = joystick->Update() && all;
  return all;
}

void InputSystem::AddToDigest(StateDigest& digest) const {
  const platform::InputSnapshot& s = snapshot_;
  digest.AddInt(s.acquirable ? 1 : 0);
  digest.AddBytes(s.keyboard.keys.data(), s.keyboard.keys.size());
  digest.AddInt(s.mouse.x);
  digest.AddInt(s.mouse.y);
  digest.AddInt(s.mouse.wheel);
  digest.AddBytes(s.mouse.buttons.data(), s.mouse.buttons.size());
  digest.AddInt(static_cast<int64_t>(s.joysticks.size()));
  for (const platform::JoystickState& joystick : s.joysticks) {
    digest.AddInt(joystick.attached ? 1 : 0);
    for (int32_t axis : joystick.axes)
      digest.AddInt(axis);
    for (int32_t slider : joystick.sliders)
      digest.AddInt(slider);
    for (uint32_t hat : joystick.hats)
      digest.AddInt(hat);
    digest.AddBytes(joystick.buttons.data(), joystick.buttons.size());
  }
}

bool InputSystem::Rumble(float strength, float seconds) {
  return backend_ != nullptr && backend_->Rumble(0, strength, seconds);
}

}  // namespace quarn
