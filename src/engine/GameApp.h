#pragma once
// The game's application: owns every engine service and the game, and runs the fixed-rate
// main loop (update every period, render when on time, survive a lost device).
#include <functional>
#include <memory>

#include "engine/Archive.h"
#include "engine/ComInitializer.h"
#include "engine/FrameTimer.h"
#include "engine/GameBase.h"
#include "engine/GamePaths.h"
#include "engine/GraphicsDevice.h"
#include "engine/InputSystem.h"
#include "engine/ScreenshotWriter.h"
#include "engine/SoundDevice.h"
#include "engine/StateDigest.h"
#include "engine/WindowApp.h"
#include "platform/Clock.h"

namespace quarn {

// What the application is built with; tests replace parts of it.
struct GameAppServices {
  // Makes the game object (required).
  std::function<std::unique_ptr<GameBase>()> makeGame;
  // Makes the render device; empty: OpenGL on a real window, the null device otherwise.
  GraphicsDevice::DeviceFactory makeRenderDevice;
  // The counter the loop is paced on; null: the real clock, or a virtual one when headless.
  platform::Clock* clock = nullptr;
  platform::WindowBackend windowBackend = platform::WindowBackend::Sdl;
};

class GameApp : public WindowApp {
 public:
  explicit GameApp(GameAppServices services);
  ~GameApp() override;

  intptr_t OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override;
  // The start-up, the main loop and the shut-down; 0 after a normal end, -1 when a start-up
  // step fails.
  int Run(Thread* thread) override;

  FrameTimer& GetFrameTimer() { return timer_; }
  GraphicsDevice& Graphics() { return graphics_; }
  GameBase* GetGame() { return game_.get(); }
  const GamePaths& Paths() const { return paths_; }
  bool IsPaused() const { return paused_ != 0; }
  // Game updates run so far.
  long UpdateCount() const { return updates_; }

 protected:
  WindowParams MainWindowParams() const override;

 private:
  // OpenGL on a real window, the null device otherwise (and for runs that draw nothing).
  GraphicsDevice::DeviceFactory DefaultDevices();
  bool StartServices();
  void StopServices();
  // F12: the picture on the screen into the screenshot folder.
  void SaveScreenshot();
  // --screenshot-at: the pictures asked for, once their update is reached.
  void WriteRequestedScreenshots();
  // --digest: this pass's state into the run's digest.
  void FeedDigest();

  GameAppServices services_;
  GamePaths paths_;
  platform::FakeClock virtualClock_;  // paces headless runs without waiting
  // The services, in construction order (destroyed in reverse).
  Archive archive_;
  GraphicsDevice graphics_;
  SoundDevice sound_;
  ComInitializer com_;
  InputSystem input_;
  FrameTimer timer_;
  std::unique_ptr<GameBase> game_;
  int paused_ = 0;
  long updates_ = 0;
  ScreenshotWriter screenshots_;
  StateDigest digest_;
};

// The frame timer of the running application, or null when there is none.
FrameTimer* ApplicationFrameTimer();
// Where the running application keeps its data and save file, or null when there is none.
const GamePaths* ApplicationPaths();

}  // namespace quarn
