#include "game/DemoPilot.h"

#include <algorithm>
#include <cmath>

#include "game/Game.h"
#include "game/Hud.h"
#include "platform/ScanCodes.h"
#include "render/Mesh.h"
#include "stage/Ground.h"
#include "stage/MainScene.h"
#include "units/Container.h"
#include "units/PlayerAircraft.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn {

namespace {
constexpr float kDegrees = 57.29578f;
// Joystick buttons of the stage bindings: 1 fires the first weapon, 3 the second, 2 is the
// throttle and 6 picks the target closest to the nose.
constexpr int kFireButton = 0, kThrottleButton = 1, kSecondaryButton = 2, kNoseButton = 5;

float Clamp(float v, float lo, float hi) {
  return std::isfinite(v) ? std::clamp(v, lo, hi) : 0.0f;
}

int32_t Stick(float fraction) {
  return static_cast<int32_t>(platform::kAxisCentre + Clamp(fraction, -1, 1) * 32767.0f);
}
}  // namespace

void DemoPilot::Press(platform::InputSnapshot& snapshot, uint8_t key, long every) {
  // Down for two passes of every `every`, so each press is seen as one.
  if (passes_ % every < 2)
    snapshot.keyboard.keys[key] = platform::kKeyDown;
}

void DemoPilot::Steer(platform::InputSnapshot& snapshot) {
  ++passes_;
  // The pilot plays whether or not the window has the focus (headless runs never have it).
  snapshot.acquirable = true;
  if (snapshot.joysticks.empty())
    snapshot.joysticks.push_back(platform::JoystickState::AtRest(true));
  platform::JoystickState& stick = snapshot.joysticks[0];
  stick = platform::JoystickState::AtRest(true);
  auto* stage = dynamic_cast<MainScene*>(game_.Scene());
  if (stage == nullptr) {
    // Menus and movies: confirm whatever is offered, once a second and a half.
    Press(snapshot, platform::scan::kX, 45);
    return;
  }
  const Controls controls = Fly(*stage);
  stick.axes[0] = Stick(controls.bank);
  // An evasive roll when the alarm sounds: the stick flicked twice to one side, then held
  // through the first half turn.
  const auto* hud = dynamic_cast<const Hud*>(stage->Hud());
  const PlayerAircraft* player = stage->Player();
  if (rollStep_ == 0 && hud != nullptr && hud->Alarm().Playing() && player != nullptr &&
      !player->Roll().rolling) {
    rollStep_ = 1;
  }
  if (rollStep_ > 0) {
    const int step = rollStep_++;
    const bool flick = step <= 2 || (step >= 5 && step <= 18);
    stick.axes[0] = flick ? Stick(-1.0f) : Stick(0.0f);
    if (step > 18)
      rollStep_ = step > 60 ? 0 : rollStep_;  // then a while before the next one
  }
  stick.axes[1] = Stick(controls.pitch);
  auto hold = [&stick](int button, bool down) {
    stick.buttons[button] = down ? platform::kKeyDown : 0;
  };
  hold(kFireButton, controls.fire);
  hold(kSecondaryButton, controls.secondary);
  hold(kThrottleButton, controls.throttle);
  // A focus far off the nose (or none): pick the target closest to the nose instead.
  hold(kNoseButton, controls.refocus && passes_ % 20 < 2);
}

float DemoPilot::Clearance(MainScene& stage, const gfx::Vector3& from,
                           const gfx::Vector3& direction, float reach) const {
  const Ground* ground = stage.Environment().GetGround();
  float nearest = reach;
  if (ground == nullptr)
    return from.y - direction.y * reach > 0.0f ? reach : std::max(from.y, 0.0f);
  for (const auto& entry : ground->Collisions()) {
    float d = 0.0f;
    gfx::Vector3 normal;
    if (entry->mesh.IntersectRay(from, direction, &d, &normal) && d < nearest)
      nearest = d;
  }
  return nearest;
}

DemoPilot::Controls DemoPilot::Attack(const PlayerAircraft& player, const Target& target,
                                      MainScene&) {
  Controls c;
  const gfx::Vector3 local =
      gfx::Vec3Normalize(player.Body().WorldToLocalPoint(target.WorldPosition()));
  const float distance = gfx::Vec3Length(target.WorldPosition() - player.WorldPosition());
  const float offNose = std::acos(std::clamp(local.z, -1.0f, 1.0f)) * kDegrees;
  c.refocus = offNose > 70.0f;
  // Roll the target over the head, then pull toward it. A target ahead and below is taken
  // upright, by pushing the nose down onto it: never inverted close to the ground.
  const float above = std::atan2(local.y, std::max(local.z, 0.05f)) * kDegrees;
  const bool below = local.y < 0.0f && local.z > 0.5f;
  const float roll = below ? std::atan2(local.x, -local.y) * kDegrees
                           : std::atan2(local.x, local.y) * kDegrees;
  c.bank = Clamp((below ? -roll : roll) / 35.0f, -1, 1);
  if (below)
    c.pitch = Clamp(above / 10.0f, -0.8f, 0.0f);
  else
    c.pitch = local.z < 0.0f ? 1.0f : Clamp(above / 12.0f, -0.4f, 1.0f);
  c.throttle = distance > 1400.0f;
  // Never ram it: within its size (its whole unit's, for a part) and a margin, climb away.
  const Solid* whole = &target;
  for (auto* part = dynamic_cast<const Container*>(&target); part != nullptr;
       part = part->Owner()) {
    whole = part;
  }
  float radius = 10.0f;
  if (whole->HasCollisionMesh()) {
    gfx::Vector3 centre;
    whole->CollisionMesh().GetBoundingSphere(&centre, &radius);
  }
  const float reach = gfx::Vec3Length(whole->WorldPosition() - player.WorldPosition());
  if (reach < radius * 1.5f + 160.0f && offNose < 90.0f) {
    c.pitch = 1.0f;
    c.bank = roll > 0.0f ? -1.0f : 1.0f;
    c.throttle = true;
  }
  const WeaponSlot& primary = player.Slot(0);
  const WeaponSlot& secondary = player.Slot(1);
  const bool inSight = offNose < 6.0f && distance < 1300.0f;
  if (primary.rapid != nullptr)
    c.fire = inSight;
  if (secondary.lock != nullptr) {
    const bool inCone = offNose < 22.0f && distance < 2100.0f;
    const size_t locks = secondary.lock->Locked().size();
    // Hold to gather locks; let go to fire once every lock is taken or it has taken long.
    const bool done =
        locks > 0 && (static_cast<int>(locks) >= secondary.lock->LockableCount() ||
                      secondaryHeld_ > 75);
    c.secondary = inCone && !done;
  } else if (secondary.charge != nullptr) {
    const bool full = secondary.charge->Charge() >= secondary.charge->ChargeTime();
    c.secondary = offNose < 25.0f && distance < 1800.0f && !(full && offNose < 4.0f);
  } else if (secondary.rapid != nullptr) {
    c.secondary = inSight;
  }
  if (primary.charge != nullptr) {
    const bool full = primary.charge->Charge() >= primary.charge->ChargeTime();
    c.fire = offNose < 25.0f && distance < 1800.0f && !(full && offNose < 4.0f);
  } else if (primary.lock != nullptr) {
    const size_t locks = primary.lock->Locked().size();
    c.fire = offNose < 22.0f && distance < 2100.0f && !(locks > 0 && secondaryHeld_ > 75);
  }
  return c;
}

DemoPilot::Controls DemoPilot::Fly(MainScene& stage) {
  Controls c;
  PlayerAircraft* player = stage.Player();
  if (player == nullptr || !player->IsActive())
    return c;
  const gfx::Matrix body = player->Body().GetWorldMatrix();
  const gfx::Vector3 position = body.GetRow(3);
  const gfx::Vector3 right = body.GetRow(0);
  const gfx::Vector3 up = body.GetRow(1);
  const gfx::Vector3 forward = body.GetRow(2);
  const auto* hud = dynamic_cast<const Hud*>(stage.Hud());
  const Target* target = hud != nullptr ? hud->Focus() : nullptr;
  if (target != nullptr && target->IsInPlay()) {
    c = Attack(*player, *target, stage);
  } else {
    c.refocus = true;
    // Nothing to chase: wings level at a cruising height.
    c.bank = Clamp(right.y * 3.0f, -1, 1);
    c.pitch = Clamp((500.0f - position.y) / 300.0f - forward.y * 3.0f, -0.5f, 0.8f);
  }
  // Keep clear of the ground: where the nose goes in two seconds, and under the belly.
  const float speed = player->Speed() * kUpdatesPerSecond;
  const float look = speed * 3.5f + 150.0f;
  const float ahead = Clearance(stage, position, forward, look);
  const float below = Clearance(stage, position, {0, -1, 0}, 800.0f);
  // Shallow attacks only: a steep dive low over the ground is pulled out at once.
  const bool steep = forward.y < -0.45f && below < 700.0f;
  if (ahead < look || below < 180.0f || steep) {
    // Roll upright while turning the nose away from the ground: pull when the canopy is up,
    // push when it is down.
    c.bank = up.y > 0.2f ? Clamp(right.y * 3.0f, -1, 1) : (right.y >= 0 ? 1.0f : -1.0f);
    c.pitch = up.y >= 0.0f ? 1.0f : -1.0f;
    c.fire = false;
    c.throttle = true;
  }
  secondaryHeld_ = c.secondary ? secondaryHeld_ + 1 : 0;
  return c;
}

}  // namespace quarn
