// Bullets and rockets: the launch and its spread, the fuse, homing with lead, the range, the
// swept hit, the drop and ignition of rockets, and pooled shots starting clean.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "gfxutil/MathExpect.h"
#include "projectiles/Gun.h"
#include "projectiles/Rocket.h"
#include "stage/Ground.h"
#include "units/Building.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"

namespace quarn::testing {
namespace {

constexpr float kDegrees = 57.295776f;

class ProjectileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCube(rig_);
    rig_.AddDefinition("Burst.txt", {"[Particle]", "ParticleCount=1", "[Particle_0]",
                                     "EmitTime=0.2", "EmitRate=30", "LifeTime=0.3"});
    rig_.AddDefinition("Shell.txt", {"[Solid]", "CollisionEnable=true", "ImpulsiveForce=7",
                                     "[Bullet]", "BurstParticleEnable=true",
                                     "BurstParticleFile=Burst.txt", "DisappearDistance=3000",
                                     "IntersectRayCount=1", "[Gun]", "InitialVelocity=900"});
    rig_.AddDefinition("Wide.txt", {"[Bullet]", "FireVariability=10", "DisappearDistance=3000",
                                    "[Gun]", "InitialVelocity=900"});
    rig_.AddDefinition(
        "Fused.txt",
        {"[Bullet]", "DisappearDistance=3000", "ProximityFuseEnable=true",
         "MinProximityFuseDistance=20", "MaxProximityFuseDistance=20", "BurstParticleEnable=true",
         "BurstParticleFile=Burst.txt", "[Gun]", "InitialVelocity=300"});
    rig_.AddDefinition("Homing.txt", {"[Bullet]", "DisappearDistance=30000", "HomingEnable=true",
                                      "PredictHomingRate=1", "MaxPitchRotationally=90",
                                      "MaxHeadRotationally=45", "[Gun]", "InitialVelocity=300"});
    rig_.AddDefinition("Still.txt", {"[Bullet]", "DisappearDistance=100", "[Gun]"});
    rig_.AddDefinition(
        "Missile.txt",
        {"[Bullet]", "DisappearDistance=30000", "HomingEnable=true", "PredictHomingRate=0",
         "MaxPitchRotationally=100", "MaxHeadRotationally=100", "[Rocket]", "FinalVelocity=400",
         "VelocityDelta=600", "MinIgnitionTime=0.5", "MaxIgnitionTime=0.5"});
    rig_.AddDefinition("Quick.txt", {"[Bullet]", "DisappearDistance=30000", "[Rocket]",
                                     "FinalVelocity=50", "VelocityDelta=10", "Dispersion=0"});
    rig_.AddDefinition("Braking.txt", {"[Bullet]", "DisappearDistance=3000", "[Rocket]",
                                       "FinalVelocity=500", "VelocityDelta=-3000"});
    rig_.AddDefinition("Box.txt", CubeTargetLines(100));
    // Shots that also strike the ground, and mark where they struck with a spark.
    for (const char* kind : {"Gun", "Rocket"}) {
      std::vector<std::string> lines = {"[Solid]",
                                        "CollisionEnable=true",
                                        "GroundCollisionEnable=true",
                                        "ImpulsiveForce=20",
                                        "ShatterParticleEnable=true",
                                        "ShatterParticleFile=Burst.txt",
                                        "[Bullet]",
                                        "BurstParticleEnable=true",
                                        "BurstParticleFile=Burst.txt",
                                        "DisappearDistance=3000",
                                        "IntersectRayCount=1",
                                        std::string("[") + kind + "]"};
      if (std::string(kind) == "Gun")
        lines.push_back("InitialVelocity=900");
      else
        lines.insert(lines.end(), {"FinalVelocity=900", "VelocityDelta=0", "Dispersion=0",
                                   "MinIgnitionTime=0", "MaxIgnitionTime=0"});
      rig_.AddDefinition(std::string("Strike") + kind + ".txt", lines);
    }
    AddScaledCube(rig_, "Floor.x", 100.0f);
    AddScaledCube(rig_, "Block.x", 20.0f);
    std::vector<std::string> block = CubeTargetLines(100);
    for (std::string& line : block) {
      if (line.find("Cube.x") != std::string::npos)
        line.replace(line.find("Cube.x"), 6, "Block.x");
    }
    rig_.AddDefinition("Block.txt", block);
    rig_.AddDefinition("Floor.txt", {"[Ground]", "CollisionCount=1", "[Collision_0]",
                                     "MeshFile=Floor.x", "ImpulsiveForce=3"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
    port_.SetParent(&stage_->root);
  }

  // A shot of file launched from the port on the player's side, at target (or none).
  template <class Kind>
  Kind* Fire(const std::string& file, Model* target = nullptr,
             const gfx::Vector3& launchVelocity = {}) {
    Kind* shot = nullptr;
    if constexpr (std::is_same_v<Kind, Rocket>)
      shot = stage_->pool.AcquireRocket(file, true);
    else
      shot = stage_->pool.AcquireGunBullet(file, true);
    shot->MountOnPort(&port_, false);
    shot->SetTarget(target);
    shot->Arm();
    shot->SetLaunchVelocity(launchVelocity);
    shot->Activate(kPlayerSide);
    shot->MountOnPort(nullptr, false);
    return shot;
  }

  std::unique_ptr<Building> Box(const gfx::Vector3& at, const std::string& file = "Box.txt") {
    auto box = std::make_unique<Building>(stage_.get());
    DefinitionFile section;
    section.Parse(Lines({"[B]", "DefineFile=" + file, "LayoutPositionX=" + std::to_string(at.x),
                         "LayoutPositionY=" + std::to_string(at.y),
                         "LayoutPositionZ=" + std::to_string(at.z)}));
    section.SelectSection("B");
    EXPECT_TRUE(box->LoadPlacement(section));
    box->Activate(kEnemySide);
    return box;
  }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
  Transform port_;
};

TEST_F(ProjectileTest, NoSpreadLeavesAlongThePortAndTenDegreesStaysWithinFive) {
  port_.RotateY(CombineMode::LocalAxes, 0.5f);
  Gun* straight = Fire<Gun>("Shell.txt");
  EXPECT_TRUE(gfx::VectorNear(straight->WorldForward(), port_.GetWorldMatrix().GetRow(2), 1e-6f));
  EXPECT_EQ(straight->Speed(), 900.0f);
  EXPECT_TRUE(stage_->projectiles.Contains(straight));
  for (int i = 0; i < 50; ++i) {
    Gun* wide = Fire<Gun>("Wide.txt");
    const gfx::Vector3 local = port_.WorldToLocalVector(wide->WorldForward());
    EXPECT_LE(std::fabs(std::atan2(local.x, local.z)) * kDegrees, 5.0f + 1e-3f);
    EXPECT_LE(std::fabs(std::asin(local.y)) * kDegrees, 5.3f);
  }
}

TEST_F(ProjectileTest, ATargetInsideTheFuseOnTheFirstFrameBurstsThereAfterOneMove) {
  auto box = Box({0, 0, 15});
  Gun* shot = Fire<Gun>("Fused.txt", box.get());
  EXPECT_EQ(shot->FuseDistance(), 20.0f) << "equal fuse distances: exactly that radius";
  shot->Update();
  EXPECT_FALSE(shot->IsActive());
  EXPECT_FALSE(stage_->projectiles.Contains(shot));
  EXPECT_TRUE(shot->BurstParticle()->IsActive());
  EXPECT_NEAR(shot->WorldPosition().z, 300.0f * kFrameStep, 1e-4f) << "it still moved once";
  EXPECT_FALSE(shot->IsFinished()) << "while its burst plays";
}

TEST_F(ProjectileTest, HomingTurnsNotAtATargetAheadAndAtTheLimitsForOneBehind) {
  auto ahead = Box({0, 0, 500});
  Gun* shot = Fire<Gun>("Homing.txt", ahead.get());
  shot->UpdateHoming();
  EXPECT_NEAR(shot->PitchRate(), 0.0f, 1e-3f);
  EXPECT_NEAR(shot->HeadRate(), 0.0f, 1e-3f);
  auto behind = Box({-1, 1, -500});
  Gun* turned = Fire<Gun>("Homing.txt", behind.get());
  turned->UpdateHoming();
  EXPECT_EQ(turned->PitchRate(), 90.0f);
  EXPECT_EQ(turned->HeadRate(), -45.0f);
  // A target that has left play is no longer followed.
  behind->Deactivate();
  turned->UpdateHoming();
  EXPECT_EQ(turned->HeadRate(), 0.0f);
}

TEST_F(ProjectileTest, ATargetMovingWithTheShotGetsNoLead) {
  auto target = Box({30, 0, 100});
  // The target's estimate equals the shot's own velocity: R is zero, so no lead at all.
  target->SetVelocityEstimate({0, 0, 300});
  Gun* shot = Fire<Gun>("Homing.txt", target.get());
  shot->UpdateHoming();
  const float expected = std::atan2(30.0f, 100.0f) * kDegrees * 30.0f;
  EXPECT_NEAR(shot->HeadRate(), std::min(expected, 45.0f), 1e-3f);
}

TEST_F(ProjectileTest, AShotFastEnoughToCrossAThinTargetBetweenFramesStillHitsIt) {
  auto box = Box({0, 0, 100});  // two units deep; the shot flies 30 a frame
  port_.SetPosition({0, 0, 70});
  Gun* shot = Fire<Gun>("Shell.txt");
  ASSERT_EQ(shot->Speed(), 900.0f);
  bool hit = false;
  for (int frame = 0; frame < 5 && !hit; ++frame) {
    stage_->Step();
    hit = !shot->IsActive();
  }
  EXPECT_TRUE(hit);
  EXPECT_EQ(box->Armour(), 93.0f) << "told with the shot's impulsive force";
  EXPECT_TRUE(shot->BurstParticle()->IsActive()) << "the burst plays where it hit";
}

// A test-only launcher: shells and rockets fired at a building and down at the ground's
// collision mesh mark the face they crossed in their last frame (the path is traced back from
// where they ended up), hurt the building by their impulsive force and burst.
TEST_F(ProjectileTest, ShellsAndRocketsStrikeABuildingAndTheGroundWhereTheyCrossTheirSurface) {
  Ground ground(stage_.get());
  ASSERT_TRUE(ground.Load("Floor.txt"));       // a floor whose top is at y = 100
  auto box = Box({0, 200, 100}, "Block.txt");  // 40 deep, near face at z = 80
  auto flyUntilItEnds = [&](Bullet* shot) {
    for (int frame = 0; frame < 20 && shot->IsActive(); ++frame)
      stage_->Step();
    EXPECT_FALSE(shot->IsActive());
  };
  int hits = 0;
  for (const char* file : {"StrikeGun.txt", "StrikeRocket.txt"}) {
    SCOPED_TRACE(file);
    const bool rocket = std::string(file) == "StrikeRocket.txt";
    // At the building, level, from 46 units off (not a whole number of frames' flight).
    port_.SetPosition({0.4f, 200.3f, 34});
    port_.SetOrientation({0, 0, 1}, {0, 1, 0});
    Bullet* shot = rocket ? static_cast<Bullet*>(Fire<Rocket>(file, nullptr, {0, 0, 900}))
                          : static_cast<Bullet*>(Fire<Gun>(file));
    flyUntilItEnds(shot);
    EXPECT_EQ(box->Armour(), 100.0f - 20.0f * static_cast<float>(++hits));
    ASSERT_NE(shot->ShatterParticle(), nullptr);
    EXPECT_TRUE(
        gfx::VectorNear(shot->ShatterParticle()->WorldPosition(), {0.4f, 200.3f, 80.0f}, 0.02f))
        << "on the near face (a rocket sinks a hair before it ignites)";
    EXPECT_TRUE(shot->BurstParticle()->IsActive());
    // Straight down at the floor from 47 units above it.
    port_.SetPosition({-30, 147, 10});
    port_.SetOrientation({0, -1, 0}, {0, 0, 1});
    shot = rocket ? static_cast<Bullet*>(Fire<Rocket>(file, nullptr, {0, -900, 0}))
                  : static_cast<Bullet*>(Fire<Gun>(file));
    flyUntilItEnds(shot);
    EXPECT_TRUE(gfx::VectorNear(shot->ShatterParticle()->WorldPosition(), {-30, 100, 10}, 1e-3f));
    EXPECT_NEAR(shot->WorldPosition().y, 100.0f, 1e-3f) << "pushed back out to the surface";
    EXPECT_TRUE(shot->BurstParticle()->IsActive());
  }
  ground.Unload();
}

TEST_F(ProjectileTest, AShotThatCanNeverReachItsRangeStillEnds) {
  Gun* still = Fire<Gun>("Still.txt");
  still->Update();
  EXPECT_FALSE(still->IsActive()) << "a speed of 0";
  Rocket* braking = Fire<Rocket>("Braking.txt", nullptr, {0, 0, 300});
  // Slowed past nothing it flies backwards, and the distance flown either way ends it.
  for (int frame = 0; frame < 200 && braking->IsActive(); ++frame)
    braking->Update();
  EXPECT_FALSE(braking->IsActive());
}

TEST_F(ProjectileTest, ARocketIgnitesWithTheLaunchersForwardSpeedAndClampsToItsFinalSpeed) {
  Rocket* rocket = Fire<Rocket>("Quick.txt", nullptr, {0, -20, 200});
  rocket->Update();
  EXPECT_TRUE(rocket->IsIgnited()) << "no drop time";
  EXPECT_NEAR(rocket->Speed(), 200.0f, 0.5f) << "the forward part, less one step of drag";
  rocket->Update();
  EXPECT_EQ(rocket->Speed(), 50.0f);
  EXPECT_TRUE(gfx::VectorNear(rocket->WorldForward(), {0, 0, 1}, 1e-6f)) << "no tumble";
}

TEST_F(ProjectileTest, DuringTheDropAHomingRocketDoesNotSteer) {
  auto target = Box({200, 0, 200});
  Rocket* rocket = Fire<Rocket>("Missile.txt", target.get(), {0, 0, 100});
  for (int frame = 0; frame < 10; ++frame) {
    rocket->Update();
    EXPECT_FALSE(rocket->IsIgnited());
    EXPECT_EQ(rocket->HeadRate(), 0.0f);
  }
  for (int frame = 0; frame < 10; ++frame)
    rocket->Update();
  EXPECT_TRUE(rocket->IsIgnited());
  EXPECT_GT(rocket->HeadRate(), 0.0f) << "steering with ignition, scaled by its speed";
  EXPECT_LT(rocket->HeadRate(), 100.0f);
}

TEST_F(ProjectileTest, APooledShotPutOnAPortAgainForgetsItsLastTargetAndArming) {
  auto target = Box({0, 0, 50});
  Gun* first = Fire<Gun>("Shell.txt", target.get());
  first->Deactivate();
  stage_->Step(30);  // the burst dies away
  ASSERT_TRUE(first->IsFinished());
  Gun* again = stage_->pool.AcquireGunBullet("Shell.txt", true);
  EXPECT_EQ(again, first);
  first->SetTarget(target.get());
  first->Arm();
  again->MountOnPort(&port_, true);
  EXPECT_FALSE(again->IsArmed());
  EXPECT_FALSE(again->HasTarget());
  EXPECT_FALSE(again->IsFinished()) << "mounted";
}

}  // namespace
}  // namespace quarn::testing
