// Weapons: the magazine and its ports, lead aiming and the turret limits, the rapid weapon's
// cadence and automatic fire, locks, charges, and lead that really hits a crossing target.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "projectiles/Bullet.h"
#include "units/Building.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn::testing {
namespace {

// A weapon file of two ports with the keys given in place of its usual ones (the first value
// of a key is the one read).
std::vector<std::string> WeaponLines(const std::vector<std::string>& weapon,
                                     const std::vector<std::string>& kind) {
  std::vector<std::string> lines = {"[Weapon]"};
  lines.insert(lines.end(), weapon.begin(), weapon.end());
  for (const char* line : {"SightDistance=5000",
                                    "BulletFile=Shell.txt", "BulletPoolCount=4",
                                    "PortCount=2",       "PortPositionX_0=-1",
                                    "PortPositionX_1=1", "FullLoadCount=10",
                                    "MaxFirableCount=2", "MinFirableCount=1",
                                    "LoadTime=1",        "LoadCount=1"})
    lines.push_back(line);
  lines.insert(lines.end(), kind.begin(), kind.end());
  return lines;
}

class WeaponTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCube(rig_);
    AddScaledCube(rig_, "Big.x", 4.0f);
    // A target the size of a fighter (8 units) for the crossing shots.
    std::vector<std::string> big = CubeTargetLines(1000);
    for (std::string& line : big) {
      if (line == "CollisionMeshFile=Cube.x")
        line = "CollisionMeshFile=Big.x";
    }
    rig_.AddDefinition("BigBox.txt", big);
    rig_.AddDefinition("Shell.txt", {"[Solid]", "CollisionEnable=true", "ImpulsiveForce=1",
                                     "[Bullet]", "DisappearDistance=4000",
                                     "IntersectRayCount=1", "[Gun]", "InitialVelocity=600"});
    rig_.AddDefinition("Box.txt", CubeTargetLines(1000));
    rig_.AddDefinition("Gun.txt", WeaponLines({}, {"[RapidWeapon]", "RapidFireIntervalTime=0.1",
                                                   "FireDistance=500", "FireAngle=10"}));
    rig_.AddDefinition("Hose.txt", WeaponLines({"MaxFirableCount=1"},
                                               {"[RapidWeapon]", "RapidFireIntervalTime=0"}));
    rig_.AddDefinition("Dud.txt", WeaponLines({"MaxFirableCount=0"}, {"[RapidWeapon]"}));
    rig_.AddDefinition("Greedy.txt", WeaponLines({"MinFirableCount=11"}, {"[RapidWeapon]"}));
    rig_.AddDefinition("Turret.txt",
                       WeaponLines({"MaxLeftHeadAngle=30", "MaxRightHeadAngle=30",
                                    "MaxUpPitchAngle=20", "MaxDownPitchAngle=5",
                                    "HeadRotationally=90", "PitchRotationally=90",
                                    "PredictFireRate=1", "ReferenceBulletVelocity=600",
                                    "FullLoadCount=40", "MaxFirableCount=1"},
                                   {"[RapidWeapon]", "RapidFireIntervalTime=0.15"}));
    // The same turret aiming where the target is, not where it will be.
    rig_.AddDefinition("Naive.txt",
                       WeaponLines({"MaxLeftHeadAngle=30", "MaxRightHeadAngle=30",
                                    "MaxUpPitchAngle=20", "MaxDownPitchAngle=5",
                                    "HeadRotationally=90", "PitchRotationally=90",
                                    "PredictFireRate=1", "ReferenceBulletVelocity=1e9",
                                    "FullLoadCount=40", "MaxFirableCount=1"},
                                   {"[RapidWeapon]", "RapidFireIntervalTime=0.15"}));
    rig_.AddDefinition("Lock.txt", WeaponLines({}, {"[LockWeapon]", "LockDistance=1000",
                                                    "LockAngle=20", "LockTime=0.1",
                                                    "AntiAirEnable=true"}));
    rig_.AddDefinition("Blind.txt", WeaponLines({}, {"[LockWeapon]", "LockDistance=1000",
                                                     "LockAngle=20", "LockTime=0"}));
    rig_.AddDefinition("Charge.txt", WeaponLines({}, {"[ChargeWeapon]", "ChargeTime=0.5"}));
    rig_.AddDefinition("Player.txt", CubeTargetLines(100));
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
  }

  template <class Kind>
  std::unique_ptr<Kind> Make(const std::string& file, int side = kPlayerSide) {
    auto weapon = std::make_unique<Kind>(stage_.get());
    EXPECT_TRUE(weapon->Load(file, nullptr));
    weapon->Body().SetParent(&stage_->root);
    weapon->Activate(side);
    return weapon;
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
  int Loaded(const Weapon& weapon) {
    int n = 0;
    for (const WeaponPort& port : weapon.Ports())
      n += port.projectile != nullptr;
    return n;
  }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
};

TEST_F(WeaponTest, PortsAreLoadedFromTheStartAndRefillingStopsWhenEveryPortHoldsOne) {
  auto gun = Make<RapidWeapon>("Gun.txt");
  EXPECT_EQ(Loaded(*gun), 2) << "ten loaded, two ports";
  EXPECT_EQ(gun->LoadedCount(), 10);
  gun->RequestFire();
  gun->Update();
  EXPECT_EQ(gun->LoadedCount(), 8) << "a trigger held from the first frame fires";
  EXPECT_EQ(Loaded(*gun), 2);
  EXPECT_EQ(stage_->projectiles.Size(), 2u);
}

TEST_F(WeaponTest, MaxFirableZeroAndAMinimumAboveTheMagazineNeverLaunch) {
  auto dud = Make<RapidWeapon>("Dud.txt");
  auto greedy = Make<RapidWeapon>("Greedy.txt");
  for (int i = 0; i < 10; ++i) {
    dud->RequestFire();
    greedy->RequestFire();
    dud->Update();
    greedy->Update();
  }
  EXPECT_EQ(dud->LoadedCount(), 10);
  EXPECT_EQ(greedy->LoadedCount(), 10);
  EXPECT_EQ(stage_->projectiles.Size(), 0u);
}

TEST_F(WeaponTest, IntervalZeroFiresEveryFrameAndAHeldTriggerStopsTheReload) {
  auto hose = Make<RapidWeapon>("Hose.txt");
  for (int i = 0; i < 10; ++i) {
    hose->RequestFire();
    hose->Update();
  }
  EXPECT_EQ(hose->LoadedCount(), 0);
  for (int i = 0; i < 60; ++i) {
    hose->RequestFire();
    hose->Update();
  }
  EXPECT_EQ(hose->LoadedCount(), 0) << "no reloading while the trigger is held";
  hose->Update();
  EXPECT_EQ(hose->LoadedCount(), 1) << "the first step at once once it is let go";
  for (int i = 0; i < 30; ++i)
    hose->Update();
  EXPECT_EQ(hose->LoadedCount(), 1);
  hose->Update();
  EXPECT_EQ(hose->LoadedCount(), 2) << "then one a second";
}

TEST_F(WeaponTest, LeadUsesTheTargetsOwnSpeedAndNoneWhenItMovesWithTheShot) {
  auto turret = Make<RapidWeapon>("Turret.txt");
  auto box = Box({0, 0, 600});
  turret->SelectTarget();
  ASSERT_EQ(turret->CurrentTarget(), box.get());
  // Moving away along the muzzle line at the shots' own speed: no lead at all.
  box->SetVelocityEstimate({0, 0, 600});
  turret->Aim();
  EXPECT_NEAR(turret->AimPoint().z, 600.0f, 1e-3f);
  // Crossing at 300: lead by distance / |V - 600 F| seconds.
  box->SetVelocityEstimate({300, 0, 0});
  turret->Aim();
  const float t = 600.0f / std::sqrt(300.0f * 300.0f + 600.0f * 600.0f);
  EXPECT_NEAR(turret->AimPoint().x, 300.0f * t, 1e-2f);
}

TEST_F(WeaponTest, AHeadTurnPastItsLimitSnapsToTheLimitAndTheLastAimPointIsKept) {
  auto turret = Make<RapidWeapon>("Turret.txt");
  auto box = Box({600, 0, 100});  // 80 degrees to the right
  turret->SelectTarget();
  turret->Aim();
  const gfx::Vector3 forward = turret->HeadFrame().GetOrientation().forward;
  EXPECT_NEAR(std::atan2(forward.x, forward.z) * 57.29578f, 30.0f, 1e-3f);
  const gfx::Vector3 aim = turret->AimPoint();
  box->Deactivate();
  turret->SelectTarget();
  EXPECT_EQ(turret->CurrentTarget(), nullptr);
  turret->Aim();
  EXPECT_EQ(turret->AimPoint().x, aim.x) << "no target and no centring: the last aim point";
}

TEST_F(WeaponTest, AnEnemyTurretFiresOnlyAtAPlayerInFrontAndInsideItsRange) {
  PlayerAircraft player(stage_.get());
  stage_->player = &player;
  DefinitionFile section;
  section.Parse(Lines({"[P]"}));
  section.SelectSection("P");
  ASSERT_TRUE(player.LoadPlayer("Player.txt", "", "", section));
  player.StartPlayer();
  auto gun = Make<RapidWeapon>("Gun.txt", kEnemySide);
  auto place = [&](const gfx::Vector3& at) {
    player.LayoutFrame().SetPosition(at);
    gun->SelectPlayerTarget();
    const bool firing = gun->FireRequested();
    gun->Update();  // consumes the requests
    return firing;
  };
  EXPECT_TRUE(place({0, 0, 300}));
  EXPECT_FALSE(place({0, 0, -300})) << "behind the muzzle";
  EXPECT_FALSE(place({0, 0, 500})) << "exactly at FireDistance";
  EXPECT_FALSE(place({200, 0, 300})) << "outside FireAngle";
  stage_->player = nullptr;
}

TEST_F(WeaponTest, LocksGatherOneAtATimeAndDropWhatLeavesTheCone) {
  auto lock = Make<LockWeapon>("Lock.txt");
  auto box = Box({0, 0, 500});
  for (int i = 0; i < 9; ++i) {
    lock->SetLocking(true);
    lock->Update();
  }
  EXPECT_EQ(lock->Locked().size(), 2u) << "two locks on one target, as two shots launch";
  EXPECT_EQ(lock->Locked()[0], box.get());
  box->LayoutFrame().SetPosition({500, 0, 500});  // 45 degrees off
  box->Update();
  lock->SetLocking(true);
  lock->Update();
  EXPECT_TRUE(lock->Locked().empty());
  lock->SetLocking(false);
  auto blind = Make<LockWeapon>("Blind.txt");
  blind->SetLocking(true);
  blind->Update();
  EXPECT_TRUE(blind->Locked().empty()) << "neither ground nor air targets";
}

TEST_F(WeaponTest, TheLockAngleIsNeverChosenAtItsEdgeButKeptThereOnceLocked) {
  auto lock = Make<LockWeapon>("Lock.txt");
  // Just inside 20 degrees, then exactly on it.
  const float inside = std::tan(19.99f / 57.29578f) * 500.0f;
  auto box = Box({inside, 0, 500});
  for (int i = 0; i < 5 && lock->Locked().empty(); ++i) {
    lock->SetLocking(true);
    lock->Update();
  }
  ASSERT_EQ(lock->Locked().size(), 1u);
  lock->RequestFire();
  lock->Update();
  EXPECT_EQ(stage_->projectiles.Size(), 1u) << "one lock, one missile";
  EXPECT_EQ(stage_->projectiles[0]->GetTarget(), box.get());
}

TEST_F(WeaponTest, AChargeReleasedEarlyFiresNothingAndAFullOneFiresEveryPort) {
  auto charge = Make<ChargeWeapon>("Charge.txt");
  auto box = Box({0, 0, 300});
  for (int i = 0; i < 14; ++i) {
    charge->SetCharging(true);
    charge->Update();
  }
  charge->RequestFire();
  charge->Update();
  EXPECT_EQ(stage_->projectiles.Size(), 0u) << "a frame short of half a second";
  EXPECT_EQ(charge->Charge(), 0.0f);
  for (int i = 0; i < 40; ++i) {
    charge->SetCharging(true);
    charge->Update();
  }
  EXPECT_EQ(charge->Charge(), 0.5f) << "capped";
  charge->RequestFire();
  charge->Update();
  ASSERT_EQ(stage_->projectiles.Size(), 2u);
  EXPECT_EQ(stage_->projectiles[1]->GetTarget(), box.get());
}

// A gun fires 18 shots, one every five frames, at a target crossing its front at a steady
// speed; the hits, once every shot has arrived or gone past.
int HitsOnACrossingTarget(StageStandIn& stage, Building& target, RapidWeapon& gun) {
  const float before = target.Armour();
  for (int frame = 0; frame < 130; ++frame) {
    target.LayoutFrame().Translate(CombineMode::LocalAxes, {5.0f, 0.0f, 0.0f});
    gun.RequestAim();
    if (frame < 90)
      gun.RequestFire();
    stage.Step();
  }
  return static_cast<int>(before - target.Armour());
}

TEST_F(WeaponTest, LeadAimingHitsACrossingTargetWithMostOfItsShots) {
  auto turret = Make<RapidWeapon>("Turret.txt");
  auto box = Box({-220, 0, 600}, "BigBox.txt");
  EXPECT_GE(HitsOnACrossingTarget(*stage_, *box, *turret), 12) << "of 18 shots";
}

TEST_F(WeaponTest, WithoutLeadTheSameShotsMissTheCrossingTarget) {
  auto turret = Make<RapidWeapon>("Naive.txt");
  auto box = Box({-220, 0, 600}, "BigBox.txt");
  EXPECT_LE(HitsOnACrossingTarget(*stage_, *box, *turret), 4) << "of 18 shots";
}

}  // namespace
}  // namespace quarn::testing
