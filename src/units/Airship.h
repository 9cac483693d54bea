#pragma once
// A lighter-than-air unit: it sails on its heading and, destroyed, sinks slowly.
#include "units/HeadingMover.h"

namespace quarn {

class Airship : public HeadingMover {
 public:
  explicit Airship(StageServices* stage) : HeadingMover(stage, "Airship") {}
  void UpdateBreaking() override;
  void UpdateDestructing() override;
  void Destruct() override;
};

}  // namespace quarn
