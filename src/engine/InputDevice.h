#pragma once
// One input device as the game sees it: its physical controls translated into logical axes
// and buttons by mappings that the scenes install. Operations in their fixed order.
#include <cstddef>

#include "platform/InputState.h"

namespace quarn {

class InputDevice {
 public:
  InputDevice() = default;
  virtual ~InputDevice() = default;
  InputDevice(const InputDevice&) = delete;
  InputDevice& operator=(const InputDevice&) = delete;

  // Binds the device to the state the input system polls every pass; instance names the
  // joystick slot (the keyboard and the mouse ignore it). False without a source.
  virtual bool Create(const platform::InputSnapshot* source, size_t instance);
  virtual void Release();
  virtual void RemoveAxis(int) {}
  virtual void RemoveButton(int) {}
  virtual void ClearMappings() {}
  // Reads this pass's state and updates every mapping. False, with nothing changed, while the
  // device cannot be acquired (the window has no focus) or was never created.
  virtual bool Update() = 0;
  // The logical axis id (-32767..32767, 0 inside its dead zone); 0 when not mapped.
  virtual int GetAxis(int) const { return 0; }
  // The logical button id: 1 held, 0 released or not mapped.
  virtual int GetButton(int) const { return 0; }

 protected:
  const platform::InputSnapshot* Source() const { return source_; }
  // The foreground rule: a device is read only while its window has the focus.
  bool Acquire() const { return source_ != nullptr && source_->acquirable; }

 private:
  const platform::InputSnapshot* source_ = nullptr;
};

}  // namespace quarn
