#include "units/Airship.h"

#include "engine/FixedStep.h"

namespace quarn {

void Airship::UpdateBreaking() {
  Sail();
  StepBreakTimer();
}

void Airship::UpdateDestructing() {
  Integrate(kFrameStep);
  HeadingMover::UpdateDestructing();
}

void Airship::Destruct() {
  const LifeState state = GetLifeState();
  if (state == LifeState::Alive || state == LifeState::Breaking)
    StartCrash(0.2f, 100.0f);
  HeadingMover::Destruct();
}

}  // namespace quarn
