#include "game/TargetFocus.h"

#include <algorithm>
#include <cmath>

#include "engine/ButtonMap.h"
#include "units/RigidBody.h"
#include "units/Target.h"

namespace quarn {

namespace {
constexpr float kRadiansToDegrees = 57.29578f;

// Degrees between the nose and the direction to a target (90 for one on the player itself); a
// direction that is not a number sorts last rather than poisoning the order.
float AngleOffNose(const gfx::Vector3& forward, const gfx::Vector3& offset) {
  const float cosine = gfx::Vec3Dot(gfx::Vec3Normalize(offset), forward);
  if (!std::isfinite(cosine))
    return 180.0f;
  return std::acos(std::clamp(cosine, -1.0f, 1.0f)) * kRadiansToDegrees;
}
}  // namespace

void TargetFocus::Clear() {
  candidates_.clear();
  byDistance_.clear();
  byAngle_.clear();
  focused_ = nullptr;
}

void TargetFocus::Gather(const RigidBody& player, const TargetRegistry& searchTargets) {
  const gfx::Vector3 position = player.WorldPosition();
  const gfx::Vector3 forward = gfx::Vec3Normalize(player.WorldForward());
  for (Target* target : searchTargets.Items()) {
    const gfx::Vector3 offset = target->WorldPosition() - position;
    const float distance = gfx::Vec3Length(offset);
    // A distance that is not a number fails the test: such a target is never a candidate.
    if (distance < target->SearchTargetActiveDistance())
      candidates_.push_back({target, distance, AngleOffNose(forward, offset)});
  }
  auto order = [this](std::vector<Target*>& list, auto key) {
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [key](const Candidate& a, const Candidate& b) { return key(a) < key(b); });
    for (const Candidate& candidate : candidates_)
      list.push_back(candidate.target);
  };
  order(byAngle_, [](const Candidate& c) { return c.angle; });
  order(byDistance_, [](const Candidate& c) { return c.distance; });
}

void TargetFocus::Update(const RigidBody* player, const TargetRegistry& searchTargets,
                         const ButtonMap& buttons) {
  candidates_.clear();
  byDistance_.clear();
  byAngle_.clear();
  if (player != nullptr)
    Gather(*player, searchTargets);

  Target* nearest = byDistance_.empty() ? nullptr : byDistance_.front();
  if (std::find(byDistance_.begin(), byDistance_.end(), focused_) == byDistance_.end())
    focused_ = nearest;
  if (buttons.IsPressed(kNearestButton))
    focused_ = nearest;
  else if (buttons.IsPressed(kNoseButton))
    focused_ = byAngle_.empty() ? nullptr : byAngle_.front();

  if (buttons.GetButton(kNearestButton) != 0)
    Step(byDistance_, buttons);
  else if (buttons.GetButton(kNoseButton) != 0)
    Step(byAngle_, buttons);
}

void TargetFocus::Step(const std::vector<Target*>& order, const ButtonMap& buttons) {
  // Without candidates there is nothing to step through (and nothing to wrap round).
  if (order.empty())
    return;
  const auto count = static_cast<long>(order.size());
  auto it = std::find(order.begin(), order.end(), focused_);
  long index = it == order.end() ? 0 : static_cast<long>(it - order.begin());
  if (buttons.IsPressed(kPreviousButton))
    index = (index + count - 1) % count;
  if (buttons.IsPressed(kNextButton))
    index = (index + 1) % count;
  focused_ = order[static_cast<size_t>(index)];
}

}  // namespace quarn
