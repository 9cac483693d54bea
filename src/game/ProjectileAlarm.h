#pragma once
// The warning for an enemy projectile about to hit the player: each frame every enemy
// projectile's course is run on for the time it needs to cover its distance (at most one
// second); one that ends within 5 units of where the player will be starts the looping alarm,
// and the alarm stops on the first frame no projectile does.
#include "engine/SoundVoice.h"
#include "gfxutil/Vector3.h"
#include "units/StageServices.h"

namespace quarn {

class Model;
class WaveSound;

class ProjectileAlarm {
 public:
  static constexpr float kWarningSeconds = 1.0f;
  static constexpr float kHitDistance = 5.0f;

  // The voice of the alarm; false (the alarm stays silent) without a wave or a sound device.
  bool Create(WaveSound* wave);
  void Release();
  // One frame's scan; a null player sounds no alarm.
  void Update(const Model* player, const ProjectileRegistry& projectiles);
  void Stop();

  bool Playing() const { return playing_; }
  const SoundVoice& Voice() const { return voice_; }

  // Whether a projectile at q moving at w (units per second) comes within the hit distance of
  // a player at p moving at v, after the time it takes to close the distance between them.
  static bool Threatens(const gfx::Vector3& p, const gfx::Vector3& v, const gfx::Vector3& q,
                        const gfx::Vector3& w);

 private:
  SoundVoice voice_;
  bool playing_ = false;
};

}  // namespace quarn
