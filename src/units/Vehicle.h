#pragma once
// A ground vehicle: it drives on its heading and stops where it is when it breaks.
#include "units/HeadingMover.h"

namespace quarn {

class Vehicle : public HeadingMover {
 public:
  explicit Vehicle(StageServices* stage) : HeadingMover(stage, "Vehicle") {}
};

}  // namespace quarn
