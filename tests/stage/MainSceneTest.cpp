// The stage scene on stage files written by the tests: emerge events and their conditions,
// the unit table, the mission phases and their result, and the environment it sets.
#include "stage/MainScene.h"

#include <gtest/gtest.h>

#include "engine/DefinitionFile.h"
#include "game/SceneRig.h"
#include "render/MeshTestFiles.h"
#include "stage/DirectionalLight.h"
#include "stage/SceneEnvironment.h"
#include "units/ChaseCamera.h"
#include "units/Particle.h"
#include "units/PlayerAircraft.h"
#include "units/Unit.h"

namespace quarn {
namespace {

using testing::RecordingOwner;
using testing::SceneRig;

// A unit that can be placed and emerges (a building of a cube).
const std::vector<std::string> kBox = {"[Solid]", "NormalMeshEnable=true", "NormalMeshFile=Cube.x",
                                       "[Unit]", "[Building]"};
// An aircraft that stays in play at a safe height for as long as the tests need.
const std::vector<std::string> kPlane = {
    "[Solid]",    "NormalMeshEnable=true", "NormalMeshFile=Cube.x",
    "[Aircraft]", "MinVelocity=1",         "MaxVelocity=1"};

class MainSceneTest : public ::testing::Test {
 protected:
  // A stage with three buildings (UnitID 1, 2, and a second 1) and the given events, for a
  // player with plenty of time.
  void Stage(const std::vector<std::string>& events, int eventCount,
             const std::vector<std::string>& scene = {}, int activeTime = 1000) {
    rig_.AddFile("Cube.x", testing::CubeFile({testing::ColourMaterial(1, 1, 1)},
                                             std::vector<uint32_t>(12, 0)));
    rig_.AddDefinition("Box.txt", kBox);
    rig_.AddDefinition("Plane.txt", kPlane);
    std::vector<std::string> lines = scene;
    for (const std::string& line :
         {std::string("[Stage]"), std::string("BuildingCount=3"),
          "EmergeCount=" + std::to_string(eventCount), std::string("[PlayerAircraft]"),
          std::string("LayoutPositionY=500"), std::string("MaxHeight=100000"),
          std::string("AreaOuterDistance=100000"), "ActiveTimeLimit=" + std::to_string(activeTime),
          std::string("[Building_0]"), std::string("DefineFile=Box.txt"), std::string("UnitID=1"),
          std::string("[Building_1]"), std::string("DefineFile=Box.txt"), std::string("UnitID=2"),
          std::string("[Building_2]"), std::string("DefineFile=Box.txt"),
          std::string("UnitID=1")}) {
      lines.push_back(line);
    }
    lines.insert(lines.end(), events.begin(), events.end());
    rig_.AddDefinition("Stage.txt", lines);
    rig_.Pack();
    scene_ = std::make_unique<MainScene>(&owner_);
    ASSERT_EQ(scene_->Load("Stage.txt", "Plane.txt", "", ""), 1);
    scene_->Start();
    scene_->SetActive(true);
  }
  void TearDown() override {
    if (scene_ != nullptr)
      scene_->Finish();
  }
  // Updates until the unit is in play, or the limit; the update it emerged on, or -1.
  int EmergesOn(int unitId, int limit) {
    for (int update = 1; update <= limit; ++update) {
      scene_->Update();
      if (scene_->FindUnit(unitId)->IsActive())
        return update;
    }
    return -1;
  }

  SceneRig rig_;
  RecordingOwner owner_;
  std::unique_ptr<MainScene> scene_;
};

TEST_F(MainSceneTest, AnEventWithOnlyUnitsFiresOnTheFirstUpdateAndTheFirstOfTwoUnitIdsPlays) {
  Stage({"[Emerge_0]", "UnitCount=2", "UnitID_0=1", "UnitID_1=2"}, 1);
  EXPECT_EQ(scene_->UnitTable().size(), 2u) << "the second UnitID 1 is left out";
  EXPECT_EQ(EmergesOn(1, 1), 1);
  EXPECT_TRUE(scene_->FindUnit(2)->IsActive());
  EXPECT_EQ(scene_->FindUnit(1)->Side(), 2) << "brought in on the enemy side";
  EXPECT_EQ(scene_->FindUnit(1)->Mode(), BehaviourMode::ToDestination);
  EXPECT_EQ(scene_->FindUnit(-1), scene_->Player());
}

TEST_F(MainSceneTest, LaterTenAndSoonerTwentyFireOnUpdate301AndNeverAfterTwentySeconds) {
  Stage({"[Emerge_0]", "LaterTimeEnable=true", "LaterTime=10", "SoonerTimeEnable=true",
         "SoonerTime=20", "UnitCount=1", "UnitID_0=1",  //
         "[Emerge_1]", "LaterTimeEnable=true", "LaterTime=25", "SoonerTimeEnable=true",
         "SoonerTime=20", "UnitCount=1", "UnitID_0=2"},
        2);
  EXPECT_EQ(EmergesOn(1, 400), 301);
  EXPECT_EQ(EmergesOn(2, 1000), -1) << "its window closed before it opened";
}

TEST_F(MainSceneTest, AProgressConditionFiresOnTheUpdateAfterTheCounterReachesIt) {
  Stage({"[Emerge_0]", "GreaterProgressPointEnable_3=true", "GreaterProgressPoint_3=100",
         "LessProgressPointEnable_0=true", "LessProgressPoint_0=5", "UnitCount=1", "UnitID_0=1"},
        1);
  for (int i = 0; i < 5; ++i)
    scene_->Update();
  scene_->AddProgressPoint(3, 60);
  scene_->Update();
  EXPECT_FALSE(scene_->FindUnit(1)->IsActive());
  scene_->AddProgressPoint(3, 40);
  EXPECT_EQ(EmergesOn(1, 1), 1);
  EXPECT_EQ(scene_->Progress(3), 100);
}

TEST_F(MainSceneTest, UnitConditionsOnAMissingUnitNeverHoldAndMinusOneIsThePlayer) {
  Stage({"[Emerge_0]", "BreakUnitEnable_0=true", "BreakUnitID_0=55", "UnitCount=1",
         "UnitID_0=1",  //
         "[Emerge_1]", "UnbreakUnitEnable_5=true", "UnbreakUnitID_5=-1",
         "UndestructUnitEnable_31=true", "UndestructUnitID_31=-1", "UnitCount=2", "UnitID_0=2",
         "UnitID_1=-1"},
        2);
  EXPECT_EQ(EmergesOn(2, 1), 1) << "the player is neither broken nor destructed";
  EXPECT_EQ(scene_->Player()->Side(), 1) << "an event never brings the player in as an enemy";
  EXPECT_EQ(EmergesOn(1, 300), -1);
}

TEST_F(MainSceneTest, ACompletedMissionReachesTheMenuAfterTheFixedPhaseCountsWithTrue) {
  Stage({"[Emerge_0]", "MissionComplete=true"}, 1);
  int updates = 0;
  while (scene_->IsActive() && updates < 1000) {
    scene_->Update();
    ++updates;
  }
  // 31 updates of fading in, 61 of the opening, the first playing update sees the flag, then
  // 121 of ending and 121 of fading out.
  EXPECT_EQ(updates, 31 + 61 + 1 + 121 + 121);
  EXPECT_EQ(owner_.values.Get(ValueId::MissionCompleted), "true");
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Menu");
  EXPECT_EQ(owner_.music.back(), "fade 3.000000");
}

TEST_F(MainSceneTest, RunningOutOfTimeShowsTimeOverThenFailsAndALateCompletionChangesNothing) {
  // Four seconds of time run out while the stage plays; the event fires a second later.
  Stage({"[Emerge_0]", "LaterTimeEnable=true", "LaterTime=5", "MissionComplete=true"}, 1, {}, 4);
  while (scene_->CurrentPhase() != MainScene::kFailing && scene_->UpdateCount() < 200)
    scene_->Update();
  ASSERT_EQ(scene_->CurrentPhase(), MainScene::kFailing);
  EXPECT_LT(scene_->Player()->ActiveTime(), 0.0f);
  EXPECT_EQ(scene_->Message().Number(), 6);
  while (scene_->IsActive())
    scene_->Update();
  EXPECT_TRUE(scene_->MissionComplete()) << "the event fired while failing";
  EXPECT_EQ(owner_.values.Get(ValueId::MissionCompleted), "false");
}

TEST_F(MainSceneTest, AMissingStageIsEmptyAndStillEndsBackInTheMenu) {
  rig_.Pack();
  MainScene scene(&owner_);
  ASSERT_EQ(scene.Load("Nowhere.txt", "NoPlane.txt", "", ""), 1);
  scene.Start();
  scene.SetActive(true);
  int updates = 0;
  while (scene.IsActive() && updates < 1000) {
    scene.Update();
    ++updates;
  }
  EXPECT_LT(updates, 1000);
  EXPECT_EQ(owner_.values.Get(ValueId::MissionCompleted), "false");
  scene.Finish();
}

TEST_F(MainSceneTest, FogPacksItsColourAndLightsTakeTheirIndicesInFileOrder) {
  Stage({}, 0,
        {"[Scene]", "FogEnable=true", "FogColorR=1.0", "FogColorG=0.5", "FogColorB=0.0",
         "FogColorA=1.0", "FogStartDistance=100", "FogEndDistance=900", "DirectionalLightCount=2",
         "[DirectionalLight_0]", "DirectionY=-1", "DiffuseColorR=1", "[DirectionalLight_1]",
         "DirectionX=1", "DiffuseColorG=1"});
  const SceneEnvironment& environment = scene_->Environment();
  EXPECT_EQ(environment.FogColor(), 0xFFFF7F00u);
  ASSERT_EQ(environment.Lights().size(), 2u);
  EXPECT_EQ(environment.Lights()[0]->Index(), 0u);
  EXPECT_EQ(environment.Lights()[1]->Index(), 1u);
  platform::Light light;
  ASSERT_TRUE(rig_.Device().GetLight(1, &light));
  EXPECT_NEAR(light.direction.x, 1.0f, 1e-5f);
  EXPECT_TRUE(rig_.Device().GetLightEnable(0));
  EXPECT_EQ(rig_.Device().GetRenderState(platform::RenderState::FogColor), 0xFFFF7F00u);
}

class SkyFogTest : public MainSceneTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SkyFogTest, AfterTheSkyIsDrawnFogIsBackToTheStagesOwnSetting) {
  const bool fog = GetParam();
  Stage({}, 0,
        {"[Scene]", fog ? "FogEnable=true" : "FogEnable=false", "SkyMeshEnable=true",
         "SkyMeshFile=Cube.x"});
  scene_->Update();
  scene_->Render();
  EXPECT_EQ(rig_.Device().GetRenderState(platform::RenderState::FogEnable), fog ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(FogOnAndOff, SkyFogTest, ::testing::Bool());

class EnvironmentParticleTest : public MainSceneTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EnvironmentParticleTest, FollowsTheCameraOnlyWhenTheStageAsks) {
  const bool follow = GetParam();
  rig_.AddDefinition("Rain.txt", {"[Particle]", "ParticleCount=0"});
  Stage({}, 0,
        {"[Scene]", "EnvironParticleEnable=true", "EnvironParticleFile=Rain.txt",
         follow ? "EnvironParticleFollowCamera=true" : "EnvironParticleFollowCamera=false"});
  for (int i = 0; i < 3; ++i)
    scene_->Update();
  const Particle* rain = scene_->Environment().EnvironmentParticle();
  ASSERT_NE(rain, nullptr);
  // The camera is behind the player, 500 up; the update that moved the rain moved it on.
  const gfx::Vector3 camera = scene_->Camera()->WorldPosition();
  const gfx::Vector3 expected = follow ? camera : gfx::Vector3{};
  EXPECT_NEAR(rain->WorldPosition().y, expected.y, 5.0f);
  EXPECT_NEAR(rain->WorldPosition().z, expected.z, 5.0f);
}

INSTANTIATE_TEST_SUITE_P(FollowAndStay, EnvironmentParticleTest, ::testing::Bool());

}  // namespace
}  // namespace quarn
