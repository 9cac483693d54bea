#pragma once
// The input service: makes the keyboard, the mouse and a joystick per slot over an input
// backend (the real devices, or a recording played in their place), polls them all once per
// main-loop pass, adds joysticks plugged in later, and records every pass when asked.
#include <memory>
#include <string>
#include <vector>

#include "engine/DigestSource.h"
#include "engine/InputPilot.h"
#include "engine/InputRecorder.h"
#include "engine/Joystick.h"
#include "engine/Keyboard.h"
#include "engine/Mouse.h"
#include "engine/Service.h"
#include "platform/InputBackend.h"
#include "platform/Message.h"

namespace quarn {

class InputSystem : public Service<InputSystem>, public DigestSource {
 public:
  InputSystem();
  ~InputSystem() override;

  // Release first; then opens the backend (the replay file when one is set, else the real
  // devices on window) and makes the devices. False when there is no input at all (a replay
  // that cannot be read); LastError says why. No joystick is not a failure.
  virtual bool Create(platform::WindowHandle window);
  // Ends any recording and lets go of every device.
  virtual void Release();
  // Polls every device once; true when every device could be read.
  virtual bool Update();

  platform::WindowHandle GetWindow() const { return window_; }
  platform::InputBackend* GetBackend() const { return backend_.get(); }
  Keyboard* GetKeyboard() const { return keyboard_.get(); }
  // Null when index is not below the number of joysticks.
  Joystick* GetJoystick(size_t index) const;
  size_t JoystickCount() const { return joysticks_.size(); }

  // Set before Create. A backend given here replaces the real devices (tests).
  void UseBackend(std::unique_ptr<platform::InputBackend> backend);
  // Plays the recording in path instead of the real devices; empty: the real devices.
  void SetReplayFile(std::string path) { replayFile_ = std::move(path); }
  // Records every pass into path; empty: no recording.
  void SetRecordFile(std::string path) { recordFile_ = std::move(path); }

  // True once a replay has played its last recorded pass.
  bool InputEnded() const { return backend_ != nullptr && !backend_->HasMoreInput(); }
  // What the last pass polled: what the devices read and what is recorded.
  const platform::InputSnapshot& LastSnapshot() const { return snapshot_; }
  const std::string& LastError() const { return lastError_; }

  void AddToDigest(StateDigest& digest) const override;
  // From the next pass on, pilot changes what the devices report (null: nobody does). Set
  // before Create, the devices get a joystick for it.
  void SetPilot(InputPilot* pilot) { pilot_ = pilot; }
  // Rumbles joystick 0, when it can (strength 0 to 1).
  bool Rumble(float strength, float seconds);

 private:
  std::unique_ptr<platform::InputBackend> MakeBackend();
  void AddJoysticks(size_t count);

  platform::WindowHandle window_ = nullptr;
  std::unique_ptr<platform::InputBackend> injected_;
  std::unique_ptr<platform::InputBackend> backend_;
  platform::InputSnapshot snapshot_;
  std::unique_ptr<Keyboard> keyboard_;
  std::unique_ptr<Mouse> mouse_;
  std::vector<std::unique_ptr<Joystick>> joysticks_;
  InputRecorder recorder_;
  std::string replayFile_;
  std::string recordFile_;
  std::string lastError_;
  InputPilot* pilot_ = nullptr;
};

}  // namespace quarn
