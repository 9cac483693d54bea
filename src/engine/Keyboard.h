#pragma once
// The keyboard: 256 scan-code keys; logical buttons follow one key each, and logical axes ramp
// by a fixed step while their positive or negative key is held.
#include <cstdint>
#include <map>

#include "engine/InputDevice.h"

namespace quarn {

class Keyboard final : public InputDevice {
 public:
  static constexpr int kAxisLimit = 32767;

  void RemoveAxis(int id) override { axes_.erase(id); }
  void RemoveButton(int id) override { buttons_.erase(id); }
  void ClearMappings() override;
  bool Update() override;
  int GetAxis(int id) const override;
  int GetButton(int id) const override;
  // Whether the key with this scan code was down at the last read.
  bool GetKey(uint8_t code) const;

  // Each adds a mapping only if id is not mapped yet; an existing one stays as it is.
  void AddKeyAxis(int id, uint8_t positiveKey, uint8_t negativeKey, int step, unsigned deadZone);
  void AddKeyButton(int id, uint8_t key);

 private:
  struct KeyAxis {
    uint8_t positiveKey;
    uint8_t negativeKey;
    int step;
    unsigned deadZone;
    int value = 0;
  };
  struct KeyButton {
    uint8_t key;
    int state = 0;
  };

  void UpdateAxis(KeyAxis& axis) const;

  platform::KeyboardState keys_;
  std::map<int, KeyAxis> axes_;
  std::map<int, KeyButton> buttons_;
};

}  // namespace quarn
