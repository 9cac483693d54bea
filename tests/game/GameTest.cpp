// The game object: start-up from the save file, scene switching by SceneValue, the music and
// its fades, the save file at the end, and the digest of its state.
#include "game/Game.h"

#include <gtest/gtest.h>

#include "engine/ArchiveFixture.h"
#include "game/MenuScene.h"
#include "game/SceneRig.h"
#include "platform/Diagnostics.h"

namespace quarn {
namespace {

using testing::SceneRig;

class GameTest : public ::testing::Test {
 protected:
  void Begin(const std::vector<std::string>& systemMenu) {
    rig_.AddDefinition("SystemMenu.txt", systemMenu);
    rig_.AddMusic("theme.ogg", 1.0);
    rig_.Pack();
    game_ = std::make_unique<Game>(SavePath());
    game_->Init();
  }
  // One pass of the main loop; the quit flag it leaves.
  int Frame() {
    rig_.Pass();
    int quit = 0;
    game_->Update(&quit);
    game_->Render();
    return quit;
  }
  std::string SavePath() const { return rig_.Path("Quarn.sav"); }
  float Volume() {
    float volume = -1.0f;
    game_->Music().GetVolume(&volume);
    return volume;
  }

  SceneRig rig_;
  std::unique_ptr<Game> game_;
};

TEST_F(GameTest, WithoutASaveFileEverySlotIsEmptyAndTheEndWritesTheEmptyFile) {
  Begin({"[State_0]", "ImageFile_0=rm"});
  for (int slot = 0; slot < ValueStore::kStorageSlots; ++slot)
    EXPECT_EQ(game_->Values().GetStorage(slot), "") << slot;
  EXPECT_EQ(game_->Values().Get(ValueId::Scene), "Menu");
  EXPECT_EQ(game_->Values().Get(ValueId::MenuFile), "SystemMenu.txt");
  game_->Finish();
  EXPECT_EQ(testing::ReadFile(SavePath()), std::string(256, '\0'));
  EXPECT_EQ(game_->Scene(), nullptr);
}

TEST_F(GameTest, InitReadsTheSaveFile) {
  testing::WriteFile(SavePath(), std::string("\0\0\0\0\x02\0\0\0hi", 10));
  Begin({"[State_0]", "ImageFile_0=rm"});
  EXPECT_EQ(game_->Values().GetStorage(0), "");
  EXPECT_EQ(game_->Values().GetStorage(1), "hi");
}

TEST_F(GameTest, TheFirstFrameRunsTheMenuThatInitBuilt) {
  Begin({"[State_0]", "ImageFile_0=rm"});
  GameScene* first = game_->Scene();
  ASSERT_NE(dynamic_cast<MenuScene*>(first), nullptr);
  EXPECT_EQ(game_->CurrentKind(), Game::SceneKind::Menu);
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(game_->Scene(), first);
  EXPECT_EQ(dynamic_cast<MenuScene*>(first)->CurrentState(), 0) << "and it was updated";
}

TEST_F(GameTest, ScenesFollowSceneValueUntilANameThatIsNoSceneEndsTheGame) {
  Begin({"[State_0]", "StageFileValue=Stage.txt", "SceneValue=Main", "TimeoutTime=0", ":Timeout=-2",
         "false:MissionCompletedValue=1",  //
         "[State_1]", "MovieFileValue=missing.ogg", "SceneValue=Movie", "MenuStateValue=2",
         "TimeoutTime=0", ":Timeout=-2",  //
         "[State_2]", "StorageValue_0=abc", "SceneValue=Quit", "TimeoutTime=0", ":Timeout=-2"});
  std::vector<Game::SceneKind> kinds{game_->CurrentKind()};
  int quit = 0;
  // The empty stage fails its mission: the phases take a few hundred frames.
  for (int frame = 0; frame < 500 && quit == 0; ++frame) {
    GameScene* before = game_->Scene();
    quit = Frame();
    if (game_->Scene() != before)
      kinds.push_back(game_->CurrentKind());
    if (quit != 0) {
      EXPECT_EQ(game_->Scene(), before) << "the last scene stays until the end";
    }
  }
  using Kind = Game::SceneKind;
  EXPECT_EQ(kinds,
            (std::vector<Kind>{Kind::Menu, Kind::Main, Kind::Menu, Kind::Movie, Kind::Menu}));
  ASSERT_EQ(quit, 1);
  EXPECT_EQ(game_->Values().Get(ValueId::MissionCompleted), "false") << "the stage's result";
  EXPECT_EQ(game_->Values().Get(ValueId::MenuState), "0") << "the last menu reset it";
  game_->Finish();
  const std::string saved = testing::ReadFile(SavePath());
  EXPECT_EQ(saved.substr(0, 7), std::string("\x03\0\0\0abc", 7));
  EXPECT_EQ(saved.size(), 7u + 63 * 4);
}

TEST_F(GameTest, MusicFadesInOverTwoSecondsToFullVolumeInAboutSixtyFrames) {
  Begin({"[State_0]", "MusicFile=theme.ogg", "MusicFadeTime=2"});
  EXPECT_EQ(game_->MusicFile(), "theme.ogg");
  EXPECT_FLOAT_EQ(game_->FadeRate(), 0.5f);
  EXPECT_NEAR(Volume(), 0.0f, 0.001f);
  int frames = 0;
  while (Volume() < 1.0f && frames < 200) {
    Frame();
    ++frames;
  }
  EXPECT_GE(frames, 59);
  EXPECT_LE(frames, 62);
  EXPECT_EQ(game_->FadeRate(), 0.0f);
  for (int i = 0; i < 60; ++i)
    Frame();
  EXPECT_EQ(Volume(), 1.0f) << "and stays there, the music looping";
  EXPECT_TRUE(game_->Music().IsRunning());
}

TEST_F(GameTest, MusicWithoutAFadeStartsAtFullVolume) {
  Begin({"[State_0]", "MusicFile=theme.ogg"});
  EXPECT_EQ(Volume(), 1.0f);
  EXPECT_EQ(game_->FadeRate(), 0.0f);
  EXPECT_TRUE(game_->Music().IsRunning());
}

TEST_F(GameTest, AFadeOutOfThreeSecondsClosesTheMusicAfterAboutNinetyFrames) {
  Begin({"[State_0]", "ImageFile_0=rm"});
  game_->PlayMusic("theme.ogg", 0.0f);
  ASSERT_TRUE(game_->Music().IsRunning());
  const ArchiveEntry& entry = rig_.GetArchive().Entries().at("theme.ogg");
  EXPECT_EQ(entry.referenceCount, 1);
  const std::string copy = entry.tempPath;
  game_->FadeOutMusic(3.0f);
  int frames = 0;
  while (game_->Music().IsRunning() && frames < 200) {
    Frame();
    ++frames;
  }
  EXPECT_GE(frames, 89);
  EXPECT_LE(frames, 92);
  EXPECT_EQ(game_->MusicFile(), "");
  EXPECT_EQ(entry.referenceCount, 0) << "the music file is given back to the archive";
  EXPECT_FALSE(testing::Exists(copy));
}

TEST_F(GameTest, NewMusicReplacesTheOldAndLetsItsFileGo) {
  rig_.AddMusic("other.ogg", 1.0);
  Begin({"[State_0]", "ImageFile_0=rm"});
  game_->PlayMusic("theme.ogg", 0.0f);
  game_->PlayMusic("other.ogg", 0.0f);
  EXPECT_EQ(rig_.GetArchive().Entries().at("theme.ogg").referenceCount, 0);
  EXPECT_EQ(rig_.GetArchive().Entries().at("other.ogg").referenceCount, 1);
  EXPECT_TRUE(game_->Music().IsRunning());
  game_->Finish();
  EXPECT_EQ(rig_.GetArchive().Entries().at("other.ogg").referenceCount, 0)
      << "the end stops the music at once";
  EXPECT_FALSE(game_->Music().IsRunning());
}

TEST_F(GameTest, MissingMusicIsReportedByItsNameAndLeavesNonePlaying) {
  Begin({"[State_0]", "ImageFile_0=rm"});
  game_->PlayMusic("theme.ogg", 0.0f);
  ASSERT_TRUE(game_->Music().IsRunning());
  platform::ForgetReportedProblems();
  ::testing::internal::CaptureStderr();
  game_->PlayMusic("nosuch.ogg", 2.0f);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("quarn: nosuch.ogg: not found", 0), 0u) << err;
  EXPECT_FALSE(game_->Music().IsRunning());
  EXPECT_EQ(rig_.GetArchive().Entries().at("theme.ogg").referenceCount, 0);
  Frame();
  EXPECT_FALSE(game_->Music().IsRunning());
}

TEST_F(GameTest, TheDigestFollowsTheSceneTheMenuStateAndTheValues) {
  Begin({"[State_0]", "TimeoutTime=0", ":Timeout=1", "[State_1]", "ImageFile_0=rm"});
  auto digest = [this] {
    StateDigest state;
    game_->AddToDigest(state);
    return state.Value();
  };
  const uint64_t start = digest();
  EXPECT_EQ(digest(), start) << "the same state gives the same digest";
  Frame();
  const uint64_t inState0 = digest();
  EXPECT_NE(inState0, start);
  game_->Values().SetStorage(9, "x");
  EXPECT_NE(digest(), inState0);
  game_->Values().SetStorage(9, "");
  EXPECT_EQ(digest(), inState0);
  Frame();
  EXPECT_NE(digest(), inState0) << "state 1 now";
}

}  // namespace
}  // namespace quarn
