#pragma once
// The stage's collision pass, once a frame: every collider entered with a collide list is
// tested against the colliders of each group in its list (sphere overlap first, then the
// other's rays against its collision mesh); every contact is delivered only after all tests,
// in order, so both parties of a pair are hit in the same frame. Then the ground list is
// tested against the ground. Lists colliders; owns none.
#include <cstdint>
#include <map>
#include <vector>

#include "gfxutil/Vector3.h"
#include "render/ObjectList.h"
#include "units/CollisionShapes.h"

namespace quarn {

class Collider;
class GroundCollider;

class CollisionManager {
 public:
  struct Contact {
    Collider* receiver;
    Collider* other;
    gfx::Vector3 hitPoint;
    gfx::Vector3 push;
  };

  // Files collider under group and remembers the groups it is tested against. False for
  // null or a collider already entered.
  bool Enter(Collider* collider, int group, std::vector<int> collideGroups);
  bool Leave(const Collider* collider);
  bool Contains(const Collider* collider) const;
  // The colliders tested against the ground, in the order they entered.
  bool EnterGround(Collider* collider) { return groundList_.Add(collider); }
  bool LeaveGround(const Collider* collider) { return groundList_.Remove(collider); }
  bool InGroundList(const Collider* collider) const { return groundList_.Contains(collider); }
  size_t GroundListSize() const { return groundList_.Size(); }

  void SetGround(GroundCollider* ground) { ground_ = ground; }
  GroundCollider* Ground() const { return ground_; }

  // The whole pass: tests, deliveries, then the ground.
  void Pass();
  // The contacts of this frame's tests, in delivery order. Without the broad phase every
  // listed pair is handed to TestCollision, as a plain pair-by-pair pass would; with it,
  // pairs whose spheres cannot overlap are skipped, which gives the same contacts.
  std::vector<Contact> CollectContacts(bool broadPhase = true);

 private:
  struct Tester {
    Collider* collider;
    int group;  // the one it is filed under
    std::vector<int> collideGroups;
  };
  struct Member {
    Collider* collider;
    int first = 0;  // its spheres in spheres_
    int count = 0;
  };
  // A group's members with their spheres, and a coarse grid over them for large groups. The
  // grid is an open-addressed table from cell to a chain of entries (one per member in the
  // cell), rebuilt every pass in storage kept from the last one.
  struct GroupCache {
    std::vector<Member> members;
    std::vector<int64_t> slotCells;  // the cell of each slot, kNoCell when free
    std::vector<int> slotFirst;      // the slot's latest entry
    std::vector<int> entryMember;    // per entry: the member...
    std::vector<int> entryNext;      // ...and the slot's previous entry, or -1
    int usedSlots = 0;
    int slotShift = 64;          // 64 - log2 of the table size
    std::vector<int> unbounded;  // members too large (or not finite) for the grid
    bool gridded = false;

    void ClearGrid();
    // Files member under cell, once however many of its spheres touch it.
    void AddToCell(int64_t cell, int member);
    // The cell's latest entry, or -1.
    int FirstInCell(int64_t cell) const;

   private:
    size_t SlotOf(int64_t cell) const;
    void Grow();
  };

  void BuildCaches();
  void CacheSpheres(Collider* collider, int* first, int* count);
  // Members of group whose spheres may overlap the spheres [first, first + count), in the
  // group's order.
  void Candidates(GroupCache& group, int first, int count, std::vector<int>* out);
  bool SpheresOverlap(int firstA, int countA, int firstB, int countB) const;
  void DeliverGroundHits();

  // Drops the entries of colliders that left.
  void CompactTesters();

  std::vector<Tester> testers_;  // in entry order; a collider that left is null until compacted
  size_t leftTesters_ = 0;
  std::map<int, std::vector<Collider*>> groups_;  // by group number, each in entry order
  ObjectList<Collider> groundList_;
  GroundCollider* ground_ = nullptr;

  // Per-pass scratch, kept between frames to avoid reallocating.
  std::vector<CollisionSphere> spheres_;
  std::map<int, GroupCache> caches_;
  std::vector<int> candidates_;
  std::vector<uint32_t> stamps_;
  uint32_t stamp_ = 0;
};

}  // namespace quarn
