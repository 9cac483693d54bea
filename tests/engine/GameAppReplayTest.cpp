// The main loop driven by recorded input: where a replay ends, its Escape and Pause keys, and
// the digest of the run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "engine/DigestSource.h"
#include "engine/GameApp.h"
#include "platform/NullRenderDevice.h"

namespace quarn {
namespace {

class CountingGame : public GameBase, public DigestSource {
 public:
  int Init() override { return 1; }
  void Finish() override {}
  int Update(int*) override {
    ++updates;
    return 1;
  }
  int Render() override { return 1; }
  void PlayMusic(const std::string&, float) override {}
  void FadeOutMusic(float) override {}
  void AddToDigest(StateDigest& digest) const override { digest.AddInt(extraState); }

  int updates = 0;
  int extraState = 0;
};

class GameAppReplayTest : public ::testing::Test {
 protected:
  GameAppReplayTest() {
    platform::Message stale;
    while (platform::MessageQueue::Current()->Peek(stale)) {
    }
  }

  // Runs a game application on the replay text; the digest line it printed, if any.
  std::string Run(const std::string& replay, LaunchOptions options = {}, int extraState = 0) {
    // Tests run as parallel processes: each writes files of its own.
    const std::string path = ::testing::TempDir() + "/app_replay_" + std::to_string(getpid()) +
                             TestName() + "_" + std::to_string(runs_++) + ".txt";
    if (!replay.empty()) {
      std::ofstream(path, std::ios::binary) << replay;
      options.replayFile = path;
    }
    GameAppServices services;
    services.clock = &clock_;
    services.windowBackend = platform::WindowBackend::None;
    services.makeRenderDevice = [](platform::Window&, const platform::PresentParameters& p,
                                   std::string*) {
      return std::make_unique<platform::NullRenderDevice>(p);
    };
    services.makeGame = [this, extraState] {
      auto game = std::make_unique<CountingGame>();
      game->extraState = extraState;
      game_ = game.get();
      return game;
    };
    app_ = std::make_unique<GameApp>(std::move(services));
    ::testing::internal::CaptureStdout();
    exitCode_ = app_->Execute(options);
    return ::testing::internal::GetCapturedStdout();
  }

  static std::string TestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  platform::FakeClock clock_;
  int runs_ = 0;
  CountingGame* game_ = nullptr;
  std::unique_ptr<GameApp> app_;
  int exitCode_ = -2;
};

TEST_F(GameAppReplayTest, TheProgramEndsNormallyAfterTheLastRecordedUpdate) {
  Run("quarn-replay 1\nupdate 0\nend 25\n");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(game_->updates, 25);
  Run("quarn-replay 1\nend 0\n");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(game_->updates, 0) << "an empty recording plays nothing";
}

TEST_F(GameAppReplayTest, ARecordedEscapeReleaseEndsTheProgramAsALiveOneWould) {
  Run("quarn-replay 1\nupdate 8\nkeys Escape\nupdate 10\nend 100\n");
  EXPECT_EQ(exitCode_, 0);
  // Released in update 10: dispatched in that pass, the quit message ends the next one.
  EXPECT_EQ(game_->updates, 11);
}

TEST_F(GameAppReplayTest, ARecordedPauseStopsTheUpdatesAndTheDigestShowsIt) {
  LaunchOptions options;
  options.digest = true;
  const std::string out = Run("quarn-replay 1\nupdate 4\nkeys 197\nupdate 5\nend 30\n", options);
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(game_->updates, 5);
  EXPECT_TRUE(app_->IsPaused());
  ASSERT_EQ(out.size(), std::string("digest: 0123456789abcdef updates: 5\n").size()) << out;
  EXPECT_EQ(out.rfind("digest: ", 0), 0u) << out;
  EXPECT_NE(out.find(" updates: 5\n"), std::string::npos) << out;
}

TEST_F(GameAppReplayTest, TheSameReplayGivesTheSameDigestAndOtherInputAnother) {
  LaunchOptions options;
  options.digest = true;
  const std::string replay = "quarn-replay 1\nupdate 3\nkeys 200\nupdate 9\nend 20\n";
  const std::string first = Run(replay, options);
  const std::string again = Run(replay, options);
  const std::string other = Run("quarn-replay 1\nupdate 3\nkeys 208\nupdate 9\nend 20\n", options);
  const std::string gameDiffers = Run(replay, options, 7);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  EXPECT_NE(first, gameDiffers) << "the game's own state is part of the digest";
}

TEST_F(GameAppReplayTest, ARecordedRunReplaysToTheSameDigest) {
  const std::string record =
      ::testing::TempDir() + "/app_record_" + std::to_string(getpid()) + TestName() + ".txt";
  LaunchOptions options;
  options.digest = true;
  options.frames = 12;
  options.recordFile = record;
  const std::string recorded = Run("", options);
  std::ifstream in(record, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LaunchOptions replay;
  replay.digest = true;
  const std::string replayed = Run(text, replay);
  EXPECT_EQ(recorded, replayed);
  EXPECT_NE(recorded.find("updates: 12"), std::string::npos) << recorded;
}

TEST_F(GameAppReplayTest, AMissingReplayFailsTheStartUpAndLetsGoOfWhatWasMade) {
  LaunchOptions options;
  options.replayFile = ::testing::TempDir() + "/no_such_replay.txt";
  ::testing::internal::CaptureStderr();
  Run("", options);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(exitCode_, -1);
  EXPECT_NE(err.find("no_such_replay.txt"), std::string::npos) << err;
  // Every service made before the failure was released: a second start-up succeeds.
  Run("quarn-replay 1\nend 3\n");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(game_->updates, 3);
}

}  // namespace
}  // namespace quarn
