#pragma once
// The computer playing the demo game: in menus it confirms every choice as it comes (the first
// stage, aircraft and weapons), skips movies, and in a stage flies the player's aircraft
// through a virtual joystick — steering at the HUD's focused target, firing when it is in
// the sight, locking missiles, charging the cannon, keeping clear of the ground. The game
// keeps the area and the height band itself, as for a player.
#include "engine/InputPilot.h"
#include "gfxutil/Vector3.h"

namespace quarn {

class Game;
class MainScene;
class PlayerAircraft;
class Target;

class DemoPilot : public InputPilot {
 public:
  explicit DemoPilot(Game& game) : game_(game) {}

  void Steer(platform::InputSnapshot& snapshot) override;

  // What the pilot asks of its stick and buttons for one pass: axes and buttons -1 to 1.
  struct Controls {
    float bank = 0;   // + rolls right
    float pitch = 0;  // + pulls the nose up
    bool fire = false;
    bool secondary = false;
    bool throttle = false;
    bool refocus = false;  // ask the HUD for the target closest to the nose
  };
  // The flying decision for the stage as it is (exposed for tests).
  Controls Fly(MainScene& stage);

 private:
  void Press(platform::InputSnapshot& snapshot, uint8_t key, long every);
  Controls Attack(const PlayerAircraft& player, const Target& target, MainScene& stage);
  // Distance from the player to the ground along a direction (a large value when none).
  float Clearance(MainScene& stage, const gfx::Vector3& from, const gfx::Vector3& direction,
                  float reach) const;

  Game& game_;
  long passes_ = 0;
  int secondaryHeld_ = 0;
  int rollStep_ = 0;  // passes into an evasive roll's stick pattern, 0 when none
};

}  // namespace quarn
