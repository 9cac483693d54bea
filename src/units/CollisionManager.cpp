#include "units/CollisionManager.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "units/Collider.h"

namespace quarn {

namespace {
// The broad phase's grid: cells of this edge, used for groups of more members than
// kGridMinimum; a sphere wider than a cell is checked against everything instead.
constexpr float kCellSize = 256.0f;
constexpr size_t kGridMinimum = 24;
constexpr int64_t kCellsPerQueryLimit = 64;

bool Finite(const CollisionSphere& s) {
  return std::isfinite(s.centre.x) && std::isfinite(s.centre.y) && std::isfinite(s.centre.z) &&
         std::isfinite(s.radius);
}

// Negative radii never overlap in the precise test, but a particle's hit test ignores the
// other's radius: the broad phase counts them as 0 so that it never skips a possible hit.
float Reach(float radius) {
  return radius > 0.0f ? radius : 0.0f;
}

int64_t Cell(float value) {
  return static_cast<int64_t>(std::floor(value / kCellSize));
}

int64_t CellKey(int64_t x, int64_t y, int64_t z) {
  constexpr int64_t kMask = (int64_t{1} << 21) - 1;
  return ((x & kMask) << 42) | ((y & kMask) << 21) | (z & kMask);
}

// Keys use 63 bits, so this is never one.
constexpr int64_t kNoCell = -1;
constexpr size_t kFirstSlots = 64;
}  // namespace

void CollisionManager::GroupCache::ClearGrid() {
  std::fill(slotCells.begin(), slotCells.end(), kNoCell);
  usedSlots = 0;
  entryMember.clear();
  entryNext.clear();
}

size_t CollisionManager::GroupCache::SlotOf(int64_t cell) const {
  // Fibonacci hashing (the product's top bits, which every bit of the cell reaches) into a
  // power-of-two table, then linear probing.
  const size_t mask = slotCells.size() - 1;
  size_t slot =
      static_cast<size_t>((static_cast<uint64_t>(cell) * 0x9E3779B97F4A7C15ull) >> slotShift);
  while (slotCells[slot] != kNoCell && slotCells[slot] != cell)
    slot = (slot + 1) & mask;
  return slot;
}

void CollisionManager::GroupCache::Grow() {
  const std::vector<int64_t> cells = std::move(slotCells);
  const std::vector<int> first = std::move(slotFirst);
  slotCells.assign(std::max(kFirstSlots, cells.size() * 2), kNoCell);
  slotFirst.assign(slotCells.size(), -1);
  slotShift = 64 - std::countr_zero(slotCells.size());
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == kNoCell)
      continue;
    const size_t slot = SlotOf(cells[i]);
    slotCells[slot] = cells[i];
    slotFirst[slot] = first[i];
  }
}

void CollisionManager::GroupCache::AddToCell(int64_t cell, int member) {
  // At most half full, so that probes stay short.
  if (static_cast<size_t>(usedSlots + 1) * 2 > slotCells.size())
    Grow();
  const size_t slot = SlotOf(cell);
  if (slotCells[slot] == kNoCell) {
    slotCells[slot] = cell;
    slotFirst[slot] = -1;
    ++usedSlots;
  } else if (entryMember[static_cast<size_t>(slotFirst[slot])] == member) {
    return;  // another sphere of the same member
  }
  entryMember.push_back(member);
  entryNext.push_back(slotFirst[slot]);
  slotFirst[slot] = static_cast<int>(entryMember.size()) - 1;
}

int CollisionManager::GroupCache::FirstInCell(int64_t cell) const {
  if (slotCells.empty())
    return -1;
  const size_t slot = SlotOf(cell);
  return slotCells[slot] == kNoCell ? -1 : slotFirst[slot];
}

IntersectRay IntersectRay::Between(const gfx::Vector3& start, const gfx::Vector3& end) {
  IntersectRay ray;
  ray.start = start;
  const gfx::Vector3 d = end - start;
  ray.length = gfx::Vec3Length(d);
  // Equal points give no direction rather than a NaN one.
  ray.direction = ray.length > 0.0f ? d / ray.length : gfx::Vector3();
  return ray;
}

bool CollisionManager::Enter(Collider* collider, int group, std::vector<int> collideGroups) {
  if (collider == nullptr || Contains(collider))
    return false;
  if (leftTesters_ > testers_.size() / 2)
    CompactTesters();
  groups_[group].push_back(collider);
  testers_.push_back(Tester{collider, group, std::move(collideGroups)});
  return true;
}

bool CollisionManager::Leave(const Collider* collider) {
  if (collider == nullptr)
    return false;
  auto tester = std::find_if(testers_.begin(), testers_.end(),
                             [collider](const Tester& t) { return t.collider == collider; });
  if (tester == testers_.end())
    return false;
  // Entered once, so filed in its own group only; a group is never left empty.
  auto group = groups_.find(tester->group);
  // Blanked, not erased: many projectiles leave each frame, and closing each gap moved the
  // whole list behind it. The next pass closes them all at once.
  tester->collider = nullptr;
  tester->collideGroups.clear();
  ++leftTesters_;
  if (group != groups_.end()) {
    auto& members = group->second;
    auto member = std::find(members.begin(), members.end(), collider);
    if (member != members.end())
      members.erase(member);
    if (members.empty())
      groups_.erase(group);
  }
  return true;
}

void CollisionManager::CompactTesters() {
  std::erase_if(testers_, [](const Tester& t) { return t.collider == nullptr; });
  leftTesters_ = 0;
}

bool CollisionManager::Contains(const Collider* collider) const {
  if (collider == nullptr)
    return false;
  return std::any_of(testers_.begin(), testers_.end(),
                     [collider](const Tester& t) { return t.collider == collider; });
}

void CollisionManager::CacheSpheres(Collider* collider, int* first, int* count) {
  // Colliders append, so their spheres go straight to the end of the pass's list.
  *first = static_cast<int>(spheres_.size());
  collider->CollectSpheres(spheres_);
  *count = static_cast<int>(spheres_.size()) - *first;
}

void CollisionManager::BuildCaches() {
  spheres_.clear();
  for (auto& [number, cache] : caches_) {
    cache.members.clear();
    cache.ClearGrid();
    cache.unbounded.clear();
    cache.gridded = false;
  }
  for (const auto& [number, members] : groups_) {
    GroupCache& cache = caches_[number];
    cache.gridded = members.size() > kGridMinimum;
    for (Collider* collider : members) {
      Member member{collider};
      CacheSpheres(collider, &member.first, &member.count);
      const int index = static_cast<int>(cache.members.size());
      cache.members.push_back(member);
      if (!cache.gridded || member.count == 0)
        continue;
      bool bounded = true;
      for (int s = 0; s < member.count && bounded; ++s) {
        const CollisionSphere& sphere = spheres_[member.first + s];
        bounded = Finite(sphere) && sphere.radius <= kCellSize;
      }
      if (!bounded) {
        cache.unbounded.push_back(index);
        continue;
      }
      for (int s = 0; s < member.count; ++s) {
        const CollisionSphere& sphere = spheres_[member.first + s];
        const float r = Reach(sphere.radius);
        const int64_t x0 = Cell(sphere.centre.x - r), x1 = Cell(sphere.centre.x + r);
        const int64_t y0 = Cell(sphere.centre.y - r), y1 = Cell(sphere.centre.y + r);
        const int64_t z0 = Cell(sphere.centre.z - r), z1 = Cell(sphere.centre.z + r);
        for (int64_t x = x0; x <= x1; ++x) {
          for (int64_t y = y0; y <= y1; ++y) {
            for (int64_t z = z0; z <= z1; ++z)
              cache.AddToCell(CellKey(x, y, z), index);
          }
        }
      }
    }
  }
}

void CollisionManager::Candidates(GroupCache& group, int first, int count, std::vector<int>* out) {
  out->clear();
  const int members = static_cast<int>(group.members.size());
  auto everyone = [&] {
    out->clear();
    for (int i = 0; i < members; ++i)
      out->push_back(i);
  };
  if (!group.gridded) {
    everyone();
    return;
  }
  if (stamps_.size() < static_cast<size_t>(members))
    stamps_.resize(members, 0);
  if (++stamp_ == 0) {
    std::fill(stamps_.begin(), stamps_.end(), 0);
    stamp_ = 1;
  }
  for (int s = 0; s < count; ++s) {
    const CollisionSphere& sphere = spheres_[first + s];
    if (!Finite(sphere)) {
      everyone();
      return;
    }
    const float r = Reach(sphere.radius);
    const int64_t x0 = Cell(sphere.centre.x - r), x1 = Cell(sphere.centre.x + r);
    const int64_t y0 = Cell(sphere.centre.y - r), y1 = Cell(sphere.centre.y + r);
    const int64_t z0 = Cell(sphere.centre.z - r), z1 = Cell(sphere.centre.z + r);
    if ((x1 - x0 + 1) * (y1 - y0 + 1) * (z1 - z0 + 1) > kCellsPerQueryLimit) {
      everyone();
      return;
    }
    for (int64_t x = x0; x <= x1; ++x) {
      for (int64_t y = y0; y <= y1; ++y) {
        for (int64_t z = z0; z <= z1; ++z) {
          for (int e = group.FirstInCell(CellKey(x, y, z)); e >= 0;
               e = group.entryNext[static_cast<size_t>(e)]) {
            const int index = group.entryMember[static_cast<size_t>(e)];
            if (stamps_[index] != stamp_) {
              stamps_[index] = stamp_;
              out->push_back(index);
            }
          }
        }
      }
    }
  }
  for (int index : group.unbounded) {
    if (stamps_[index] != stamp_) {
      stamps_[index] = stamp_;
      out->push_back(index);
    }
  }
  // The pass visits a group in entry order, whatever the cells gave.
  std::sort(out->begin(), out->end());
}

bool CollisionManager::SpheresOverlap(int firstA, int countA, int firstB, int countB) const {
  for (int a = 0; a < countA; ++a) {
    const CollisionSphere& sa = spheres_[firstA + a];
    for (int b = 0; b < countB; ++b) {
      const CollisionSphere& sb = spheres_[firstB + b];
      const float reach = Reach(sa.radius) + Reach(sb.radius);
      const gfx::Vector3 d = sa.centre - sb.centre;
      // Not (a <= b), so that a NaN leaves the pair to the precise test.
      if (!(gfx::Vec3Dot(d, d) >= reach * reach))
        return true;
    }
  }
  return false;
}

std::vector<CollisionManager::Contact> CollisionManager::CollectContacts(bool broadPhase) {
  std::vector<Contact> contacts;
  if (leftTesters_ > 0)
    CompactTesters();
  // Tests only look; the lists change when contacts are delivered, after this walk.
  if (broadPhase)
    BuildCaches();
  for (size_t t = 0; t < testers_.size(); ++t) {
    const Tester& tester = testers_[t];
    if (tester.collideGroups.empty())
      continue;  // projectiles: only ever tested by others, so no need for their spheres here
    Collider* c = tester.collider;
    int first = 0, count = 0;
    if (broadPhase) {
      CacheSpheres(c, &first, &count);
      if (count == 0)
        continue;  // without a sphere of its own nothing can hit it
    }
    for (int number : tester.collideGroups) {
      if (!broadPhase) {
        auto group = groups_.find(number);
        if (group == groups_.end())
          continue;
        for (Collider* d : group->second) {
          gfx::Vector3 hit, push;
          if (d != c && c->TestCollision(*d, &hit, &push)) {
            contacts.push_back({c, d, hit, gfx::Vector3()});
            contacts.push_back({d, c, hit, push});
          }
        }
        continue;
      }
      auto cache = caches_.find(number);
      if (cache == caches_.end())
        continue;
      GroupCache& group = cache->second;
      Candidates(group, first, count, &candidates_);
      for (int index : candidates_) {
        const Member& member = group.members[index];
        Collider* d = member.collider;
        if (d == c || !SpheresOverlap(first, count, member.first, member.count))
          continue;
        gfx::Vector3 hit, push;
        if (c->TestCollision(*d, &hit, &push)) {
          contacts.push_back({c, d, hit, gfx::Vector3()});
          contacts.push_back({d, c, hit, push});
        }
      }
    }
  }
  return contacts;
}

void CollisionManager::Pass() {
  for (const Contact& contact : CollectContacts(true))
    contact.receiver->OnHit(*contact.other, contact.hitPoint, contact.push);
  DeliverGroundHits();
}

void CollisionManager::DeliverGroundHits() {
  if (ground_ == nullptr)
    return;
  struct GroundHit {
    Collider* collider;
    int index;
    gfx::Vector3 hitPoint;
    gfx::Vector3 push;
  };
  std::vector<GroundHit> hits;
  const std::vector<Collider*> list = groundList_.Items();
  for (Collider* collider : list) {
    GroundHit hit{collider, 0, {}, {}};
    if (ground_->TestCollision(*collider, &hit.hitPoint, &hit.push, &hit.index))
      hits.push_back(hit);
  }
  for (const GroundHit& hit : hits) {
    hit.collider->OnGroundHit(*ground_, hit.index, hit.hitPoint, hit.push);
    ground_->Shatter(hit.index, hit.hitPoint);
  }
}

}  // namespace quarn
