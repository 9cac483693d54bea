#pragma once
// The two sides of a stage and the object groups the collision manager pairs: an object's
// group number is its CollisionGroup plus the offset of its Side, and its collide list names
// the other side's numbers, so that one side is only ever tested against the other.
namespace quarn {

inline constexpr int kPlayerSide = 1;
inline constexpr int kEnemySide = 2;

enum CollisionGroup : int {
  kUnitGroup = 1,
  kUnitPartGroup = 2,
  kProjectileGroup = 3,
  kParticleGroup = 4,
  kTrailGroup = 5,
};

// The group offset of a side: 1000 for the player's, 2000 for the enemy's (0 for neither).
constexpr int SideGroupOffset(int side) {
  return side == kPlayerSide ? 1000 : side == kEnemySide ? 2000 : 0;
}
// The offset of the side an object of this side collides with.
constexpr int OpposingGroupOffset(int side) {
  return side == kPlayerSide ? 2000 : side == kEnemySide ? 1000 : 0;
}

}  // namespace quarn
