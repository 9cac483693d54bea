#pragma once
// The plain part of a unit: a container with nothing of its own (a bridge, a wing, a hull
// section), which can be shot off and takes its unit's power and destruct progress with it.
#include "units/Container.h"

namespace quarn {

class Component : public Container {
 public:
  explicit Component(StageServices* stage);
  ~Component() override;

  using Container::Load;
  bool Load(const std::string& file, Container* owner) override;
  void UpdateAlive() override;
};

}  // namespace quarn
