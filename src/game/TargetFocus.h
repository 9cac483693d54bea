#pragma once
// The target the player has picked: the search targets within their own search distance of
// the player are the candidates, ordered by distance and by the angle off the nose. The focus
// falls to the nearest when it stops being a candidate; button 7 picks the nearest, button 8
// the one nearest the nose, and while either is held 9 and 10 step back and forth through its
// order, wrapping at the ends.
#include <vector>

#include "units/StageServices.h"

namespace quarn {

class ButtonMap;
class RigidBody;

class TargetFocus {
 public:
  static constexpr int kNearestButton = 7;
  static constexpr int kNoseButton = 8;
  static constexpr int kPreviousButton = 9;
  static constexpr int kNextButton = 10;

  // One frame of selection; a null player leaves no candidates and no focus.
  void Update(const RigidBody* player, const TargetRegistry& searchTargets,
              const ButtonMap& buttons);
  void Clear();

  Target* Focused() const { return focused_; }
  const std::vector<Target*>& ByDistance() const { return byDistance_; }
  const std::vector<Target*>& ByAngle() const { return byAngle_; }

 private:
  struct Candidate {
    Target* target;
    float distance;
    float angle;  // degrees off the nose, always a number
  };

  void Gather(const RigidBody& player, const TargetRegistry& searchTargets);
  void Step(const std::vector<Target*>& order, const ButtonMap& buttons);

  std::vector<Candidate> candidates_;
  std::vector<Target*> byDistance_;
  std::vector<Target*> byAngle_;
  Target* focused_ = nullptr;
};

}  // namespace quarn
