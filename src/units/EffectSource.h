#pragma once
// Where objects take their effects and projectiles from: the stage's effect pool, which hands
// them out by definition file name and reuses finished ones. Callers that keep an object for
// good Hold it at once, so that it is never handed out again.
#include <string>

namespace quarn {

class Gun;
class Particle;
class Rocket;
class Trajectory;

class EffectSource {
 public:
  virtual ~EffectSource() = default;
  // allowReuse: a finished, unheld object of the same file may be returned; otherwise (or when
  // none is finished) a new one is made and loaded. Never null: a file that fails to load
  // still gives an object, which does nothing visible.
  virtual Particle* AcquireParticle(const std::string& file, bool allowReuse) = 0;
  virtual Trajectory* AcquireTrail(const std::string& file, bool allowReuse) = 0;
  virtual Gun* AcquireGunBullet(const std::string& file, bool allowReuse) = 0;
  virtual Rocket* AcquireRocket(const std::string& file, bool allowReuse) = 0;

 protected:
  EffectSource() = default;
  EffectSource(const EffectSource&) = default;
  EffectSource& operator=(const EffectSource&) = default;
};

}  // namespace quarn
