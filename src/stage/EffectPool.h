#pragma once
// The stage's pool of particle systems, trails and projectiles: objects are handed out by
// definition file name, and a finished one that nobody holds is handed out again, the
// earliest made first, so a long stage neither reloads nor reallocates the same effects.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "units/EffectSource.h"
#include "units/ReuseMarks.h"

namespace quarn {

class Model;
class StageServices;

class EffectPool : public EffectSource {
 public:
  EffectPool();
  ~EffectPool() override;
  EffectPool(const EffectPool&) = delete;
  EffectPool& operator=(const EffectPool&) = delete;

  virtual int SetScene(StageServices* scene);
  // Unloads and destroys everything: projectiles first, then the particles and trails they
  // hold.
  virtual void Clear();

  Particle* AcquireParticle(const std::string& file, bool allowReuse) override;
  Trajectory* AcquireTrail(const std::string& file, bool allowReuse) override;
  Gun* AcquireGunBullet(const std::string& file, bool allowReuse) override;
  Rocket* AcquireRocket(const std::string& file, bool allowReuse) override;

  // How many objects of each kind the pool holds (for tests and the lab).
  size_t ParticleCount() const;
  size_t TrailCount() const;
  size_t GunCount() const;
  size_t RocketCount() const;

 private:
  // The objects of one kind, by file name, each file's in creation order.
  template <class Kind>
  struct Shelf {
    struct Bucket {
      std::vector<std::unique_ptr<Kind>> objects;
      ReuseMarks marks;
    };
    std::map<std::string, Bucket> buckets;
    size_t Count() const;
  };

  template <class Kind>
  Kind* Acquire(Shelf<Kind>& shelf, const std::string& file, bool allowReuse);
  template <class Kind>
  void Empty(Shelf<Kind>& shelf);
  template <class Kind>
  void Forget(Shelf<Kind>& shelf);

  StageServices* scene_ = nullptr;
  Shelf<Particle> particles_;
  Shelf<Trajectory> trails_;
  Shelf<Gun> guns_;
  Shelf<Rocket> rockets_;
};

}  // namespace quarn
