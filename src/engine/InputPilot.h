#pragma once
// Something that plays the game in the player's place: once a pass, after the devices were
// read and before the pass is recorded, it may change what they report (hold keys, move a
// stick), so that it drives the game through the same bindings a player uses and a recording
// of its play replays like any other.
#include "platform/InputState.h"

namespace quarn {

class InputPilot {
 public:
  virtual ~InputPilot() = default;
  virtual void Steer(platform::InputSnapshot& snapshot) = 0;

 protected:
  InputPilot() = default;
  InputPilot(const InputPilot&) = default;
  InputPilot& operator=(const InputPilot&) = default;
};

}  // namespace quarn
