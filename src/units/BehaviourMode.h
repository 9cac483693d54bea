#pragma once
// What a unit does of its own accord each frame.
namespace quarn {

enum class BehaviourMode : int {
  None = 0,
  Hold = 1,           // nothing (the player's own control step, for the player)
  ToDestination = 2,  // steer toward the destination, watching the area and the height band
  ReturnToArea = 3,   // back toward the area centre until inside AreaInnerDistance
  RecoverHeight = 4,  // toward the middle of the height band until it is safe again
};

}  // namespace quarn
