#pragma once
// A ship: it sails on its heading and, destroyed, sinks with a slow list to one side.
#include "units/HeadingMover.h"

namespace quarn {

class Ship : public HeadingMover {
 public:
  explicit Ship(StageServices* stage) : HeadingMover(stage, "Ship") {}
  void UpdateBreaking() override;
  void UpdateDestructing() override;
  void Destruct() override;
};

}  // namespace quarn
