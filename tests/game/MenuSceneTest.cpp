// The menu scene on menu files written by each test: states, transitions, timeouts, buttons,
// values and branches, sounds and music, and what it draws.
#include "game/MenuScene.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/WaveSound.h"
#include "game/SceneRig.h"
#include "platform/Diagnostics.h"
#include "platform/ScanCodes.h"
#include "render/Texture.h"

namespace quarn {
namespace {

namespace scan = platform::scan;
using testing::RecordingOwner;
using testing::SceneRig;

class MenuSceneTest : public ::testing::Test {
 protected:
  ~MenuSceneTest() override {
    if (menu_ != nullptr)
      menu_->Finish();
  }

  // Packs the menu (and whatever the test added) and loads it as the game would.
  void Start(const std::vector<std::string>& lines, const std::string& firstState = "0") {
    rig_.AddDefinition("Menu.txt", lines);
    rig_.Pack();
    owner_.values.Set(ValueId::MenuState, firstState);
    menu_ = std::make_unique<MenuScene>(&owner_);
    menu_->Load("Menu.txt");
    menu_->Start();
    menu_->SetActive(true);
  }
  void Frame() {
    rig_.Pass();
    menu_->Update();
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i)
      Frame();
  }
  // One frame with key held, then let go.
  void Tap(uint8_t key) {
    rig_.Hold(key);
    Frame();
    rig_.Let(key);
  }
  Texture* Cached(const std::string& name) { return menu_->Cache().GetTexture(name); }
  // Quads drawn since the last ClearDraws, on the back buffer or a render target.
  int QuadsDrawn(bool intoTarget) {
    int quads = 0;
    for (const platform::DrawRecord& draw : rig_.Device().Draws()) {
      if ((draw.state.renderTarget != nullptr) == intoTarget)
        quads += static_cast<int>(draw.primitiveCount / 2);
    }
    return quads;
  }

  SceneRig rig_;
  RecordingOwner owner_;
  std::unique_ptr<MenuScene> menu_;
};

TEST_F(MenuSceneTest, ATimeoutOfZeroJumpsOnTheFirstFrameAsCurrent) {
  Start({"[State_0]", "TimeoutTime=0", ":Timeout=5", "[State_5]", "ImageFile_0=rm"});
  EXPECT_EQ(menu_->TargetState(), 0) << "the menu begins with a transition into state 0";
  EXPECT_EQ(menu_->CurrentState(), MenuScene::kNoState);
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 0) << "a transit time of 0 ends on the first step";
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 5) << "timed out, and the new transition took its step";
  Frames(3);
  EXPECT_EQ(menu_->CurrentState(), 5) << "state 5 has no timeout target";
}

TEST_F(MenuSceneTest, TimeoutsCountFramesOfTheFixedStep) {
  Start({"[State_0]", "TimeoutTime=1", ":Timeout=1", "[State_1]", "TimeoutTime=0"});
  Frame();
  ASSERT_EQ(menu_->CurrentState(), 0);
  // 30 steps of 0.0333 are 0.999, not yet past one second.
  Frames(30);
  EXPECT_EQ(menu_->CurrentState(), 0);
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 1);
}

TEST_F(MenuSceneTest, AnEmptyValueBranchesOnTheKeyThatStartsWithAColon) {
  Start({"[State_0]", ":LocalValue_0=3", "[State_3]", "LocalValue_0=set"});
  Frame();
  EXPECT_EQ(menu_->CurrentState(), MenuScene::kNoState);
  EXPECT_EQ(menu_->PreviousState(), 0);
  EXPECT_EQ(menu_->TargetState(), 3);
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 3);
  EXPECT_EQ(menu_->LocalValue(0), "set");
}

TEST_F(MenuSceneTest, BranchesAreTriedLocalsThenNamedValuesThenStorageOnArrivalValues) {
  owner_.values.Set(ValueId::MissionCompleted, "true");
  Start({"[State_0]", "LocalValue_1=go", "StorageValue_2=done", "go:LocalValue_1=6",
         "true:MissionCompletedValue=9", "done:StorageValue_2=9",  //
         "[State_6]", "LocalValue_1=rm", "true:MissionCompletedValue=7", "done:StorageValue_2=9",
         "[State_7]", "MissionCompletedValue=rm", "done:StorageValue_2=8",  //
         "[State_8]", "ImageFile_0=rm"});
  // Each arrival branches at once, so each frame finishes one state and starts the next.
  Frame();
  EXPECT_EQ(menu_->TargetState(), 6) << "the local value wins";
  Frame();
  EXPECT_EQ(menu_->PreviousState(), 6);
  EXPECT_EQ(menu_->TargetState(), 7) << "then a named value";
  Frame();
  EXPECT_EQ(menu_->PreviousState(), 7);
  EXPECT_EQ(menu_->TargetState(), 8) << "then a storage slot";
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 8);
  EXPECT_EQ(owner_.values.GetStorage(2), "done");
}

TEST_F(MenuSceneTest, ArrivalWritesValuesAndRmEmptiesThem) {
  owner_.values.Set(ValueId::MovieFile, "old.ogg");
  owner_.values.Set(ValueId::StageFile, "kept.txt");
  owner_.values.SetStorage(5, "was");
  Start({"[State_0]", "LocalValue_31=last", "SceneValue=Main", "AircraftFileValue=Plane.txt",
         "MovieFileValue=rm", "StageFileValue=", "StorageValue_63=saved", "StorageValue_5=rm"});
  Frame();
  ASSERT_EQ(menu_->CurrentState(), 0);
  EXPECT_EQ(menu_->LocalValue(31), "last");
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Main");
  EXPECT_EQ(owner_.values.Get(ValueId::AircraftFile), "Plane.txt");
  EXPECT_EQ(owner_.values.Get(ValueId::MovieFile), "");
  EXPECT_EQ(owner_.values.Get(ValueId::StageFile), "kept.txt") << "an empty text writes nothing";
  EXPECT_EQ(owner_.values.GetStorage(63), "saved");
  EXPECT_EQ(owner_.values.GetStorage(5), "");
}

TEST_F(MenuSceneTest, RmInOneImageSlotKeepsTheOthers) {
  rig_.AddImage("a.png", 8, 8, 0xFFFF0000);
  rig_.AddImage("b.png", 8, 8, 0xFF00FF00);
  Start({"[State_0]", "ImageFile_0=a.png", "ImageSrcX_0=2", "ImageSrcY_0=1", "ImageSrcW_0=4",
         "ImageSrcH_0=5", "ImageDstX_0=100", "ImageDstY_0=50", "ImageFile_1=b.png", "ImageSrcW_1=8",
         "ImageSrcH_1=8", "ImageFile_2=a.png", "ImageSrcW_2=8", "ImageSrcH_2=8",
         "Right:Button=1",  //
         "[State_1]", "ImageFile_2=rm"});
  Frame();
  ASSERT_EQ(menu_->CurrentState(), 0);
  Tap(scan::kRight);
  ASSERT_EQ(menu_->CurrentState(), 1);
  const ImageSet& images = menu_->CurrentImages();
  EXPECT_EQ(images[0].texture, Cached("a.png"));
  EXPECT_EQ(images[0].source.left, 2);
  EXPECT_EQ(images[0].source.top, 1);
  EXPECT_EQ(images[0].source.right, 6);
  EXPECT_EQ(images[0].source.bottom, 6);
  EXPECT_EQ(images[0].position.x, 100);
  EXPECT_EQ(images[0].position.y, 50);
  EXPECT_EQ(images[1].texture, Cached("b.png"));
  EXPECT_EQ(images[2].texture, nullptr);
  rig_.Device().ClearDraws();
  menu_->Render();
  EXPECT_EQ(QuadsDrawn(false), 2);
}

TEST_F(MenuSceneTest, TransitTimeZeroDrawsTheTargetAtOnce) {
  rig_.AddImage("a.png", 8, 8, 0xFFFF0000);
  Start({"[State_0]", "ImageFile_0=a.png", "ImageSrcW_0=8", "ImageSrcH_0=8"});
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 0);
  rig_.Device().ClearDraws();
  menu_->Render();
  EXPECT_EQ(QuadsDrawn(false), 1);
  EXPECT_EQ(QuadsDrawn(true), 0) << "nothing goes through the transition texture";
}

TEST_F(MenuSceneTest, ACrossFadeDrawsTheTargetIntoItsTextureAndFadesItIn) {
  rig_.AddImage("a.png", 8, 8, 0xFFFF0000);
  rig_.AddImage("b.png", 8, 8, 0xFF0000FF);
  Start({"[State_0]", "ImageFile_0=a.png", "ImageSrcW_0=8", "ImageSrcH_0=8", "OK:Button=1",
         "[State_1]", "TransitTime=1", "ImageFile_1=b.png", "ImageSrcW_1=8", "ImageSrcH_1=8"});
  Frame();
  Tap(scan::kX);
  ASSERT_EQ(menu_->TargetState(), 1);
  Frames(14);  // 15 steps of 0.0333 s into one second
  rig_.Device().ClearDraws();
  menu_->Render();
  EXPECT_EQ(QuadsDrawn(true), 2) << "the target state: the kept image and the new one";
  ASSERT_EQ(QuadsDrawn(false), 2) << "the state left, then the transition texture over it";
  const platform::DrawRecord& fade = rig_.Device().Draws().back();
  ASSERT_NE(fade.state.textures[0], nullptr);
  EXPECT_EQ(fade.state.textures[0]->Width(), 1024u);
  EXPECT_EQ(fade.state.textures[0]->Height(), 512u);
  platform::Argb colour;
  std::memcpy(&colour, fade.vertices.data() + 16, sizeof colour);
  // alpha = 15 x 0.0333 / 1, as a byte.
  EXPECT_EQ(colour >> 24, static_cast<uint32_t>(15 * 0.0333f * 255.0f + 0.5f));
  EXPECT_EQ(colour & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(MenuSceneTest, ASkippedTransitionFinishesAndJumpsOn) {
  Start({"[State_0]", "OK:Button=1",  //
         "[State_1]", "TransitTime=10", "TransitSkipEnable=true", "Cancel:Button=2",
         "StorageValue_0=reached 1",  //
         "[State_2]", "TransitTime=10", "Cancel:Button=3"});
  Frame();
  Tap(scan::kX);
  ASSERT_EQ(menu_->TargetState(), 1);
  Tap(scan::kUp);
  EXPECT_EQ(menu_->TargetState(), 1) << "Up has no key in state 1";
  Tap(scan::kZ);
  EXPECT_EQ(menu_->PreviousState(), 1);
  EXPECT_EQ(menu_->TargetState(), 2);
  EXPECT_EQ(owner_.values.GetStorage(0), "reached 1") << "state 1 was finished on the way";
  Tap(scan::kZ);
  EXPECT_EQ(menu_->TargetState(), 2) << "state 2 cannot be skipped";
  EXPECT_NEAR(menu_->TransitionTimer(), 0.0333f, 1e-6f) << "it went on by one step";
}

TEST_F(MenuSceneTest, OkAndCancelInTheSameFrameTakeOk) {
  Start({"[State_0]", "OK:Button=1", "Cancel:Button=2", "[State_1]", "TimeoutTime=9"});
  Frame();
  rig_.Hold(scan::kZ);
  rig_.Hold(scan::kX);
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 1);
}

TEST_F(MenuSceneTest, OnlyTheFirstPressedButtonIsAsked) {
  Start({"[State_0]", "OK:Button=1", "[State_1]", "TimeoutTime=9"});
  Frame();
  rig_.Hold(scan::kDown);
  rig_.Hold(scan::kX);
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 0) << "Down comes before OK and jumps nowhere";
}

TEST_F(MenuSceneTest, AHeldButtonIsNoPress) {
  rig_.Hold(scan::kX);
  Start({"[State_0]", "OK:Button=1", "[State_1]", "ImageFile_0=rm"});
  Frame();
  EXPECT_EQ(menu_->CurrentState(), 0) << "pressed on the first update: seen in the transition";
  Frames(3);
  EXPECT_EQ(menu_->CurrentState(), 0) << "still held: no new press";
  rig_.Let(scan::kX);
  Frame();
  Tap(scan::kX);
  EXPECT_EQ(menu_->CurrentState(), 1);
}

TEST_F(MenuSceneTest, MenuStateValueSevenStartsInStateSeven) {
  Start({"[State_7]", "ImageFile_0=rm"}, "7");
  EXPECT_EQ(menu_->TargetState(), 7);
  EXPECT_EQ(owner_.values.Get(ValueId::MenuState), "0") << "reset at once";
}

TEST_F(MenuSceneTest, AMenuStateThatIsNotANumberStartsInStateZero) {
  Start({"[State_0]", "ImageFile_0=rm"}, "seven");
  EXPECT_EQ(menu_->TargetState(), 0);
  menu_->Finish();
  menu_ = std::make_unique<MenuScene>(&owner_);
  owner_.values.Set(ValueId::MenuState, " 12th");
  menu_->Load("Menu.txt");
  EXPECT_EQ(menu_->TargetState(), 12) << "a leading number is enough";
}

TEST_F(MenuSceneTest, MinusTwoEndsTheMenu) {
  Start({"[State_0]", "SceneValue=Main", "TimeoutTime=0", ":Timeout=-2"});
  Frame();
  EXPECT_TRUE(menu_->IsActive());
  Frame();
  EXPECT_FALSE(menu_->IsActive());
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Main");
  EXPECT_EQ(menu_->CurrentState(), 0) << "nothing else changes";
}

TEST_F(MenuSceneTest, ANegativeStateNamesNoSection) {
  rig_.AddImage("a.png", 8, 8, 0xFFFF0000);
  // "State_" with -5 read as unsigned: the section must not be taken for state -5.
  Start({"[State_0]", "ImageFile_0=a.png", "OK:Button=-5",  //
         "[State_4294967291]", "ImageFile_0=rm", "SceneValue=wrong", ":Timeout=0"});
  Frame();
  Tap(scan::kX);
  EXPECT_EQ(menu_->CurrentState(), -5);
  Frames(3);
  EXPECT_EQ(menu_->CurrentState(), -5) << "no timeout: it has no keys";
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "");
  EXPECT_EQ(menu_->CurrentImages()[0].texture, Cached("a.png")) << "no key takes the image away";
}

TEST_F(MenuSceneTest, AStateSoundPlaysOnceAndRmStopsIt) {
  rig_.AddWave("beep.wav", 2.0);
  Start({"[State_0]", "SoundFile=beep.wav", "OK:Button=1", "[State_1]", "OK:Button=2", "[State_2]",
         "SoundFile=rm"});
  ASSERT_NE(menu_->StateSound().GetVoice(), nullptr);
  EXPECT_TRUE(menu_->StateSound().IsPlaying());
  Frame();
  Tap(scan::kX);
  EXPECT_TRUE(menu_->StateSound().IsPlaying()) << "no SoundFile key leaves it playing";
  Frame();
  Tap(scan::kX);
  EXPECT_EQ(menu_->StateSound().GetVoice(), nullptr);
}

TEST_F(MenuSceneTest, MusicKeysStartAndFadeTheGameMusic) {
  Start({"[State_0]", "MusicFile=theme.ogg", "MusicFadeTime=2", "OK:Button=1",  //
         "[State_1]", "OK:Button=2",                                            //
         "[State_2]", "MusicFile=rm", "MusicFadeTime=3"});
  EXPECT_EQ(owner_.music, (std::vector<std::string>{"fade 0.000000", "play theme.ogg 2.000000"}));
  Frame();
  Tap(scan::kX);
  EXPECT_EQ(owner_.music.size(), 2u) << "no MusicFile key leaves the music";
  Frame();
  Tap(scan::kX);
  EXPECT_EQ(owner_.music.back(), "fade 3.000000");
}

TEST_F(MenuSceneTest, MissingFilesLeaveTheirSlotsEmptyAndTheMenuGoesOn) {
  platform::ForgetReportedProblems();
  ::testing::internal::CaptureStderr();
  Start({"[State_0]", "ImageFile_0=gone.png", "SoundFile=gone.wav", "TimeoutTime=0", ":Timeout=1",
         "[State_1]", "ImageFile_1=gone.png"});
  Frames(2);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(menu_->CurrentState(), 1);
  EXPECT_EQ(menu_->CurrentImages()[0].texture, nullptr);
  EXPECT_EQ(menu_->StateSound().GetVoice(), nullptr);
  EXPECT_NE(err.find("quarn: gone.png: "), std::string::npos) << err;
  EXPECT_NE(err.find("quarn: gone.wav: "), std::string::npos) << err;
  EXPECT_EQ(err.find("quarn: gone.png", err.find("quarn: gone.png") + 1), std::string::npos)
      << "one line per file: " << err;
}

TEST_F(MenuSceneTest, AMissingMenuFileShowsNothingAndNeverLeaves) {
  rig_.Pack();
  menu_ = std::make_unique<MenuScene>(&owner_);
  menu_->Load("NoSuchMenu.txt");
  menu_->Start();
  menu_->SetActive(true);
  Frames(100);
  Tap(scan::kX);
  EXPECT_EQ(menu_->CurrentState(), 0);
  EXPECT_TRUE(menu_->IsActive());
  rig_.Device().ClearDraws();
  menu_->Render();
  EXPECT_EQ(QuadsDrawn(false), 0);
}

TEST_F(MenuSceneTest, ALostDeviceDropsTheTransitionTextureAndTheResetMakesItAgain) {
  Start({"[State_0]", "TransitTime=5"});
  ASSERT_TRUE(menu_->HasTransitionTexture());
  rig_.Device().SetSamplerState(0, platform::SamplerState::AddressU,
                                platform::TextureAddress::Wrap);
  rig_.Device().SetLost(true);
  // A render-target texture left alive would make the reset fail.
  ASSERT_TRUE(rig_.Graphics().Restore());
  EXPECT_EQ(rig_.Device().ResetCount(), 1);
  EXPECT_TRUE(menu_->HasTransitionTexture());
  EXPECT_EQ(rig_.Device().GetSamplerState(0, platform::SamplerState::AddressU),
            static_cast<uint32_t>(platform::TextureAddress::Mirror))
      << "the scene's device states are applied again";
  Frame();
  rig_.Device().ClearDraws();
  menu_->Render();
  EXPECT_EQ(QuadsDrawn(false), 1) << "the fade goes on through the new texture";
}

TEST_F(MenuSceneTest, FinishGivesBackTheKeysTheTextureAndTheCache) {
  rig_.AddImage("a.png", 8, 8, 0xFFFF0000);
  Start({"[State_0]", "ImageFile_0=a.png", "TransitTime=5"});
  ASSERT_EQ(rig_.Device().LiveDefaultPoolTextures(), 1);
  menu_->Finish();
  EXPECT_EQ(rig_.Device().LiveDefaultPoolTextures(), 0);
  EXPECT_EQ(menu_->Cache().Count(ResourceCache::Kind::Texture), 0u);
  EXPECT_EQ(menu_->Cache().Count(ResourceCache::Kind::Definition), 0u);
  EXPECT_FALSE(menu_->Sprites().HasSprite());
  rig_.Hold(scan::kX);
  rig_.Pass();
  EXPECT_EQ(rig_.Input().GetKeyboard()->GetButton(5), 0) << "the keyboard has no mapping left";
  menu_.reset();
}

}  // namespace
}  // namespace quarn
