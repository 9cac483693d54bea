#pragma once
// Where the input devices' state comes from: the real keyboard, mouse and joysticks, or a
// recording played back in their place. The engine's devices only ever see what Poll returns.
#include <cstddef>

#include "platform/InputState.h"

namespace quarn::platform {

class InputBackend {
 public:
  virtual ~InputBackend() = default;

  // Makes the devices readable: opens the joysticks attached now, starts listening. False when
  // there is no input at all; a missing joystick subsystem is not a failure (keyboard alone).
  virtual bool Start() = 0;
  // Joystick slots known at this moment (every one attached at Start, plus any added since).
  virtual size_t JoystickCount() const = 0;
  // The state of every device for this main-loop pass; called once per pass. The keyboard and
  // the mouse always exist; snapshot->joysticks gets one entry per slot. False when there is no
  // input left (a replay after its last update): the snapshot then holds everything at rest.
  virtual bool Poll(InputSnapshot* snapshot) = 0;
  // False once every recorded pass has been polled; a live backend always has more.
  virtual bool HasMoreInput() const = 0;
  // Shakes joystick slot's motors at strength (0 to 1) for seconds; false (nothing happens)
  // for a pad that cannot rumble, an empty slot, or a recording.
  virtual bool Rumble(size_t slot, float strength, float seconds) {
    (void)slot, (void)strength, (void)seconds;
    return false;
  }
};

}  // namespace quarn::platform
