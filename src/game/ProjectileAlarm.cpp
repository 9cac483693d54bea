#include "game/ProjectileAlarm.h"

#include <cmath>

#include "engine/TimerPauseScope.h"
#include "projectiles/Bullet.h"
#include "units/Side.h"

namespace quarn {

bool ProjectileAlarm::Create(WaveSound* wave) {
  playing_ = false;
  return wave != nullptr && voice_.Create(wave);
}

void ProjectileAlarm::Release() {
  Stop();
  voice_.Release();
}

void ProjectileAlarm::Stop() {
  voice_.Stop();
  playing_ = false;
}

bool ProjectileAlarm::Threatens(const gfx::Vector3& p, const gfx::Vector3& v, const gfx::Vector3& q,
                                const gfx::Vector3& w) {
  const float distance = gfx::Vec3Length(p - q);
  const float closing = gfx::Vec3Length(w - v);
  const float t = std::fabs(closing) <= 1e-8f ? 0.0f : distance / closing;
  // Also false for a time that is not a number.
  if (!(t <= kWarningSeconds))
    return false;
  return gfx::Vec3Length((p + v * t) - (q + w * t)) < kHitDistance;
}

void ProjectileAlarm::Update(const Model* player, const ProjectileRegistry& projectiles) {
  if (player != nullptr) {
    const gfx::Vector3 p = player->WorldPosition();
    const gfx::Vector3& v = player->VelocityEstimate();
    for (const Bullet* projectile : projectiles.Items()) {
      if (projectile->Side() != kEnemySide ||
          !Threatens(p, v, projectile->WorldPosition(), projectile->VelocityEstimate()))
        continue;
      if (!playing_) {
        // Starting a voice may take a moment; it must not count as lag of the main loop.
        const TimerPauseScope pause;
        voice_.Play(true, false);
        playing_ = true;
      }
      return;
    }
  }
  if (playing_)
    Stop();
}

}  // namespace quarn
