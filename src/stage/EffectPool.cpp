#include "stage/EffectPool.h"

#include "engine/TimerPauseScope.h"
#include "projectiles/Gun.h"
#include "projectiles/Rocket.h"
#include "units/Particle.h"
#include "units/Trajectory.h"

namespace quarn {

namespace {
bool LoadFrom(Particle& object, const std::string& file) {
  return object.Load(file);
}
bool LoadFrom(Trajectory& object, const std::string& file) {
  return object.Load(file);
}
bool LoadFrom(Bullet& object, const std::string& file) {
  return object.LoadBullet(file);
}
}  // namespace

EffectPool::EffectPool() = default;

EffectPool::~EffectPool() {
  Clear();
}

int EffectPool::SetScene(StageServices* scene) {
  scene_ = scene;
  return 1;
}

template <class Kind>
size_t EffectPool::Shelf<Kind>::Count() const {
  size_t count = 0;
  for (const auto& [file, bucket] : buckets)
    count += bucket.objects.size();
  return count;
}

size_t EffectPool::ParticleCount() const {
  return particles_.Count();
}
size_t EffectPool::TrailCount() const {
  return trails_.Count();
}
size_t EffectPool::GunCount() const {
  return guns_.Count();
}
size_t EffectPool::RocketCount() const {
  return rockets_.Count();
}

template <class Kind>
Kind* EffectPool::Acquire(Shelf<Kind>& shelf, const std::string& file, bool allowReuse) {
  auto& bucket = shelf.buckets[file];
  if (allowReuse) {
    // Only marked objects can have finished since they were last found busy.
    for (size_t i = bucket.marks.FirstFrom(0); i != ReuseMarks::npos;
         i = bucket.marks.FirstFrom(i + 1)) {
      Kind* object = bucket.objects[i].get();
      if (object->IsHeld()) {
        bucket.marks.Clear(i);  // held for good
        continue;
      }
      if (object->IsFinished())
        return object;
      bucket.marks.Clear(i);  // busy: marked again when it leaves a service
    }
  }
  // Loading is not lag.
  const TimerPauseScope pause;
  auto object = std::make_unique<Kind>(scene_);
  LoadFrom(*object, file);
  const size_t index = bucket.objects.size();
  object->SetReuseMark(&bucket.marks, index);
  bucket.marks.Set(index);
  bucket.objects.push_back(std::move(object));
  return bucket.objects.back().get();
}

Particle* EffectPool::AcquireParticle(const std::string& file, bool allowReuse) {
  return Acquire(particles_, file, allowReuse);
}

Trajectory* EffectPool::AcquireTrail(const std::string& file, bool allowReuse) {
  return Acquire(trails_, file, allowReuse);
}

Gun* EffectPool::AcquireGunBullet(const std::string& file, bool allowReuse) {
  return Acquire(guns_, file, allowReuse);
}

Rocket* EffectPool::AcquireRocket(const std::string& file, bool allowReuse) {
  return Acquire(rockets_, file, allowReuse);
}

template <class Kind>
void EffectPool::Forget(Shelf<Kind>& shelf) {
  for (auto& [file, bucket] : shelf.buckets) {
    for (auto& object : bucket.objects) {
      object->SetReuseMark(nullptr, 0);
      object->SetFinishWatcher(nullptr);
    }
  }
}

template <class Kind>
void EffectPool::Empty(Shelf<Kind>& shelf) {
  for (auto& [file, bucket] : shelf.buckets) {
    for (auto& object : bucket.objects)
      object->Unload();
  }
  shelf.buckets.clear();
}

void EffectPool::Clear() {
  // Nothing tells a destroyed watcher about the objects destroyed after it.
  Forget(particles_);
  Forget(trails_);
  Forget(guns_);
  Forget(rockets_);
  Empty(guns_);
  Empty(rockets_);
  Empty(particles_);
  Empty(trails_);
}

}  // namespace quarn
