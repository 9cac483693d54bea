#include "units/Ship.h"

#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"

namespace quarn {

void Ship::UpdateBreaking() {
  Sail();
  StepBreakTimer();
}

void Ship::UpdateDestructing() {
  Integrate(kFrameStep);
  HeadingMover::UpdateDestructing();
}

void Ship::Destruct() {
  const LifeState state = GetLifeState();
  if (state == LifeState::Alive || state == LifeState::Breaking) {
    StartCrash(0.04f, 1000.0f);
    const float bank = static_cast<float>(Rand()) / 32767.0f;
    AddTorque({0.0f, 0.0f, bank * 1000.0f - 500.0f});
  }
  HeadingMover::Destruct();
}

}  // namespace quarn
