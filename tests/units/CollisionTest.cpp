// Solids and the collision manager: who can be hit by whom, the ray rules, the order and the
// pairing of contacts, and the broad phase giving exactly the pair-by-pair contacts.
#include <gtest/gtest.h>

#include <random>

#include "engine/RandomGenerator.h"
#include "gfxutil/MathExpect.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/Solid.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"

namespace quarn::testing {
namespace {

// A solid of group 1 that collides with the other side's group 1 and counts its hits.
class CountingSolid : public Solid {
 public:
  using Solid::Solid;
  bool Load(const std::string& file) { return Solid::Load(file, 1, kUnitGroup, {kUnitGroup}); }
  bool OnHit(Collider& other, const gfx::Vector3& hit, const gfx::Vector3& push) override {
    hits.push_back({&other, hit, push});
    return Solid::OnHit(other, hit, push);
  }
  struct Hit {
    Collider* other;
    gfx::Vector3 point, push;
  };
  std::vector<Hit> hits;
};

std::vector<std::string> RayLines(float startZ, float endZ, bool mesh) {
  std::vector<std::string> lines = {"[Solid]",
                                    "CollisionEnable=true",
                                    "ImpulsiveForce=3",
                                    "IntersectRayCount=1",
                                    "IntersectRayStartPointZ_0=" + std::to_string(startZ),
                                    "IntersectRayEndPointZ_0=" + std::to_string(endZ)};
  if (mesh) {
    lines.push_back("CollisionMeshEnable=true");
    lines.push_back("CollisionMeshFile=Cube.x");
    lines.push_back("ShatterParticleEnable=true");
    lines.push_back("ShatterParticleFile=Spark.txt");
  }
  return lines;
}

class CollisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCube(rig_);
    rig_.AddDefinition("Probe.txt", RayLines(0, 4, false));       // rays only
    rig_.AddDefinition("Block.txt", RayLines(0, 4, true));        // a mesh and rays
    rig_.AddDefinition("Short.txt", RayLines(-3, -1, false));     // ends on the cube's face
    rig_.AddDefinition("Lance.txt", RayLines(-300, 300, false));  // wider than a grid cell
    rig_.AddDefinition("Spark.txt", {"[Particle]", "ParticleCount=1", "[Particle_0]", "EmitTime=1",
                                     "EmitRate=30", "LifeTime=0.5"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
  }

  std::unique_ptr<CountingSolid> Make(const std::string& file, int side, gfx::Vector3 at) {
    auto solid = std::make_unique<CountingSolid>(stage_.get());
    EXPECT_TRUE(solid->Load(file));
    solid->Body().SetParent(&stage_->root);
    solid->Body().SetPosition(at);
    solid->Activate(side);
    return solid;
  }

  // The broad phase against the plain pass on the scene as it stands; returns how many
  // contacts there were.
  size_t ExpectSameContacts() {
    const auto fast = stage_->collisions.CollectContacts(true);
    const auto plain = stage_->collisions.CollectContacts(false);
    EXPECT_EQ(fast.size(), plain.size());
    for (size_t i = 0; i < plain.size() && i < fast.size(); ++i) {
      EXPECT_EQ(fast[i].receiver, plain[i].receiver) << i;
      EXPECT_EQ(fast[i].other, plain[i].other) << i;
      EXPECT_TRUE(gfx::VectorNear(fast[i].hitPoint, plain[i].hitPoint, 0.0f)) << i;
      EXPECT_TRUE(gfx::VectorNear(fast[i].push, plain[i].push, 0.0f)) << i;
    }
    return plain.size();
  }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
};

TEST_F(CollisionTest, BothPartiesAreHitInOneFrameTheRayOwnerWithThePush) {
  auto block = Make("Block.txt", kEnemySide, {0, 0, 0});
  auto probe = Make("Probe.txt", kPlayerSide, {0, 0, -2});  // its ray runs from z -2 to 2
  stage_->collisions.Pass();
  // The probe has no collision mesh: it is never hit by rays, but its ray enters the block.
  ASSERT_EQ(block->hits.size(), 1u);
  ASSERT_EQ(probe->hits.size(), 1u);
  EXPECT_EQ(block->hits[0].other, probe.get());
  EXPECT_TRUE(gfx::VectorNear(block->hits[0].point, {0, 0, -1}, 1e-4f));
  EXPECT_TRUE(gfx::VectorNear(block->hits[0].push, {0, 0, 0}, 0.0f)) << "the mesh owner";
  // The ray went 3 units past the face whose normal is -z: pushed back out along it.
  EXPECT_TRUE(gfx::VectorNear(probe->hits[0].push, {0, 0, -3}, 1e-4f));
  EXPECT_TRUE(block->ShatterParticle()->IsActive()) << "shattered where it was hit";
}

TEST_F(CollisionTest, ARayThatEndsExactlyOnTheSurfaceDoesNotHit) {
  auto block = Make("Block.txt", kEnemySide, {0, 0, 0});
  auto probe = Make("Short.txt", kPlayerSide, {0, 0, 0});  // from z -3 to the face at -1
  stage_->collisions.Pass();
  EXPECT_TRUE(block->hits.empty());
  probe->Body().SetPosition({0, 0, 0.001f});
  stage_->collisions.Pass();
  EXPECT_EQ(block->hits.size(), 1u);
}

TEST_F(CollisionTest, ObjectsOfOneSideAreNeverTestedAgainstTheirOwnSide) {
  auto block = Make("Block.txt", kEnemySide, {0, 0, 0});
  auto probe = Make("Probe.txt", kEnemySide, {0, 0, -2});
  stage_->collisions.Pass();
  EXPECT_TRUE(block->hits.empty());
  EXPECT_TRUE(probe->hits.empty());
}

TEST_F(CollisionTest, APlayingShatterParticleKeepsItsObjectFromFinishing) {
  auto block = Make("Block.txt", kEnemySide, {0, 0, 0});
  auto probe = Make("Probe.txt", kPlayerSide, {0, 0, -2});
  stage_->collisions.Pass();
  block->Deactivate();
  EXPECT_FALSE(block->IsActive());
  EXPECT_FALSE(block->IsFinished()) << "its spark is still playing";
  stage_->Step(60);
  EXPECT_TRUE(block->IsFinished());
}

TEST_F(CollisionTest, ALeavingColliderDropsOutOfItsGroupAndComesBackLastWhenItReenters) {
  auto first = Make("Block.txt", kEnemySide, {0, 0, 0});
  auto second = Make("Block.txt", kEnemySide, {0, 0, 0.5f});
  auto third = Make("Block.txt", kEnemySide, {0, 0, 1});
  // The enemy blocks' rays (z up to 5) enter this block (z 2 to 4); nothing else meets.
  auto player = Make("Block.txt", kPlayerSide, {0, 0, 3});
  // Contacts come in pairs, the tester's first: the player block's tests, in group order.
  auto testedInOrder = [this] {
    std::vector<Collider*> order;
    const auto contacts = stage_->collisions.CollectContacts(true);
    for (size_t i = 0; i < contacts.size(); i += 2)
      order.push_back(contacts[i].other);
    return order;
  };
  EXPECT_EQ(testedInOrder(), (std::vector<Collider*>{first.get(), second.get(), third.get()}));
  second->Deactivate();
  EXPECT_EQ(testedInOrder(), (std::vector<Collider*>{first.get(), third.get()}));
  second->Activate(kEnemySide);
  EXPECT_EQ(testedInOrder(), (std::vector<Collider*>{first.get(), third.get(), second.get()}));
  first->Deactivate();
  second->Deactivate();
  third->Deactivate();
  EXPECT_TRUE(testedInOrder().empty());
  EXPECT_TRUE(stage_->collisions.Contains(player.get()));
}

TEST_F(CollisionTest, TheBroadPhaseGivesThePairByPairContactsInTheirOrder) {
  // A crowd of blocks and probes over a small area, so that many pairs overlap.
  std::vector<std::unique_ptr<CountingSolid>> solids;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> place(-6.0f, 6.0f);
  for (int i = 0; i < 80; ++i) {
    const bool block = i % 3 != 0;
    solids.push_back(Make(block ? "Block.txt" : "Probe.txt", i % 2 == 0 ? kPlayerSide : kEnemySide,
                          {place(random), place(random) * 0.1f, place(random)}));
    solids.back()->Body().RotateY(CombineMode::LocalAxes, place(random));
  }
  EXPECT_GT(ExpectSameContacts(), 10u) << "the crowd must collide";
}

TEST_F(CollisionTest, TheBroadPhaseGivesThePairByPairContactsOverAWideArea) {
  // Blocks over thousands of grid cells, each of the first half with a probe of the other
  // side running through it, and lances too long for one cell (checked against everyone).
  std::vector<std::unique_ptr<CountingSolid>> solids;
  std::mt19937 random(11);
  std::uniform_real_distribution<float> across(-3000.0f, 3000.0f), turn(-3.0f, 3.0f);
  for (int i = 0; i < 200; ++i) {
    const int side = i % 2 == 0 ? kPlayerSide : kEnemySide;
    const gfx::Vector3 at(across(random), across(random) * 0.05f, across(random));
    solids.push_back(Make("Block.txt", side, at));
    solids.back()->Body().RotateY(CombineMode::LocalAxes, turn(random));
    if (i < 100) {
      const int other = side == kPlayerSide ? kEnemySide : kPlayerSide;
      solids.push_back(
          Make(i % 10 == 0 ? "Lance.txt" : "Probe.txt", other, at - gfx::Vector3(0, 0, 2)));
    }
  }
  EXPECT_GT(ExpectSameContacts(), 100u);
}

TEST(IntersectRayTest, EqualPointsGiveAZeroLengthRayWithNoDirection) {
  const IntersectRay ray = IntersectRay::Between({1, 2, 3}, {1, 2, 3});
  EXPECT_EQ(ray.length, 0.0f);
  EXPECT_TRUE(gfx::VectorNear(ray.direction, {0, 0, 0}, 0.0f));
}

}  // namespace
}  // namespace quarn::testing
