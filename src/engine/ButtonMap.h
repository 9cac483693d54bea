#pragma once
// A scene's logical axes and buttons: every registered device is asked about every registered
// id, the strongest axis deflection wins, a button is held when any device holds it, and the
// previous pass is kept for press and release edges.
#include <map>
#include <vector>

#include "engine/InputDevice.h"

namespace quarn {

class ButtonMap {
 public:
  ButtonMap() = default;
  virtual ~ButtonMap() = default;

  // Once per frame, after the main loop has polled the devices.
  virtual void Update();
  // The current value; 0 for an id that is not registered.
  virtual int GetAxis(int id) const;
  // The current state (1 held); 0 for an id that is not registered.
  virtual int GetButton(int id) const;
  // Held now and not at the previous update.
  virtual bool IsPressed(int id) const;
  // Held at the previous update and not now.
  virtual bool IsReleased(int id) const;

  // Registers id (starting released and at 0) and device (once; null adds no device).
  void AddAxis(int id, InputDevice* device);
  void AddButton(int id, InputDevice* device);

 private:
  struct Pair {
    int previous = 0;
    int current = 0;
  };

  void AddDevice(InputDevice* device);

  std::vector<InputDevice*> devices_;
  std::map<int, Pair> axes_;
  std::map<int, Pair> buttons_;
};

}  // namespace quarn
