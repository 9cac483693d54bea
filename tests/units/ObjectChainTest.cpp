// The root of the object chain and the unit level: rigid-body steps, placement, the height
// band, Power, and the update manager's pass.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "engine/DefinitionFile.h"
#include "gfxutil/MathExpect.h"
#include "units/Building.h"
#include "units/LightAircraft.h"
#include "units/RigidBody.h"
#include "units/Ship.h"
#include "units/Side.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"

namespace quarn::testing {
namespace {

#define EXPECT_NEAR3(a, b, t) EXPECT_TRUE(gfx::VectorNear((a), (b), (t)))

TEST(RigidBodyTest, MassZeroKeepsItsVelocitiesWhateverActsOnIt) {
  RigidBody body;
  body.SetGravity(9.8f);
  body.SetLinearDrag(5.0f);
  body.SetAngularDrag(5.0f);
  body.SetLinearVelocity({1, 2, 3});
  body.SetAngularVelocity({0.0f, 0.5f, 0.0f});
  body.AddForce({100, 0, 0});
  body.AddTorque({0, 100, 0});
  body.Integrate(1.0f);
  EXPECT_NEAR3(body.LinearVelocity(), gfx::Vector3(1, 2, 3), 0.0f);
  EXPECT_NEAR3(body.AngularVelocity(), gfx::Vector3(0.0f, 0.5f, 0.0f), 0.0f);
  // It still moves and turns by the velocities it has.
  EXPECT_NEAR3(body.WorldPosition(), gfx::Vector3(1, 2, 3), 1e-6f);
  EXPECT_NEAR(body.Body().GetOrientation().forward.x, std::sin(0.5f), 1e-6f);
}

TEST(RigidBodyTest, ForcesAreGivenInTheBodysAxesAndSpentByOneStep) {
  RigidBody body;
  body.SetMass(2.0f);
  body.Body().RotateY(CombineMode::LocalAxes, 1.5707964f);  // nose toward +x
  body.AddForce({0, 0, 4});
  body.Integrate(0.5f);
  EXPECT_NEAR3(body.LinearVelocity(), gfx::Vector3(1, 0, 0), 1e-5f);
  body.Integrate(0.5f);  // nothing pending: no further acceleration without drag
  EXPECT_NEAR3(body.LinearVelocity(), gfx::Vector3(1, 0, 0), 1e-5f);
  EXPECT_NEAR3(body.WorldPosition(), gfx::Vector3(1, 0, 0), 1e-5f);
}

class UnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCube(rig_);
    rig_.AddDefinition("Box.txt", CubeTargetLines(10));
    rig_.AddDefinition("Plane.txt", {"[Aircraft]", "MinVelocity=3", "MaxVelocity=6",
                                     "MaxUpPitchRotationally=2", "MaxDownPitchRotationally=2",
                                     "MaxHeadRotationally=2", "MaxBankRotationally=4"});
    rig_.AddDefinition("Boat.txt",
                       {"[Ship]", "MinVelocity=2", "MaxVelocity=4", "AccelerationVelocityDelta=1",
                        "DecelerationVelocityDelta=1", "MaxHeadRotationally=2"});
    rig_.AddDefinition("Stage.txt", {"[Reference]",
                                     "DefineFile=Box.txt",
                                     "UnitID=1",
                                     "LayoutPositionX=100",
                                     "LayoutPositionY=50",
                                     "LayoutOrientationH=20",
                                     "LayoutOrientationP=30",
                                     "LayoutOrientationB=45",  //
                                     "[Follower]",
                                     "DefineFile=Box.txt",
                                     "UnitID=2",
                                     "RelativeLayoutUnitEnable=true",
                                     "RelativeLayoutUnitID=1",
                                     "LayoutPositionZ=10",  //
                                     "[Lost]",
                                     "DefineFile=Box.txt",
                                     "UnitID=3",
                                     "RelativeLayoutUnitEnable=true",
                                     "RelativeLayoutUnitID=77",
                                     "LayoutPositionZ=10",  //
                                     "[Broken]",
                                     "DefineFile=Missing.txt",
                                     "UnitID=4",
                                     "AreaUnitEnable=true"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
  }

  // A building placed from the stage file's section.
  std::unique_ptr<Building> Place(const std::string& section) {
    auto unit = std::make_unique<Building>(stage_.get());
    DefinitionFile* def = stage_->cache.GetDefinition("Stage.txt");
    def->SelectSection(section);
    placed_ = unit->LoadPlacement(*def);
    stage_->units[unit->UnitId()] = unit.get();
    return unit;
  }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
  bool placed_ = false;
};

TEST_F(UnitTest, PlacedRelativeToAPitchedAndBankedUnitItTakesItsForwardButKeepsWorldUp) {
  auto reference = Place("Reference");
  reference->Activate(kEnemySide);
  auto follower = Place("Follower");
  follower->Activate(kEnemySide);
  const gfx::Matrix ref = reference->Body().GetWorldMatrix();
  const gfx::Matrix own = follower->Body().GetWorldMatrix();
  EXPECT_NEAR3(own.GetRow(2), ref.GetRow(2), 1e-5f) << "the reference's forward";
  EXPECT_NEAR(own.m[0][1], 0.0f, 1e-5f) << "no bank: the right axis stays level";
  EXPECT_GT(own.m[1][1], 0.0f) << "up is on the world's up side";
  EXPECT_NEAR3(own.GetRow(3), ref.GetRow(3) + ref.GetRow(2) * 10.0f, 1e-3f);
}

TEST_F(UnitTest, AReferenceThatNoUnitHasPlacesRelativeToTheWorld) {
  auto lost = Place("Lost");
  lost->Activate(kEnemySide);
  EXPECT_NEAR3(lost->WorldPosition(), gfx::Vector3(0, 0, 10), 1e-5f);
}

TEST_F(UnitTest, AUnitWhoseFileFailsIsStillFiledUnderItsOwnIdAndDoesNothingInPlay) {
  auto broken = Place("Broken");
  EXPECT_FALSE(placed_);
  EXPECT_EQ(broken->UnitId(), 4);
  broken->Activate(kEnemySide);
  EXPECT_FALSE(broken->IsActive());
  EXPECT_TRUE(stage_->areaUnits.Empty()) << "nothing else of its placement is read";
  stage_->Step();
  EXPECT_FALSE(broken->InUpdates());
}

// Where the movers go: toward the destination until they stray past the area's outer ring,
// then home until they are inside its inner ring, then toward the destination again.
TEST_F(UnitTest, MoversSteerToTheirDestinationAndTurnBackIntoTheAreaWhenTheyStray) {
  for (const char* kind : {"ship", "aircraft"}) {
    SCOPED_TRACE(kind);
    const bool ship = std::string(kind) == "ship";
    std::unique_ptr<Unit> unit;
    if (ship)
      unit = std::make_unique<Ship>(stage_.get());
    else
      unit = std::make_unique<LightAircraft>(stage_.get());
    DefinitionFile section;
    section.Parse(Lines({"[P]", std::string("DefineFile=") + (ship ? "Boat.txt" : "Plane.txt"),
                         "LayoutPositionY=50", "DestinationPositionX=1000",
                         "DestinationPositionY=50", "AreaOuterDistance=300",
                         "AreaInnerDistance=100", "MinHeight=-1e6", "MaxHeight=1e6"}));
    section.SelectSection("P");
    ASSERT_TRUE(unit->LoadPlacement(section));
    unit->Activate(kEnemySide);
    unit->SetMode(BehaviourMode::ToDestination);
    // Its nose starts along +z; the destination lies along +x.
    for (int frame = 0; frame < 120; ++frame)
      stage_->Step();
    EXPECT_GT(unit->Body().GetWorldMatrix().m[2][0], 0.5f) << "turned toward the destination";
    float farthest = 0.0f;
    bool strayed = false, cameBack = false;
    for (int frame = 0; frame < 6000 && !cameBack; ++frame) {
      stage_->Step();
      farthest = std::max(farthest, unit->AreaDistance());
      if (unit->Mode() == BehaviourMode::ReturnToArea) {
        strayed = true;
        EXPECT_GT(farthest, 300.0f);
      } else if (strayed) {
        cameBack = unit->Mode() == BehaviourMode::ToDestination;
        EXPECT_LT(unit->AreaDistance(), 100.0f);
      }
    }
    EXPECT_TRUE(strayed);
    EXPECT_TRUE(cameBack);
    EXPECT_LT(farthest, 700.0f) << "it turned back rather than going on to the destination";
  }
}

TEST_F(UnitTest, PowerStaysBetweenZeroAndOneWhateverRatesAreApplied) {
  auto box = Place("Reference");
  box->Activate(kEnemySide);
  box->ReducePower(-5.0f);
  EXPECT_EQ(box->Power(), 1.0f);
  box->ReducePower(0.25f);
  EXPECT_EQ(box->Power(), 0.75f);
  box->ReducePower(3.0f);
  EXPECT_EQ(box->Power(), 0.0f);
  box->ReducePower(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(box->Power(), 0.0f);
}

TEST_F(UnitTest, WithAnEmptyHeightBandAUnitAboveZeroRecoversDownToIt) {
  LightAircraft plane(stage_.get());
  DefinitionFile section;
  section.Parse(Lines({"[P]", "DefineFile=Plane.txt", "LayoutPositionY=40",
                       "AreaOuterDistance=100000", "AreaInnerDistance=90000"}));
  section.SelectSection("P");
  ASSERT_TRUE(plane.LoadPlacement(section));
  plane.Activate(kEnemySide);
  plane.SetMode(BehaviourMode::ToDestination);
  EXPECT_FALSE(plane.HeightBandHolds());
  stage_->Step();
  EXPECT_EQ(plane.Mode(), BehaviourMode::RecoverHeight);
  float lowest = plane.WorldPosition().y;
  for (int frame = 0; frame < 600 && plane.Mode() == BehaviourMode::RecoverHeight; ++frame) {
    stage_->Step();
    lowest = std::min(lowest, plane.WorldPosition().y);
  }
  EXPECT_LT(lowest, 40.0f) << "it steers toward height 0";
}

TEST_F(UnitTest, LevelFlightNeverFailsTheLookAheadPartOfTheHeightBand) {
  Building unit(stage_.get());
  DefinitionFile section;
  section.Parse(Lines({"[P]", "DefineFile=Box.txt", "LayoutPositionY=50", "MinHeight=0",
                       "MaxHeight=100", "AvoidDistance=1e9"}));
  section.SelectSection("P");
  ASSERT_TRUE(unit.LoadPlacement(section));
  unit.Activate(kEnemySide);
  EXPECT_TRUE(unit.HeightBandHolds());
  unit.LayoutFrame().RotateX(CombineMode::LocalAxes, 0.1f);  // nose a little down
  EXPECT_FALSE(unit.HeightBandHolds()) << "the floor of the band is nearer than 1e9 ahead";
}

// An object that writes its name into a shared log when updated, and may act on the manager.
class Logging : public Updatable {
 public:
  Logging(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
  void Update() override {
    log_->push_back(name_);
    if (action)
      action();
  }
  std::function<void()> action;

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

TEST(UpdateManagerTest, APassUpdatesItsCopyInPriorityOrderThenTheHooks) {
  std::vector<std::string> log;
  UpdateManager manager;
  Logging a("a", &log), b("b", &log), c("c", &log), late("late", &log), camera("camera", &log),
      hud("hud", &log);
  EXPECT_TRUE(manager.Register(&b, 2));
  EXPECT_TRUE(manager.Register(&a, 1));
  EXPECT_TRUE(manager.Register(&c, 2));
  EXPECT_FALSE(manager.Register(&c, 2)) << "once per priority";
  manager.SetHudHook(&hud);
  manager.SetCameraHook(&camera);
  // During the pass: a removes c and adds a newcomer; both changes wait for the next pass.
  a.action = [&] {
    manager.Unregister(&c);
    manager.Register(&late, 0);
  };
  manager.UpdateAll();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c", "camera", "hud"}));
  log.clear();
  a.action = nullptr;
  manager.UpdateAll();
  EXPECT_EQ(log, (std::vector<std::string>{"late", "a", "b", "camera", "hud"}));
}

}  // namespace
}  // namespace quarn::testing
