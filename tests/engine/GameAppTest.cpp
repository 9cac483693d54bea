#include "engine/GameApp.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>

#include <cstdlib>
#include <functional>
#include <set>

#include "engine/DeviceResource.h"
#include "platform/NullRenderDevice.h"
#include "render/PngReader.h"

namespace quarn {
namespace {

constexpr int64_t kMillisecond = 1'000'000;

class ScriptedGame : public GameBase {
 public:
  int Init() override {
    ++inits;
    return 1;
  }
  void Finish() override {
    ++finishes;
    if (onFinish)
      onFinish();
  }
  int Update(int* quit) override {
    ++updates;
    if (onUpdate)
      onUpdate(updates, quit);
    return 1;
  }
  int Render() override {
    ++renders;
    renderedAfterUpdate.insert(updates);
    if (onRender)
      onRender();
    return 1;
  }
  void PlayMusic(const std::string&, float) override {}
  void FadeOutMusic(float) override {}

  std::function<void(int update, int* quit)> onUpdate;
  std::function<void()> onRender;
  std::function<void()> onFinish;  // runs while the devices still exist
  int inits = 0, finishes = 0, updates = 0, renders = 0;
  std::set<int> renderedAfterUpdate;
};

class RecordingResource : public DeviceResource {
 public:
  RecordingResource(std::string name, std::vector<std::string>* log,
                    std::function<void()> onReset = nullptr)
      : name_(std::move(name)), log_(log), onReset_(std::move(onReset)) {}
  int OnDeviceLost() override {
    log_->push_back("lost " + name_);
    return 1;
  }
  int OnDeviceReset() override {
    log_->push_back("reset " + name_);
    if (onReset_)
      onReset_();
    return 1;
  }

 private:
  std::string name_;
  std::vector<std::string>* log_;
  std::function<void()> onReset_;
};

// A game application on a window without a screen, the null device and a scripted clock.
class GameAppTest : public ::testing::Test {
 protected:
  GameAppTest() {
    platform::Message stale;
    while (platform::MessageQueue::Current()->Peek(stale)) {
    }
    GameAppServices services;
    services.clock = &clock_;
    services.windowBackend = platform::WindowBackend::None;
    services.makeRenderDevice = [this](platform::Window&, const platform::PresentParameters& p,
                                       std::string*) -> std::unique_ptr<platform::RenderDevice> {
      if (failDevice_)
        return nullptr;
      auto device = std::make_unique<platform::NullRenderDevice>(p);
      device_ = device.get();
      return device;
    };
    services.makeGame = [this] {
      auto game = std::make_unique<ScriptedGame>();
      game_ = game.get();
      return game;
    };
    app_ = std::make_unique<GameApp>(std::move(services));
  }

  int Run(LaunchOptions options = {}) { return app_->Execute(options); }

  // Posted now, pumped at the start of the next pass (one message per pass).
  void PostToWindow(uint32_t message, uintptr_t wParam) {
    platform::MessageQueue::Current()->Post(
        platform::Message{app_->MainWindow().GetHandle(), message, wParam, 0});
  }

  platform::FakeClock clock_;
  platform::NullRenderDevice* device_ = nullptr;
  ScriptedGame* game_ = nullptr;
  bool failDevice_ = false;
  std::unique_ptr<GameApp> app_;
};

TEST_F(GameAppTest, EscapeEndsTheProgramOnReleaseNotOnPress) {
  game_->onUpdate = [this](int update, int*) {
    if (update == 3)
      PostToWindow(platform::kWmKeyDown, platform::kVkEscape);
    if (update == 6)
      PostToWindow(platform::kWmKeyUp, platform::kVkEscape);
  };
  EXPECT_EQ(Run(), 0);
  // Released after update 6, dispatched in pass 7, whose WM_QUIT ends the loop in pass 8.
  EXPECT_EQ(game_->updates, 7);
  EXPECT_EQ(game_->inits, 1);
  EXPECT_EQ(game_->finishes, 1);
}

TEST_F(GameAppTest, ClosingTheWindowEndsTheProgram) {
  game_->onUpdate = [this](int update, int*) {
    if (update == 2)
      PostToWindow(platform::kWmClose, 0);
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(game_->updates, 3);
}

TEST_F(GameAppTest, PauseStopsUpdatesButKeepsRendering) {
  int pausedRenders = 0;
  game_->onUpdate = [&](int update, int* quit) {
    if (update == 2)
      PostToWindow(platform::kWmKeyUp, platform::kVkPause);
    if (update == 4)
      *quit = 1;
  };
  game_->onRender = [&] {
    if (!app_->IsPaused())
      return;
    if (++pausedRenders == 5)
      PostToWindow(platform::kWmKeyUp, platform::kVkPause);
  };
  EXPECT_EQ(Run(), 0);
  // The pass that pumps the release updates and renders unpaused.
  EXPECT_EQ(pausedRenders, 5);
  EXPECT_EQ(game_->updates, 4);
}

TEST_F(GameAppTest, LatePassesSkipRenderingUntilTheScheduleIsCaughtUp) {
  game_->onUpdate = [this](int update, int* quit) {
    if (update >= 2 && update <= 4)
      clock_.Advance(50 * kMillisecond);  // slow updates
    if (update == 8)
      *quit = 1;
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(game_->updates, 8);
  EXPECT_EQ(game_->renderedAfterUpdate, (std::set<int>{1, 6, 7, 8}));
}

TEST_F(GameAppTest, QuitFlagStillRendersItsPassAndEndsAtTheNext) {
  game_->onUpdate = [](int update, int* quit) {
    if (update == 3)
      *quit = 1;
  };
  int presents = 0;
  game_->onFinish = [&] { presents = device_->PresentCount(); };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(game_->updates, 3);
  EXPECT_EQ(game_->renders, 3);
  EXPECT_EQ(presents, 3);
}

TEST_F(GameAppTest, LostDevicePausesTheGameUntilARestoreTellsTheResourcesInOrder) {
  std::vector<std::string> log;
  RecordingResource first("first", &log), second("second", &log);
  game_->onUpdate = [&](int update, int* quit) {
    if (update == 2) {
      device_->SetLost(true, 3);  // three restore attempts find it not yet resettable
      device_->FailNextResets(1);
      // Pause pressed while the loss is pending: the restore clears the flag anyway.
      PostToWindow(platform::kWmKeyUp, platform::kVkPause);
    }
    if (update == 4)
      *quit = 1;
  };
  int resets = 0;
  game_->onFinish = [&] { resets = device_->ResetCount(); };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"lost first", "lost second", "lost first", "lost second",
                                           "reset first", "reset second"}));
  EXPECT_EQ(game_->updates, 4);
  EXPECT_EQ(game_->renders, 4) << "nothing is drawn while the device is lost";
  EXPECT_EQ(resets, 2);
  EXPECT_FALSE(app_->IsPaused());
  EXPECT_EQ(app_->GetFrameTimer().PauseCount(), 0);
}

TEST_F(GameAppTest, AfterALongLossTheGameGoesOnAtOnce) {
  // Two minutes minimised: the loop keeps trying to restore once a frame all that time.
  const int64_t period = 1'000'000'000 / 30;
  const int lostPasses = 120 * 30;
  int64_t lostAt = 0, restoredAt = 0, updateAfterRestore = 0;
  game_->onUpdate = [&](int update, int* quit) {
    if (update == 2) {
      device_->SetLost(true, lostPasses);
      lostAt = clock_.Counter();
    }
    if (update == 3)
      updateAfterRestore = clock_.Counter();
    if (update == 5)
      *quit = 1;
  };
  std::vector<std::string> log;
  RecordingResource resource("r", &log, [&] { restoredAt = clock_.Counter(); });
  EXPECT_EQ(Run(), 0);
  ASSERT_GT(restoredAt, lostAt);
  EXPECT_GE(restoredAt - lostAt, lostPasses * period) << "the loss lasted its two minutes";
  EXPECT_LE(restoredAt - lostAt, (lostPasses + 2) * period);
  EXPECT_GE(updateAfterRestore, restoredAt);
  EXPECT_LE(updateAfterRestore - restoredAt, period)
      << "the pass after the restore updates on time, not two minutes later";
}

TEST_F(GameAppTest, FrameLimitEndsNormally) {
  LaunchOptions options;
  options.frames = 5;
  EXPECT_EQ(Run(options), 0);
  EXPECT_EQ(game_->updates, 5);
  EXPECT_EQ(game_->finishes, 1);
}

TEST_F(GameAppTest, FailedStartUpStepReturnsMinusOneAndSaysWhy) {
  failDevice_ = true;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), -1);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("quarn: cannot create the graphics device"), std::string::npos) << err;
  EXPECT_EQ(game_->inits, 0);
}

TEST_F(GameAppTest, HeadlessRunsPlaySoundSilentlyOnTheRunsClock) {
  double started = -1.0, later = -1.0;
  platform::AudioDevice::Kind kind = platform::AudioDevice::Kind::Output;
  game_->onUpdate = [&](int update, int* quit) {
    platform::AudioDevice* device = SoundDevice::Instance()->GetAudioDevice();
    kind = device->GetKind();
    if (update == 1)
      started = device->Now();
    if (update == 31) {
      later = device->Now();
      *quit = 1;
    }
  };
  LaunchOptions options;
  options.headless = true;
  EXPECT_EQ(Run(options), 0);
  EXPECT_EQ(kind, platform::AudioDevice::Kind::Silent);
  EXPECT_NEAR(later - started, 1.0, 0.01) << "thirty frames of the run's clock";
}

// A fresh folder inside the program's scratch folder, which goes when the program ends.
std::string MakeTempFolder() {
  std::string pattern = ::testing::TempDir() + "app-XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : "";
}

TEST_F(GameAppTest, ScreenshotAtWritesThePictureShownAfterThatUpdate) {
  const std::string dir = MakeTempFolder();
  ASSERT_FALSE(dir.empty());
  game_->onRender = [this] {
    // Each picture says which update it follows.
    device_->Clear(0, nullptr, platform::kClearTarget,
                   0xFF000000u | static_cast<platform::Argb>(game_->updates), 1, 0);
  };
  LaunchOptions options;
  options.frames = 6;
  options.screenshots = {{5, dir + "/five.png"}, {3, dir + "/three.png"}};
  EXPECT_EQ(Run(options), 0);
  for (const auto& [file, update] : {std::pair{"/three.png", 3u}, {"/five.png", 5u}}) {
    testing::Picture picture;
    ASSERT_TRUE(testing::ReadPng(dir + file, &picture)) << file;
    EXPECT_EQ(picture.pixels.at(1234), 0xFF000000u | update) << file;
  }
}

TEST_F(GameAppTest, F12SavesAScreenshotBesideTheSaveFile) {
  const std::string dir = MakeTempFolder();
  ASSERT_FALSE(dir.empty());
  game_->onUpdate = [this](int update, int* quit) {
    if (update == 2)
      PostToWindow(platform::kWmKeyDown, platform::kVkF12);
    if (update == 3)
      PostToWindow(platform::kWmKeyUp, platform::kVkF12);
    if (update == 6)
      *quit = 1;
  };
  LaunchOptions options;
  options.dataDir = dir;
  EXPECT_EQ(Run(options), 0);
  std::vector<std::string> names;
  if (DIR* folder = opendir((dir + "/screenshots").c_str())) {
    while (dirent* entry = readdir(folder)) {
      if (entry->d_name[0] != '.')
        names.push_back(entry->d_name);
    }
    closedir(folder);
  }
  ASSERT_EQ(names.size(), 1u) << "one picture, on the release of the key";
  EXPECT_EQ(names[0].rfind("quarn-", 0), 0u) << names[0];
  EXPECT_EQ(names[0].size(), std::string("quarn-20240203-040506-1.png").size()) << names[0];
  EXPECT_EQ(game_->updates, 6) << "the game went on";
}

}  // namespace
}  // namespace quarn
