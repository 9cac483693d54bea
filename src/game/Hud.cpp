#include "game/Hud.h"

#include <algorithm>
#include <cmath>

#include "engine/ResourceCache.h"
#include "engine/WaveSound.h"
#include "render/DeviceOrCurrent.h"
#include "render/Texture.h"
#include "stage/MainScene.h"
#include "units/ChaseCamera.h"
#include "units/PlayerAircraft.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn {

namespace {
constexpr platform::ColorValue kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kSightDistance = 150.0f;
constexpr float kRadarScale = 1.0f / 64.0f;
constexpr float kRadarReach = 64.0f;
constexpr float kArrowRadius = 200.0f;
constexpr int kTimeGaugeWidth = 257;
constexpr int kArmourGaugeWidth = 494;
constexpr int kAmmunitionWidth = 96;
constexpr int kLockFrames = 8;

// A ratio as the gauges use it: within [0, 1], and 0 when it is not a number.
float Ratio(float value) {
  return value > 0.0f ? std::min(value, 1.0f) : 0.0f;
}

// The rows of "Message.png" by message number; messages 5 and 6 sit in that order.
int MessageTop(int number) {
  switch (number) {
    case 1:
      return 0;
    case 2:
      return 64;
    case 3:
      return 128;
    case 4:
      return 192;
    case 5:
      return 320;
    case 6:
      return 256;
    default:
      return -1;
  }
}

float DistanceBetween(const RigidBody& a, const RigidBody& b) {
  return gfx::Vec3Length(a.WorldPosition() - b.WorldPosition());
}
}  // namespace

Hud::Hud(MainScene& scene, platform::RenderDevice* device)
    : scene_(scene), device_(device), sprites_(device) {}

Hud::~Hud() {
  Hud::Finish();
}

bool Hud::Load() {
  ResourceCache& cache = scene_.Cache();
  picture_ = cache.GetTexture(kPictureFile);
  numbers_ = cache.GetTexture(kNumberFile);
  messages_ = cache.GetTexture(kMessageFile);
  alarm_.Create(cache.GetSound(kAlarmFile));
  sprites_.CreateSprite();
  radarFrame_.SetParent(&scene_.WorldRoot());
  scene_.Updates().SetHudHook(this);
  scene_.Renders().SetHud(this);
  focus_.Clear();
  loaded_ = true;
  return true;
}

void Hud::Finish() {
  if (!loaded_)
    return;
  loaded_ = false;
  alarm_.Release();
  radarFrame_.SetParent(nullptr);
  sprites_.Clear();
  sprites_.ReleaseSprite();
  // The stage must not step or draw a HUD that has finished.
  if (scene_.Updates().HudHook() == this)
    scene_.Updates().SetHudHook(nullptr);
  if (scene_.Renders().GetHud() == this)
    scene_.Renders().SetHud(nullptr);
  if (ChaseCamera* camera = scene_.Camera();
      camera != nullptr && focus_.Focused() != nullptr && camera->LookTarget() == focus_.Focused())
    camera->SetLookTarget(nullptr);
  focus_.Clear();
  picture_ = numbers_ = messages_ = nullptr;
}

void Hud::Update() {
  PlayerAircraft* player = scene_.Player();
  focus_.Update(player, scene_.SearchTargets(), scene_.Buttons());
  if (ChaseCamera* camera = scene_.Camera())
    camera->SetLookTarget(focus_.Focused());
  scene_.Message().Step();
  alarm_.Update(player, scene_.Projectiles());
}

bool Hud::Draw() {
  if (!QueueFrame())
    return false;
  return sprites_.Draw();
}

void Hud::Put(Texture* texture, ScreenPoint at, int left, int top, int right, int bottom) {
  if (texture == nullptr || right <= left || bottom <= top)
    return;
  sprites_.Queue(texture, at, left, top, right, bottom, 1.0f, 1.0f, {}, 0.0f, kWhite);
}

void Hud::PutCentred(Texture* texture, const gfx::Vector3& world, int left, int top) {
  const ScreenProjector::Point point = projector_.Project(world);
  if (!point.Usable())
    return;
  const ScreenPoint pixel = point.Pixel();
  Put(texture, {pixel.x - 16, pixel.y - 16}, left, top, left + 32, top + 32);
}

void Hud::CopyFocusLast(const TargetRegistry& registry, std::vector<Target*>& copy) const {
  copy.assign(registry.Items().begin(), registry.Items().end());
  auto it = std::find(copy.begin(), copy.end(), focus_.Focused());
  if (it != copy.end())
    std::rotate(it, it + 1, copy.end());
}

bool Hud::QueueFrame() {
  sprites_.Clear();
  platform::RenderDevice* device = DeviceOrCurrent(device_);
  if (device == nullptr)
    return false;
  projector_.Capture(*device);
  CopyFocusLast(scene_.Targets(), targetsCopy_);
  CopyFocusLast(scene_.SearchTargets(), searchCopy_);

  PlayerAircraft* player = scene_.Player();
  QueueFocusMark();
  if (player != nullptr) {
    QueueArrows(*player);
    QueueArmourBars(*player);
    QueueWeaponMarks(*player, 0);
    QueueWeaponMarks(*player, 1);
  }
  QueueRadar(player);
  Put(picture_, {0, 416}, 0, 128, 494, 192);  // the bottom panel
  if (player != nullptr) {
    QueueGauges(*player);
    QueueWeaponPanel(*player, 0);
    QueueWeaponPanel(*player, 1);
  }
  QueueMessage();
  return true;
}

void Hud::QueueFocusMark() {
  const Target* focus = focus_.Focused();
  if (focus == nullptr)
    return;
  const ScreenProjector::Point point = projector_.Project(focus->WorldPosition());
  if (!point.Usable())
    return;
  const ScreenPoint pixel = point.Pixel();
  Put(picture_, {pixel.x - 16, pixel.y - 64}, 0, 0, 32, 32);
}

void Hud::QueueArrows(const PlayerAircraft& player) {
  if (picture_ == nullptr)
    return;
  for (Target* target : searchCopy_) {
    if (!(DistanceBetween(player, *target) < target->SearchTargetActiveDistance()))
      continue;
    const gfx::Vector3 position = target->WorldPosition();
    const ScreenProjector::Point point = projector_.Project(position);
    if (point.Usable() && point.OnScreen())
      continue;
    const gfx::Vector3 camera = projector_.ToCamera(position);
    const float length = std::hypot(camera.x, camera.y);
    const float dx = length > 0.0f ? camera.x / length : 0.0f;
    const float dy = length > 0.0f ? camera.y / length : 0.0f;
    const int kind = (target == focus_.Focused() ? 1 : 0) + (target->IsImportant() ? 2 : 0);
    const int left = 64 + 16 * kind;
    const ScreenPoint at{TruncatePixel(dx * kArrowRadius + 320.0f) - 8,
                         -16 - TruncatePixel(dy * kArrowRadius - 240.0f)};
    // The picture points up; turned clockwise by this angle it points along (dx, dy) with y
    // up, as the target lies from the middle of the screen.
    const float turn = std::atan2(dx, dy);
    sprites_.Queue(picture_, at, left, 64, left + 16, 96, 1.0f, 1.0f, {8, 16}, turn, kWhite);
  }
}

void Hud::QueueArmourBars(const PlayerAircraft& player) {
  for (Target* target : targetsCopy_) {
    if (!(DistanceBetween(player, *target) < target->TargetActiveDistance()))
      continue;
    const ScreenProjector::Point point = projector_.Project(target->WorldPosition());
    if (!point.Usable())
      continue;
    const ScreenPoint pixel = point.Pixel();
    const int left = static_cast<int>(224.0f - 32.0f * Ratio(target->ArmourRatio()));
    const int top = target->IsImportant() ? 0 : 8;
    Put(picture_, {pixel.x - 16, pixel.y + 16}, left, top, left + 32, top + 4);
  }
}

void Hud::QueueWeaponMarks(const PlayerAircraft& player, int slotIndex) {
  const WeaponSlot& slot = player.Slot(slotIndex);
  Texture* icon = slot.hudTexture;
  if (slot.rapid != nullptr || slot.charge != nullptr) {
    const Weapon* weapon = slot.rapid != nullptr ? static_cast<Weapon*>(slot.rapid) : slot.charge;
    const Target* target = weapon->CurrentTarget();
    if (slotIndex == 0) {
      // The sight sits at the target's range, so that it lies over the target when aimed.
      const float distance = target != nullptr ? DistanceBetween(player, *target) : kSightDistance;
      PutCentred(picture_, player.Body().LocalToWorldPoint({0.0f, 0.0f, distance}), 32, 0);
    }
    if (target != nullptr)
      PutCentred(icon, weapon->AimPoint(), 32, 0);
  } else if (slot.lock != nullptr) {
    const LockWeapon& lock = *slot.lock;
    const std::vector<Target*>& locked = lock.Locked();
    const bool moreLocks = static_cast<int>(locked.size()) < lock.LockableCount();
    for (const Target* target : locked)
      PutCentred(icon, target->WorldPosition(), moreLocks ? 0 : 32, 64);
    if (const Target* candidate = lock.Candidate()) {
      const int frame =
          static_cast<int>(Ratio(lock.LockProgress()) * static_cast<float>(kLockFrames));
      PutCentred(icon, candidate->WorldPosition(), 32 * frame, 32);
    }
  }
}

void Hud::QueueRadar(PlayerAircraft* player) {
  Put(picture_, {512, 352}, 384, 0, 512, 128);
  if (player == nullptr || picture_ == nullptr)
    return;
  // The view frame turns with the body except during an evasive roll, when the screen does not
  // roll either: the radar keeps to what the player sees.
  const gfx::Matrix view = player->ViewFrame().GetWorldMatrix();
  radarFrame_.SetPosition(player->WorldPosition());
  radarFrame_.SetOrientation(view.GetRow(2), {0.0f, view.GetRow(1).y, 0.0f});
  for (Target* target : searchCopy_) {
    if (!(DistanceBetween(*player, *target) < target->SearchTargetActiveDistance()))
      continue;
    const gfx::Vector3 r = radarFrame_.WorldToLocalPoint(target->WorldPosition()) * kRadarScale;
    if (!(r.x > -kRadarReach && r.x < kRadarReach && r.z > -kRadarReach && r.z < kRadarReach))
      continue;
    const int left = target == focus_.Focused() ? 196 : target->IsImportant() ? 200 : 192;
    Put(picture_, {TruncatePixel(r.x + 576.0f), TruncatePixel(416.0f - r.z)}, left, 16, left + 4,
        20);
  }
}

void Hud::QueueGauges(const PlayerAircraft& player) {
  const float time = player.ActiveTime();
  if (time > 0.0f) {
    const int width = static_cast<int>(
        std::min(static_cast<float>(kTimeGaugeWidth) * time / MainScene::kTimeGaugeScale,
                 static_cast<float>(kTimeGaugeWidth)));
    Put(picture_, {30, 416}, 0, 96, width, 128);
  }
  const int armour =
      static_cast<int>(static_cast<float>(kArmourGaugeWidth) * Ratio(player.ArmourRatio()));
  Put(picture_, {0, 416}, 0, 192, armour, 256);
  if (numbers_ != nullptr) {
    const float heat = Ratio(player.Heat());
    const int seconds = time > 0.0f ? static_cast<int>(std::min(time, 99999.0f)) : 0;
    sprites_.QueueNumber(numbers_, 16, 32, 10, {224, 412}, seconds, 3,
                         {1.0f, 1.0f - 0.75f * heat, 1.0f - heat, 1.0f});
  }
}

void Hud::QueueWeaponPanel(const PlayerAircraft& player, int slotIndex) {
  const WeaponSlot& slot = player.Slot(slotIndex);
  const ScreenPoint at{0, slotIndex == 0 ? 352 : 384};
  Put(slot.hudTexture, at, 288, 0, 384, 32);
  const Weapon* weapon = slot.Any();
  const float load = weapon != nullptr ? Ratio(weapon->LoadRatio()) : 0.0f;
  Put(slot.hudTexture, at, 288, 64,
      288 + static_cast<int>(static_cast<float>(kAmmunitionWidth) * load), 96);
}

void Hud::QueueMessage() {
  const int top = MessageTop(scene_.Message().Number());
  if (top >= 0)
    Put(messages_, {192, 192}, 0, top, 256, top + 64);
}

}  // namespace quarn
