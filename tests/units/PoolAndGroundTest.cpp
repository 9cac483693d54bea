// The effect pool's reuse rule, and the ground: its grid following the camera, the flat-ground
// push, the cheap skip above its meshes and its forces.
#include <gtest/gtest.h>

#include <random>

#include "engine/DefinitionFile.h"
#include "gfxutil/MathExpect.h"
#include "stage/Ground.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/Solid.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"

namespace quarn::testing {
namespace {

class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.AddDefinition("Puff.txt", {"[Particle]", "ParticleCount=1", "[Particle_0]",
                                    "EmitTime=0.1", "EmitRate=60", "LifeTime=0.2"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
  }
  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
};

TEST_F(PoolTest, FinishedObjectsComeBackEarliestMadeFirstAndHeldOnesNever) {
  Particle* a = stage_->pool.AcquireParticle("Puff.txt", true);
  a->StartTimed(kPlayerSide);
  Particle* b = stage_->pool.AcquireParticle("Puff.txt", true);
  EXPECT_NE(a, b) << "the first is still running";
  b->StartTimed(kPlayerSide);
  stage_->Step(30);
  ASSERT_TRUE(a->IsFinished() && b->IsFinished());
  Particle* first = stage_->pool.AcquireParticle("Puff.txt", true);
  first->StartTimed(kPlayerSide);
  Particle* second = stage_->pool.AcquireParticle("Puff.txt", true);
  EXPECT_EQ(first, a);
  EXPECT_EQ(second, b);
  second->Hold();
  stage_->Step(30);
  EXPECT_EQ(stage_->pool.AcquireParticle("Puff.txt", true), a);
  a->StartTimed(kPlayerSide);
  EXPECT_NE(stage_->pool.AcquireParticle("Puff.txt", true), b) << "held for good";
  EXPECT_NE(stage_->pool.AcquireParticle("Puff.txt", false), a) << "no reuse: always new";
}

TEST_F(PoolTest, ReuseAlwaysFindsTheEarliestFinishedObjectOfAllThatWereMade) {
  std::vector<Particle*> made;  // in creation order, as the pool files them
  std::mt19937 random(11);
  for (int round = 0; round < 400; ++round) {
    // What a walk over every object in creation order would hand out.
    Particle* expected = nullptr;
    for (Particle* p : made) {
      if (p->IsFinished() && !p->IsHeld()) {
        expected = p;
        break;
      }
    }
    Particle* got = stage_->pool.AcquireParticle("Puff.txt", true);
    if (expected != nullptr)
      ASSERT_EQ(got, expected) << "round " << round;
    else if (std::find(made.begin(), made.end(), got) == made.end())
      made.push_back(got);
    if (random() % 3 != 0)
      got->StartTimed(kPlayerSide);
    if (random() % 17 == 0)
      got->Hold();
    stage_->Step(static_cast<int>(random() % 4));
  }
  EXPECT_GT(made.size(), 3u);
}

// A solid that collides with the ground and counts its ground hits.
class Lander : public Solid {
 public:
  using Solid::Solid;
  bool OnGroundHit(GroundCollider& ground, int index, const gfx::Vector3& hit,
                   const gfx::Vector3& push) override {
    hits.push_back({index, hit, push, ground.GetImpulsiveForce(index)});
    return true;
  }
  struct Hit {
    int index;
    gfx::Vector3 point, push;
    float force;
  };
  std::vector<Hit> hits;
};

class GroundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCube(rig_);
    rig_.AddDefinition("Ground.txt",
                       {"[Ground]", "RepeatMeshEnable=true", "RepeatMeshFile=Cube.x",
                        "FogStartDistance=10", "FogEndDistance=20", "CollisionCount=2",
                        "[Collision_0]", "MeshFile=Missing.x", "ImpulsiveForce=5",
                        "[Collision_1]", "MeshFile=Cube.x", "ImpulsiveForce=40"});
    rig_.AddDefinition("Lander.txt",
                       {"[Solid]", "GroundCollisionEnable=true", "IntersectRayCount=1",
                        "IntersectRayStartPointY_0=0.75", "IntersectRayEndPointY_0=-0.75"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
    ground_ = std::make_unique<Ground>(stage_.get());
    ground_->Load("Ground.txt");
    lander_ = std::make_unique<Lander>(stage_.get());
    ASSERT_TRUE(lander_->Load("Lander.txt", 1, kUnitGroup, {}));
    lander_->Body().SetParent(&stage_->root);
    lander_->Activate(kPlayerSide);
  }
  void TearDown() override { ground_->Unload(); }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
  std::unique_ptr<Ground> ground_;
  std::unique_ptr<Lander> lander_;
};

TEST_F(GroundTest, TheGridStepsByWholeTilesToKeepTheCameraOverTheMiddle) {
  stage_->camera->Body().SetPosition({5001, 300, -100});
  ground_->Update();
  EXPECT_TRUE(gfx::VectorNear(ground_->RepeatFrame().GetPosition(), {10000, 0, 0}, 0.0f));
  EXPECT_NEAR(stage_->camera->Body().GetPosition(&ground_->RepeatFrame()).x, -4999.0f, 1e-2f);
  stage_->camera->Body().SetPosition({-20000, 0, 7000});
  ground_->Update();
  EXPECT_TRUE(gfx::VectorNear(ground_->RepeatFrame().GetPosition(), {0, 0, 10000}, 0.0f))
      << "one step per axis per frame";
}

TEST_F(GroundTest, ARayDownIntoFlatGroundIsPushedUpByHowDeepItWent) {
  lander_->Body().SetPosition({0.3f, 1.5f, 0.2f});  // the ray runs from 2.25 down to 0.75
  stage_->collisions.Pass();
  ASSERT_EQ(lander_->hits.size(), 1u);
  EXPECT_EQ(lander_->hits[0].index, 1) << "a mesh that failed to load never hits";
  EXPECT_TRUE(gfx::VectorNear(lander_->hits[0].point, {0.3f, 1.0f, 0.2f}, 1e-5f));
  EXPECT_TRUE(gfx::VectorNear(lander_->hits[0].push, {0.0f, 0.25f, 0.0f}, 1e-5f));
  EXPECT_EQ(lander_->hits[0].force, 40.0f);
  EXPECT_EQ(ground_->GetImpulsiveForce(2), 0.0f);
  EXPECT_EQ(ground_->GetImpulsiveForce(-1), 0.0f);
}

TEST_F(GroundTest, NothingAboveTheMeshesCanHitThemWhateverItsRays) {
  lander_->Body().SetPosition({0, 5, 0});
  stage_->collisions.Pass();
  EXPECT_TRUE(lander_->hits.empty());
  lander_->Deactivate();
  lander_->Body().SetPosition({0, 1.5f, 0});
  stage_->collisions.Pass();
  EXPECT_TRUE(lander_->hits.empty()) << "an object out of play leaves the ground list";
  EXPECT_EQ(stage_->collisions.GroundListSize(), 0u);
}

}  // namespace
}  // namespace quarn::testing
