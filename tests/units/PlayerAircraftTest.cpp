// The player's aircraft through the real input path: the double-tap roll and its turns, what
// rolling and the suppress buttons hold back, weapons on hold and on release, and the heat.
#include <gtest/gtest.h>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "platform/ScanCodes.h"
#include "units/Particle.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"
#include "units/StageStandIn.h"
#include "units/UnitTestFiles.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn::testing {
namespace {

namespace scan = platform::scan;

std::vector<std::string> PlaneLines(const std::vector<std::string>& player) {
  std::vector<std::string> lines = {"[Aircraft]", "MinVelocity=2", "MaxVelocity=6",
                                    "AccelerationVelocityDelta=1", "MaxUpPitchRotationally=2",
                                    "MaxDownPitchRotationally=2", "MaxBankRotationally=4",
                                    "[PlayerAircraft]"};
  lines.insert(lines.end(), player.begin(), player.end());
  return lines;
}

class PlayerAircraftTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.AddDefinition("Puff.txt", {"[Particle]", "ParticleSoundEnable=true",
                                    "ParticleSoundFile=Puff.wav", "ParticleCount=1",
                                    "[Particle_0]", "EmitRate=10", "LifeTime=1"});
    rig_.AddWave("Puff.wav", 0.1);
    rig_.AddDefinition("Plane.txt",
                       PlaneLines({"RollingDownTime=0.3", "RollingRotationallyDelta=3",
                                   "RollingVelocityDelta=0.1", "RollingCount=3",
                                   "ThrottleActiveTimeRate=1", "RollingActiveTimeRate=2",
                                   "OverheatParticleEnable=true", "OverheatParticle=Puff.txt"}));
    rig_.AddDefinition("Idle.txt", PlaneLines({}));
    rig_.AddDefinition("Shell.txt", {"[Bullet]", "DisappearDistance=100", "[Gun]",
                                     "InitialVelocity=100"});
    const std::vector<std::string> weapon = {"[Weapon]",        "BulletFile=Shell.txt",
                                             "PortCount=1",     "FullLoadCount=50",
                                             "MaxFirableCount=1", "MinFirableCount=1"};
    auto with = [&](std::vector<std::string> kind) {
      std::vector<std::string> lines = weapon;
      lines.insert(lines.end(), kind.begin(), kind.end());
      return lines;
    };
    rig_.AddDefinition("GunBody.txt", with({"[RapidWeapon]"}));
    rig_.AddDefinition("LockBody.txt", with({"[LockWeapon]", "LockDistance=100",
                                             "LockAngle=10", "AntiAirEnable=true"}));
    rig_.AddDefinition("ChargeBody.txt", with({"[ChargeWeapon]", "ChargeTime=0.2"}));
    rig_.AddDefinition("Gun.txt", {"[SelectableWeapon]", "RapidWeaponEnable=true",
                                   "DefineFile=GunBody.txt"});
    rig_.AddDefinition("Lock.txt", {"[SelectableWeapon]", "LockWeaponEnable=true",
                                    "DefineFile=LockBody.txt"});
    rig_.AddDefinition("Charge.txt", {"[SelectableWeapon]", "DefineFile=ChargeBody.txt"});
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
  }

  void Start(const std::string& file, const std::string& secondary = "Lock.txt",
             float activeTime = 100) {
    player_ = std::make_unique<PlayerAircraft>(stage_.get());
    stage_->player = player_.get();
    DefinitionFile section;
    section.Parse(Lines({"[P]", "LayoutPositionY=1000", "MaxHeight=100000",
                         "AreaOuterDistance=100000", "ActiveTimeLimit=" +
                                                         std::to_string(activeTime)}));
    section.SelectSection("P");
    ASSERT_TRUE(player_->LoadPlayer(file, "Gun.txt", secondary, section));
    player_->StartPlayer();
  }
  void TearDown() override {
    if (player_ != nullptr)
      player_->Unload();
    stage_->player = nullptr;
  }

  // Frames with the keys given held.
  void Frames(int count, std::vector<uint8_t> keys = {}) {
    for (uint8_t key : keys)
      rig_.Hold(key);
    for (int i = 0; i < count; ++i) {
      rig_.Pass();
      stage_->buttons.Update();
      stage_->Step();
    }
    for (uint8_t key : keys)
      rig_.Let(key);
  }
  // A press of one frame and a release of one.
  void Tap(uint8_t key) {
    Frames(1, {key});
    Frames(1);
  }
  bool Rolling() const { return player_->Roll().rolling; }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
  std::unique_ptr<PlayerAircraft> player_;
};

TEST_F(PlayerAircraftTest, OneTapNeverRollsAndTwoQuickOnesRollToThatSide) {
  Start("Plane.txt");
  Tap(scan::kLeft);
  EXPECT_FALSE(Rolling()) << "the first press of the stage";
  Frames(20);
  Tap(scan::kLeft);
  EXPECT_FALSE(Rolling()) << "presses too far apart";
  Tap(scan::kRight);
  Tap(scan::kRight);
  EXPECT_TRUE(Rolling());
  EXPECT_EQ(player_->Roll().direction, 1.0f);
  Frames(60);
  EXPECT_FALSE(Rolling()) << "one turn, then the roll ends";
  Tap(scan::kRight);
  EXPECT_FALSE(Rolling()) << "a tap right after a roll is a first tap again";
}

TEST_F(PlayerAircraftTest, HoldingTheButtonExtendsTheRollTurnByTurnUpToItsCount) {
  Start("Plane.txt");
  Tap(scan::kLeft);
  Frames(1, {scan::kLeft});
  ASSERT_TRUE(Rolling());
  Frames(12, {scan::kLeft});  // past the first half turn while held
  EXPECT_EQ(player_->Roll().countTarget, 2);
  Frames(200, {scan::kLeft});
  EXPECT_FALSE(Rolling());
  Frames(1);
  Tap(scan::kLeft);
  Frames(1, {scan::kLeft});
  float angle = 0;
  for (int i = 0; i < 300 && Rolling(); ++i) {
    angle = player_->Roll().angle;
    Frames(1, i < 40 ? std::vector<uint8_t>{scan::kLeft} : std::vector<uint8_t>{});
  }
  EXPECT_GE(angle, 720.0f) << "held a while: more than two turns";
  EXPECT_LE(angle, 3 * 360.0f + 1.0f) << "never more than RollingCount";
}

TEST_F(PlayerAircraftTest, WhileRollingBankingStopsLocksAndChargesStopAndTheGunFires) {
  Start("Plane.txt");
  Tap(scan::kRight);
  Frames(1, {scan::kRight, scan::kC, scan::kX});
  ASSERT_TRUE(Rolling());
  Frames(5, {scan::kRight, scan::kC, scan::kX});
  EXPECT_EQ(player_->BankRate(), 0.0f) << "the bank axis is ignored";
  EXPECT_GT(stage_->projectiles.Size(), 0u) << "the gun keeps firing";
  EXPECT_EQ(player_->Slot(1).lock->Candidate(), nullptr);
  EXPECT_TRUE(player_->Slot(1).lock->Locked().empty());
}

TEST_F(PlayerAircraftTest, TheSuppressButtonsFreezeBankingAndPreventARoll) {
  Start("Plane.txt");
  Frames(10, {scan::kRight, scan::kS});
  EXPECT_EQ(player_->BankRate(), 0.0f);
  Tap(scan::kRight);
  rig_.Hold(scan::kA);
  Tap(scan::kRight);
  Tap(scan::kRight);
  rig_.Let(scan::kA);
  EXPECT_FALSE(Rolling());
  Frames(5, {scan::kRight});
  EXPECT_GT(player_->BankRate(), 0.0f);
}

TEST_F(PlayerAircraftTest, AChargeWeaponFiresOnTheReleaseNotOnThePress) {
  Start("Plane.txt", "Charge.txt");
  Frames(10, {scan::kX});
  EXPECT_EQ(stage_->projectiles.Size(), 0u) << "charging";
  EXPECT_GT(player_->Slot(1).charge->Charge(), 0.19f);
  Frames(1);
  EXPECT_EQ(stage_->projectiles.Size(), 1u) << "fired on the release";
}

TEST_F(PlayerAircraftTest, WithBothRatesZeroHeatStaysZeroAndTimeStillBurns) {
  Start("Idle.txt", "Lock.txt", 1.0f);
  const float before = player_->ActiveTime();
  Frames(3, {scan::kZ});  // full throttle
  EXPECT_EQ(player_->Heat(), 0.0f);
  EXPECT_NEAR(player_->ActiveTime(), before - 3 * kFrameStep, 1e-5f);
}

TEST_F(PlayerAircraftTest, RunningOutOfTimeStartsTheOverheatOnceAndThrottleBurnsFaster) {
  Start("Plane.txt", "Lock.txt", 0.5f);
  Frames(8, {scan::kZ});
  EXPECT_GT(player_->Heat(), 0.0f);
  Frames(10);
  ASSERT_LT(player_->ActiveTime(), 0.0f);
  EXPECT_TRUE(player_->Overheated());
  const float started = player_->OverheatParticle()->Elapsed();
  Frames(10);
  // Started once: restarted every frame its clock (and its sound) would start over.
  EXPECT_NEAR(player_->OverheatParticle()->Elapsed(), started + 10 * kFrameStep, 1e-4f);
}

}  // namespace
}  // namespace quarn::testing
