#pragma once
// One timed stage of a container's destruction: a particle started when it becomes current,
// and, once its delay has run, what is switched off, the power and destruct progress taken,
// and the stage progress paid.
#include <array>

namespace quarn {

class Particle;

struct DestructEvent {
  bool particleEnable = false;
  Particle* particle = nullptr;  // from the effect pool, held
  float minDelayTime = 0;
  float maxDelayTime = 0;
  float delay = 0;  // drawn when the event becomes current
  bool particleDisable = false;
  bool existDisable = false;
  bool searchTargetDisable = false;
  float destructRate = 0;
  float powerRate = 0;
  std::array<int, 8> progressPoint{};
};

}  // namespace quarn
