#pragma once
// The stage's HUD as the stage scene drives it: loaded after the stage, stepped as the last
// late update and drawn over everything. The game's HUD implements it; a stage without one
// (tests, tools) plays the same.
#include "render/Overlay.h"
#include "units/Updatable.h"

namespace quarn {

class StageHud : public Updatable, public Overlay {
 public:
  virtual bool Load() = 0;
  virtual void Finish() = 0;
};

}  // namespace quarn
