// The HUD on a small stage: the focus and its buttons, arrows, the radar's reach, the gauges
// and figures, the alarm, and missing pictures, sound, weapons or player. The queued sprite
// requests are read back rather than pixels.
#include "game/Hud.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/Game.h"
#include "game/HudStageFiles.h"
#include "game/SceneRig.h"
#include "platform/ScanCodes.h"
#include "projectiles/Gun.h"
#include "stage/MainScene.h"
#include "units/ChaseCamera.h"
#include "units/PlayerAircraft.h"
#include "units/Side.h"
#include "units/Unit.h"

namespace quarn {
namespace {

using testing::HudStageOptions;
using testing::HudTarget;
using testing::kHudPlayerPosition;
namespace scan = platform::scan;

HudStageOptions Stage(std::vector<HudTarget> targets, float activeTime = 300.0f) {
  HudStageOptions options;
  options.targets = std::move(targets);
  options.activeTime = activeTime;
  return options;
}

class HudTest : public ::testing::Test {
 protected:
  void Start(const HudStageOptions& options, bool withMedia = true) {
    for (const auto& [name, bytes] : testing::HudStageFiles(options))
      rig_.AddFile(name, bytes);
    if (withMedia) {
      rig_.AddImage("HUD.png", 512, 256, 0xFFFFFFFFu);
      rig_.AddImage("Number.png", 256, 32, 0xFFFFFFFFu);
      rig_.AddImage("Message.png", 256, 512, 0xFFFFFFFFu);
      rig_.AddImage("GunIcon.png", 512, 128, 0xFFFFFFFFu);
      rig_.AddImage("MissileIcon.png", 512, 128, 0xFFFFFFFFu);
      rig_.AddWave("Alert.wav", 0.5);
    }
    rig_.Pack();
    scene_ = std::make_unique<MainScene>(&owner_);
    ASSERT_EQ(testing::LoadHudStage(*scene_, options), 1);
    ASSERT_NE(scene_->Hud(), nullptr);
  }
  Hud& hud() { return *static_cast<Hud*>(scene_->Hud()); }
  quarn::Unit* Placed(int id) { return scene_->FindUnit(id); }
  void Frame() {
    rig_.Pass();
    scene_->Update();
  }
  void Press(uint8_t key) {
    rig_.Hold(key);
    Frame();
  }
  // Draws the frame; the requests stay queued until the next one.
  const std::vector<std::unique_ptr<SpriteRecord>>& Drawn() {
    scene_->Render();
    return hud().Sprites().Records();
  }
  std::vector<const SpriteRecord*> Cut(Texture* texture, int left, int top) {
    std::vector<const SpriteRecord*> found;
    for (const auto& record : hud().Sprites().Records()) {
      if (record->texture == texture && record->left == left && record->top == top)
        found.push_back(record.get());
    }
    return found;
  }

  testing::SceneRig rig_;
  testing::HudOwner owner_;
  std::unique_ptr<MainScene> scene_;
};

TEST_F(HudTest, WithoutCandidatesThereIsNoFocusAndTheSelectionButtonsChangeNothing) {
  Start(Stage({{{0, 500, 6000}}}));  // beyond its search distance
  Press(scan::kS);
  Press(scan::kRight);
  rig_.Let(scan::kRight);
  Press(scan::kLeft);
  EXPECT_EQ(hud().Focus(), nullptr);
  EXPECT_EQ(scene_->Camera()->LookTarget(), nullptr);
  Drawn();
  EXPECT_TRUE(Cut(hud().Picture(), 0, 0).empty()) << "no focus mark";
  EXPECT_TRUE(Cut(hud().Picture(), 64, 64).empty()) << "no arrow for a target out of reach";
  EXPECT_TRUE(Cut(hud().Picture(), 192, 16).empty()) << "no blip either";
}

TEST_F(HudTest, SevenPicksTheNearestAndWhileHeldNineAndTenStepThroughTheDistanceOrder) {
  Start(Stage({{{0, 500, 300}}, {{0, 500, 900}}, {{0, 500, 600}}}));
  Frame();
  EXPECT_EQ(hud().Focus(), Placed(1)) << "the focus falls to the nearest candidate";
  rig_.Hold(scan::kS);
  Press(scan::kLeft);
  EXPECT_EQ(hud().Focus(), Placed(2)) << "back from the nearest wraps to the farthest";
  rig_.Let(scan::kLeft);
  Press(scan::kRight);
  EXPECT_EQ(hud().Focus(), Placed(1)) << "on from the farthest wraps to the nearest";
  // The focused target is drawn last, over the others.
  Drawn();
  const SpriteRecord* lastBlip = nullptr;
  for (const auto& record : hud().Sprites().Records()) {
    if (record->texture == hud().Picture() && record->top == 16)
      lastBlip = record.get();
  }
  ASSERT_NE(lastBlip, nullptr);
  EXPECT_EQ(lastBlip->left, 196) << "the focused blip";
  rig_.Let(scan::kRight);
  Frame();
  Press(scan::kRight);
  EXPECT_EQ(hud().Focus(), Placed(3));
  EXPECT_EQ(scene_->Camera()->LookTarget(), Placed(3));
}

TEST_F(HudTest, EightPicksTheTargetNearestTheNoseAndAFocusOutOfReachFallsBackToTheNearest) {
  // The third sits on the player itself: no direction, yet an angle that sorts.
  Start(Stage({{{300, 500, 300}}, {{0, 500, 2000}}, {kHudPlayerPosition}}));
  Frame();
  EXPECT_EQ(hud().Focus(), Placed(3));
  Press(scan::kA);
  EXPECT_EQ(hud().Focus(), Placed(2)) << "straight ahead, though farthest";
  std::vector<Target*> visited;
  for (int i = 0; i < 3; ++i) {
    Press(scan::kRight);
    visited.push_back(hud().Focus());
    rig_.Let(scan::kRight);
    Frame();
  }
  EXPECT_EQ(visited, (std::vector<Target*>{Placed(1), Placed(3), Placed(2)}));
  rig_.Let(scan::kA);
  Placed(2)->LayoutFrame().SetPosition({0, 500, 8000});
  Placed(2)->Body().AlignTo(&Placed(2)->LayoutFrame());
  Frame();
  EXPECT_EQ(hud().Focus(), Placed(3));
}

TEST_F(HudTest, ArrowsPointFromTheMiddleTowardTargetsOffScreen) {
  // The focused one far to the right, an important one straight behind.
  Start(Stage({{{1000, 500, 100}}, {{0, 500, -2000}, true}}));
  Frame();
  ASSERT_EQ(hud().Focus(), Placed(1));
  Drawn();
  const auto right = Cut(hud().Picture(), 80, 64);  // the focused kind
  ASSERT_EQ(right.size(), 1u);
  EXPECT_NEAR(right[0]->destination.x, 512, 1);
  EXPECT_NEAR(right[0]->destination.y, 224, 1);
  EXPECT_NEAR(right[0]->rotation, std::acos(-1.0f) / 2, 0.01f) << "turned to point right";
  EXPECT_EQ(right[0]->right - right[0]->left, 16);
  const auto behind = Cut(hud().Picture(), 96, 64);  // the important kind
  ASSERT_EQ(behind.size(), 1u);
  EXPECT_NEAR(behind[0]->destination.x, 312, 1);
  EXPECT_NEAR(std::fabs(behind[0]->rotation), std::acos(-1.0f), 0.01f) << "pointing down";
  // Behind the camera there is nowhere on screen for an armour bar.
  EXPECT_TRUE(Cut(hud().Picture(), 224 - 32, 0).empty());
}

TEST_F(HudTest, ARadarBlipNeedsTheTargetLessThan4096UnitsAhead) {
  Start(Stage({{{0, 500, 4090}}, {{0, 500, 4096}}}));
  Frame();
  Drawn();
  const auto focused = Cut(hud().Picture(), 196, 16);
  ASSERT_EQ(focused.size(), 1u);
  EXPECT_EQ(focused[0]->destination.x, 576);
  EXPECT_EQ(focused[0]->destination.y, 352);
  EXPECT_TRUE(Cut(hud().Picture(), 192, 16).empty()) << "64 radar units is off the radar";
}

TEST_F(HudTest, ThreeHundredSecondsDrawA128PixelTimeBarAndTheFigures300) {
  Start(Stage({}, 300.0f));
  Drawn();
  const auto bar = Cut(hud().Picture(), 0, 96);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0]->right, 128);
  EXPECT_EQ(bar[0]->bottom, 128);
  EXPECT_EQ(bar[0]->destination.x, 30);
  EXPECT_EQ(bar[0]->destination.y, 416);
  std::vector<int> cells, xs;
  for (const auto& record : hud().Sprites().Records()) {
    if (record->texture == hud().Numbers()) {
      cells.push_back(record->left / 16);
      xs.push_back(record->destination.x);
    }
  }
  EXPECT_EQ(cells, (std::vector<int>{3, 0, 0}));
  EXPECT_EQ(xs, (std::vector<int>{224, 240, 256}));
  const auto armour = Cut(hud().Picture(), 0, 192);
  ASSERT_EQ(armour.size(), 1u);
  EXPECT_EQ(armour[0]->right, 494) << "a player with all its armour";
}

TEST_F(HudTest, AnEnemyProjectileClosingOnThePlayerSoundsTheAlarmUntilItHasPassed) {
  Start(Stage({}));
  scene_->Player()->SetVelocityEstimate({});
  Gun* shell = scene_->Pool().AcquireGunBullet("Shell.txt", false);
  ASSERT_NE(shell, nullptr);
  shell->Activate(kPlayerSide);
  shell->SetWorldPosition(kHudPlayerPosition + gfx::Vector3(0, 0, 10));
  shell->SetVelocityEstimate({0, 0, -20});
  hud().Update();
  EXPECT_FALSE(hud().Alarm().Playing()) << "the player's own rounds are no threat";
  shell->Deactivate();
  shell->Activate(kEnemySide);
  // 10 units away, closing at 20 units a second, frame by frame up to the player.
  for (float z = 10.0f; z >= 0.0f; z -= 20.0f / 30.0f) {
    shell->SetWorldPosition(kHudPlayerPosition + gfx::Vector3(0, 0, z));
    shell->SetVelocityEstimate({0, 0, -20});
    hud().Update();
    EXPECT_TRUE(hud().Alarm().Playing()) << z;
    EXPECT_TRUE(hud().Alarm().Voice().IsPlaying()) << z;
  }
  shell->SetWorldPosition(kHudPlayerPosition + gfx::Vector3(0, 0, -10));
  hud().Update();
  EXPECT_FALSE(hud().Alarm().Playing()) << "passed and going away";
  EXPECT_FALSE(hud().Alarm().Voice().IsPlaying());
  // One that will miss by 10 units sideways is no threat either.
  shell->SetWorldPosition(kHudPlayerPosition + gfx::Vector3(10, 0, 10));
  hud().Update();
  EXPECT_FALSE(hud().Alarm().Playing());
}

TEST_F(HudTest, WithoutItsPicturesAndSoundTheHudQueuesNothingAndStaysSilent) {
  Start(Stage({{{0, 500, 300}}}), false);
  for (int i = 0; i < 3; ++i)
    Frame();
  scene_->SetHudMessage(2);
  EXPECT_TRUE(Drawn().empty());
  EXPECT_EQ(hud().Focus(), Placed(1)) << "selection works without pictures";
  Gun* shell = scene_->Pool().AcquireGunBullet("Shell.txt", false);
  shell->Activate(kEnemySide);
  shell->SetWorldPosition(scene_->Player()->WorldPosition());
  hud().Update();
  EXPECT_TRUE(hud().Alarm().Playing()) << "due, though there is nothing to play";
  EXPECT_FALSE(hud().Alarm().Voice().IsPlaying());
}

TEST_F(HudTest, AnEmptyWeaponSlotOrAPlayerThatFailedToLoadPlaysOn) {
  rig_.AddImage("HUD.png", 512, 256, 0xFFFFFFFFu);
  rig_.AddImage("MissileIcon.png", 512, 128, 0xFFFFFFFFu);
  for (const auto& [name, bytes] : testing::HudStageFiles(Stage({{{0, 500, 300}}})))
    rig_.AddFile(name, bytes);
  rig_.Pack();
  scene_ = std::make_unique<MainScene>(&owner_);
  scene_->Load("Stage.txt", "Plane.txt", "", "Missile.txt");
  Frame();
  Drawn();
  EXPECT_TRUE(Cut(hud().Picture(), 32, 0).empty()) << "no gun, no gun sight";
  EXPECT_EQ(Cut(scene_->Player()->Slot(1).hudTexture, 288, 0).size(), 1u);
  scene_->Finish();
  scene_ = std::make_unique<MainScene>(&owner_);
  scene_->Load("Stage.txt", "NoPlane.txt", "", "");
  for (int i = 0; i < 3; ++i)
    Frame();
  Drawn();
  EXPECT_EQ(Cut(hud().Picture(), 384, 0).size(), 1u) << "the radar is still drawn";
}

TEST(GameHudTest, TheGameGivesEveryStageItsHud) {
  testing::SceneRig rig;
  Game game;
  MainScene scene(nullptr);
  EXPECT_NE(dynamic_cast<Hud*>(game.MakeHud(scene).get()), nullptr);
}

}  // namespace
}  // namespace quarn
