// Targets, containers and movers: armour and the break, progress paid once, the chain from a
// broken part to its unit's destruction, the speed model, steering, the crash and engines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/DefinitionFile.h"
#include "units/Building.h"
#include "units/Component.h"
#include "units/Engine.h"
#include "units/LightAircraft.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"

namespace quarn::testing {
namespace {

// What hits a target: a collider that deals a fixed force.
class Hammer : public Model {
 public:
  explicit Hammer(float force) : Model(nullptr), force_(force) {}
  bool Cull(ViewCamera&, bool) override { return false; }
  bool DrawNormal() override { return false; }
  bool DrawAlpha() override { return false; }
  float GetImpulsiveForce() override { return force_; }

 private:
  float force_;
};

std::vector<std::string> With(std::vector<std::string> lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

class DamageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCube(rig_);
    rig_.AddDefinition("Spark.txt", {"[Particle]", "ParticleCount=1", "[Particle_0]",
                                     "EmitTime=0.1", "EmitRate=30", "LifeTime=0.1"});
    const std::vector<std::string> shatter = {"ShatterParticleEnable=true",
                                              "ShatterParticleFile=Spark.txt"};
    rig_.AddDefinition("Soft.txt", With(CubeTargetLines(10), {"BreakProgressPoint_0=3",
                                                              "BreakProgressPoint_5=-2"}));
    rig_.AddDefinition("Hard.txt", With(CubeTargetLines(0), {}));
    rig_.AddDefinition("Negative.txt", With(CubeTargetLines(1), {"MinBreakDelayTime=-5",
                                                                 "MaxBreakDelayTime=-5"}));
    // A unit of two components: each part's break takes half the unit's power and adds half of
    // its destruct progress through its one event; the unit then runs two events of its own.
    rig_.AddDefinition("Part.txt", With(CubeTargetLines(5), {"[Container]", "BreakDestructRate=1",
                                                             "DestructEventCount=1",
                                                             "[DestructEvent_0]",
                                                             "DestructRate=0.5", "PowerRate=0.5",
                                                             "ExistDisable=true"}));
    rig_.AddDefinition("Hull.txt",
                       With(CubeTargetLines(0),
                            {"[Container]", "ComponentCount=2", "DestructEventCount=2",
                             "[Component_0]", "DefineFile=Part.txt", "PositionX=5",
                             "[Component_1]", "DefineFile=Part.txt", "PositionX=-5",
                             "OrientationH=90", "[DestructEvent_0]", "MinDelayTime=0.5",
                             "MaxDelayTime=0.5", "ProgressPoint_2=7", "[DestructEvent_1]",
                             "MinDelayTime=nan", "MaxDelayTime=nan", "ExistDisable=true"}));
    rig_.AddDefinition("Loop.txt", {"[Container]", "ComponentCount=1", "[Component_0]",
                                    "DefineFile=Loop.txt", "PositionY=3"});
    rig_.AddDefinition("Plane.txt",
                       With(CubeTargetLines(5),
                            {"GroundCollisionEnable=true", "[Container]", "BreakDestructRate=1",
                             "DestructEventCount=2", "EngineCount=1", "[Engine_0]",
                             "DefineFile=Motor.txt", "[DestructEvent_0]", "MinDelayTime=30",
                             "MaxDelayTime=30", "[DestructEvent_1]", "MinDelayTime=30",
                             "MaxDelayTime=30", "[Aircraft]", "MinVelocity=2",
                             "MaxVelocity=6", "AccelerationVelocityDelta=1",
                             "DecelerationVelocityDelta=1", "MaxUpPitchRotationally=3",
                             "MaxDownPitchRotationally=2", "MaxHeadRotationally=1",
                             "MaxBankRotationally=4", "CrashEventIndex=1"}));
    rig_.AddDefinition("Motor.txt", {"[Engine]", "MinPropellerRotationally=100",
                                     "MaxPropellerRotationally=500", "PropellerCount=1",
                                     "[Propeller_0]", "MeshFile=Cube.x"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
  }

  template <class Kind = Building>
  std::unique_ptr<Kind> Make(const std::string& file, int id = 1) {
    auto unit = std::make_unique<Kind>(stage_.get());
    DefinitionFile section;
    section.Parse(Lines({"[U]", "DefineFile=" + file, "UnitID=" + std::to_string(id),
                         "LayoutPositionY=100", "MinHeight=-1000", "MaxHeight=1000",
                         "AreaOuterDistance=1000000"}));
    section.SelectSection("U");
    EXPECT_TRUE(unit->LoadPlacement(section)) << file;
    unit->Activate(kEnemySide);
    return unit;
  }
  void Hit(Target& target, float force) {
    Hammer hammer(force);
    target.OnHit(hammer, target.WorldPosition(), {});
  }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
};

TEST_F(DamageTest, AnArmouredZeroTargetNeverBreaksButShattersAtEveryHit) {
  auto hard = Make("Hard.txt");
  Hit(*hard, 1000);
  EXPECT_EQ(hard->GetLifeState(), LifeState::Alive);
  EXPECT_TRUE(hard->ShatterParticle() == nullptr || hard->ShatterParticle()->IsActive());
  EXPECT_TRUE(stage_->targets.Contains(hard.get()));
}

TEST_F(DamageTest, DamageEqualToTheArmourLeftBreaksOnceAndPaysItsPointsOnce) {
  auto soft = Make("Soft.txt");
  Hit(*soft, 4);
  EXPECT_EQ(soft->GetLifeState(), LifeState::Alive);
  Hit(*soft, 6);
  EXPECT_EQ(soft->GetLifeState(), LifeState::Breaking);
  EXPECT_FALSE(stage_->targets.Contains(soft.get())) << "no longer a target";
  Hit(*soft, 6);
  EXPECT_EQ(soft->Armour(), 0.0f) << "nothing more once broken";
  stage_->Step();  // a break delay of 0: broken on the first Breaking frame
  EXPECT_TRUE(soft->IsBroken());
  stage_->Step(10);
  EXPECT_EQ(stage_->progress[0], 3);
  EXPECT_EQ(stage_->progress[5], -2);
  EXPECT_EQ(stage_->log, (std::vector<std::string>{"broken 1"}));
}

TEST_F(DamageTest, ANegativeOrNotANumberDelayCountsAsZeroSoTheBreakStillEnds) {
  auto unit = Make("Negative.txt");
  Hit(*unit, 1);
  stage_->Step();
  EXPECT_TRUE(unit->IsBroken());
}

TEST_F(DamageTest, BrokenPartsTakeTheirUnitsPowerAndDestroyItWithItsPartsInOrder) {
  auto hull = Make("Hull.txt", 9);
  ASSERT_EQ(hull->Components().size(), 2u);
  Component& left = *hull->Components()[0];
  Component& right = *hull->Components()[1];
  EXPECT_NEAR(right.Body().GetPosition().x, -5.0f, 1e-5f);
  Hit(left, 5);
  stage_->Step(3);
  EXPECT_EQ(left.GetLifeState(), LifeState::Destructing) << "its own progress reached 1";
  EXPECT_EQ(hull->Power(), 0.5f);
  EXPECT_EQ(hull->DestructProgress(), 0.5f);
  EXPECT_EQ(hull->GetLifeState(), LifeState::Alive);
  EXPECT_FALSE(left.InRenders()) << "its event took it out of the scene";
  Hit(right, 5);
  stage_->Step(3);
  EXPECT_EQ(hull->Power(), 0.0f);
  EXPECT_EQ(hull->GetLifeState(), LifeState::Destructing);
  EXPECT_FALSE(hull->IsDestructed()) << "its first event waits half a second";
  int frames = 0;
  while (!hull->IsDestructed() && frames < 30) {
    stage_->Step();
    ++frames;
  }
  EXPECT_GE(frames, 14);
  EXPECT_LE(frames, 16);
  EXPECT_EQ(stage_->progress[2], 7);
  EXPECT_TRUE(hull->IsActive()) << "held by its second event";
  stage_->Step();  // a NaN delay runs at once
  EXPECT_FALSE(hull->IsActive());
  EXPECT_EQ(stage_->log, (std::vector<std::string>{"destructed 9"}));
}

TEST_F(DamageTest, AFileThatNamesItselfAsAPartIsRefusedWhereTheRingCloses) {
  auto loop = Make("Loop.txt");
  ASSERT_EQ(loop->Components().size(), 1u);
  EXPECT_FALSE(loop->Components()[0]->IsLoaded()) << "kept, unloaded";
  EXPECT_NEAR(loop->Components()[0]->Body().GetPosition().y, 3.0f, 1e-5f)
      << "mounted where its section says";
}

TEST_F(DamageTest, TheSpeedModelHoldsItsBoundsAndScalesByPower) {
  auto plane = Make<LightAircraft>("Plane.txt");
  EXPECT_EQ(plane->Speed(), 2.0f);
  for (int i = 0; i < 10; ++i)
    plane->SetThrottleInput(0.5f);
  EXPECT_EQ(plane->Speed(), 4.0f) << "never above the fraction asked for";
  EXPECT_NEAR(plane->Engines()[0]->Throttle(), 0.5f, 1e-6f);
  for (int i = 0; i < 10; ++i)
    plane->SetThrottleInput(-0.5f);
  EXPECT_EQ(plane->Speed(), 0.0f) << "a negative command falls below the minimum";
  plane->SetThrottleInput(1.0f);
  plane->ReducePower(1.0f);
  plane->SetThrottleInput(1.0f);
  EXPECT_EQ(plane->Speed(), 0.0f) << "no power: stopped at the next command";
  EXPECT_EQ(plane->Engines()[0]->Throttle(), 0.0f) << "clamped for the propellers";
}

TEST_F(DamageTest, ALightAircraftWithItsTargetStraightBehindPullsUpWithoutRolling) {
  auto plane = Make<LightAircraft>("Plane.txt");
  plane->SteerToward(plane->WorldPosition() - plane->WorldForward() * 100.0f);
  EXPECT_EQ(plane->BankRate(), 0.0f);
  EXPECT_EQ(plane->PitchRate(), 3.0f);
}

TEST_F(DamageTest, ACrashingAircraftThatStrikesAgainAfterItsCrashEventDoesNotRestartIt) {
  auto plane = Make<LightAircraft>("Plane.txt");
  Hit(*plane, 5);
  stage_->Step();
  ASSERT_EQ(plane->GetLifeState(), LifeState::Destructing);
  EXPECT_EQ(plane->CurrentEventIndex(), 0u);
  Hit(*plane, 0);
  EXPECT_EQ(plane->CurrentEventIndex(), 1u) << "a hit jumps to the crash event";
  stage_->Step(5);
  Hammer ground(0);
  plane->OnHit(ground, {}, {});
  EXPECT_EQ(plane->CurrentEventIndex(), 1u);
  EXPECT_LT(plane->WorldPosition().y, 100.0f) << "falling under gravity";
}

TEST_F(DamageTest, PropellersTurnWithTheThrottleAndOnlyWhileTheEngineIsAlive) {
  auto plane = Make<LightAircraft>("Plane.txt");
  Engine& engine = *plane->Engines()[0];
  EXPECT_EQ(engine.PropellerRate(), 100.0f);
  engine.SetEngineThrottle(7.0f);
  EXPECT_EQ(engine.PropellerRate(), 500.0f);
  Transform& propeller = engine.Propellers()[0]->frame;
  const float before = propeller.GetOrientation().up.x;
  engine.Update();
  EXPECT_NE(propeller.GetOrientation().up.x, before);
  engine.Break();
  const float broken = propeller.GetOrientation().up.x;
  engine.Update();
  EXPECT_EQ(propeller.GetOrientation().up.x, broken);
}

}  // namespace
}  // namespace quarn::testing
