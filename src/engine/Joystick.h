#pragma once
// A joystick or gamepad slot: six axes on 0..65535 (centre 32767), 32 buttons. Logical axes
// follow a stick with a slew limit of one step per update; logical buttons follow a button or
// a stick pushed past a threshold.
#include <map>

#include "engine/InputDevice.h"

namespace quarn {

class Joystick final : public InputDevice {
 public:
  static constexpr int kCentre = 0x7FFF;

  // instance: the slot in the polled state this joystick reads.
  bool Create(const platform::InputSnapshot* source, size_t instance) override;
  void RemoveAxis(int id) override;
  void RemoveButton(int id) override;
  void ClearMappings() override;
  bool Update() override;
  int GetAxis(int id) const override;
  int GetButton(int id) const override;

  // Each adds a mapping only if id is not mapped yet; an existing one stays as it is.
  // physicalAxis: 1 x, 2 y, 3 z, 4 to 6 the rotations; step > 0.
  void AddStickAxis(int id, int physicalAxis, int step, unsigned deadZone);
  // physicalButton 1 to 32.
  void AddStickButton(int id, int physicalButton);
  // Held while the axis is past threshold from the centre (above it when positive, below it
  // when negative; 0 never holds).
  void AddStickDirectionButton(int id, int physicalAxis, int threshold);

  // The reading of physical axis 1 to 6 (0..65535); 0 for any other number.
  int GetRawAxis(int physicalAxis) const;
  // 1 while physical button 1 to 32 is held; 0 otherwise or for any other number.
  int GetRawButton(int physicalButton) const;
  size_t Slot() const { return slot_; }

 private:
  struct StickAxis {
    int physicalAxis;
    int step;
    unsigned deadZone;
    int value = 0;
  };
  struct StickButton {
    int physicalButton;  // 0: none
    int physicalAxis;    // 0: none
    int threshold;
    int state = 0;
  };

  void UpdateAxis(StickAxis& axis) const;
  int ButtonState(const StickButton& button) const;

  size_t slot_ = 0;
  platform::JoystickState state_ = platform::JoystickState::AtRest(false);
  std::map<int, StickAxis> axes_;
  std::map<int, StickButton> buttons_;
};

}  // namespace quarn
