#pragma once
// The stage's 2D overlay on the fixed 640 x 480 screen, all in one sprite batch: the focus
// mark, arrows toward search targets off screen, armour bars over targets, the sights and
// lock markers of the player's two weapons, the radar, the armour and time gauges with the
// time in figures, both weapons' ammunition and the mission message. Each frame it also picks
// the focused target, counts the message down and sounds the alarm for an enemy projectile
// about to hit. Pictures and sound come from fixed file names; any of them missing leaves its
// part undrawn or silent.
#include <vector>

#include "game/ProjectileAlarm.h"
#include "game/ScreenProjector.h"
#include "game/TargetFocus.h"
#include "render/SpriteBatch.h"
#include "render/Transform.h"
#include "stage/StageHud.h"

namespace quarn {

class MainScene;
class PlayerAircraft;
class Texture;

class Hud : public StageHud {
 public:
  static constexpr const char* kPictureFile = "HUD.png";
  static constexpr const char* kNumberFile = "Number.png";
  static constexpr const char* kMessageFile = "Message.png";
  static constexpr const char* kAlarmFile = "Alert.wav";

  // device: where to draw; null: the process's graphics device.
  explicit Hud(MainScene& scene, platform::RenderDevice* device = nullptr);
  ~Hud() override;
  Hud(const Hud&) = delete;
  Hud& operator=(const Hud&) = delete;

  // Stops and releases the alarm, detaches the radar frame, lets go of the sprite and of the
  // stage's hooks.
  void Finish() override;
  // Takes the pictures and the alarm from the stage's cache, makes the sprite, and becomes
  // the stage's HUD hook and overlay. Always true: what is missing is simply not shown.
  bool Load() override;
  // Target selection, the message's frame, the alarm.
  void Update() override;
  // Queues the frame (QueueFrame) and draws it.
  bool Draw() override;
  // This frame's sprite requests, from the view the device holds now, without drawing them.
  // False, queueing nothing, without a device.
  bool QueueFrame();

  Target* Focus() const { return focus_.Focused(); }
  const TargetFocus& Selection() const { return focus_; }
  const ProjectileAlarm& Alarm() const { return alarm_; }
  const SpriteBatch& Sprites() const { return sprites_; }
  const Transform& RadarFrame() const { return radarFrame_; }
  Texture* Picture() const { return picture_; }
  Texture* Numbers() const { return numbers_; }
  Texture* Messages() const { return messages_; }

 private:
  // A white, unscaled, unrotated request; nothing for a missing picture or an empty rectangle.
  void Put(Texture* texture, ScreenPoint at, int left, int top, int right, int bottom);
  // A 32 x 32 cell centred on a world point, when it projects in front of the camera.
  void PutCentred(Texture* texture, const gfx::Vector3& world, int left, int top);
  // The registry as listed, the focused target moved to the end so that it is drawn on top.
  void CopyFocusLast(const TargetRegistry& registry, std::vector<Target*>& copy) const;

  void QueueFocusMark();
  void QueueArrows(const PlayerAircraft& player);
  void QueueArmourBars(const PlayerAircraft& player);
  void QueueWeaponMarks(const PlayerAircraft& player, int slotIndex);
  void QueueRadar(PlayerAircraft* player);
  void QueueGauges(const PlayerAircraft& player);
  void QueueWeaponPanel(const PlayerAircraft& player, int slotIndex);
  void QueueMessage();

  MainScene& scene_;
  platform::RenderDevice* device_;
  SpriteBatch sprites_;
  Transform radarFrame_;
  Texture* picture_ = nullptr;
  Texture* numbers_ = nullptr;
  Texture* messages_ = nullptr;
  ProjectileAlarm alarm_;
  TargetFocus focus_;
  ScreenProjector projector_;
  std::vector<Target*> targetsCopy_;  // kept between frames to avoid reallocating
  std::vector<Target*> searchCopy_;
  bool loaded_ = false;
};

}  // namespace quarn
