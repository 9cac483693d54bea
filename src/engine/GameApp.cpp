#include "engine/GameApp.h"

#include <cstdio>
#include <ctime>

#include "engine/RandomGenerator.h"
#include "engine/TimerPauseScope.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "platform/Window.h"

namespace quarn {

FrameTimer* ApplicationFrameTimer() {
  auto* app = dynamic_cast<GameApp*>(AppBase::Instance());
  return app != nullptr ? &app->GetFrameTimer() : nullptr;
}

const GamePaths* ApplicationPaths() {
  auto* app = dynamic_cast<GameApp*>(AppBase::Instance());
  return app != nullptr ? &app->Paths() : nullptr;
}

TimerPauseScope::TimerPauseScope() : TimerPauseScope(ApplicationFrameTimer()) {}

GameApp::GameApp(GameAppServices services)
    : services_(std::move(services)),
      graphics_(services_.makeRenderDevice ? services_.makeRenderDevice : DefaultDevices()),
      game_(services_.makeGame ? services_.makeGame() : nullptr) {}

GameApp::~GameApp() = default;

GraphicsDevice::DeviceFactory GameApp::DefaultDevices() {
  return [this](platform::Window& window, const platform::PresentParameters& params,
                std::string* error) -> std::unique_ptr<platform::RenderDevice> {
    // Nothing will ever be drawn: no GL context at all, the null device. The window stays
    // as it is, so the run plays exactly as one that draws.
    const LaunchOptions& options = Options();
    const bool drawsNothing = options.headless && options.noRender && options.screenshots.empty();
    if (drawsNothing || window.Native() == nullptr)
      return std::make_unique<platform::NullRenderDevice>(params);
    return platform::CreateGlRenderDevice(window, params, error);
  };
}

WindowParams GameApp::MainWindowParams() const {
  WindowParams params = WindowApp::MainWindowParams();
  params.backend = services_.windowBackend;
  return params;
}

intptr_t GameApp::OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                            intptr_t lParam) {
  const bool mainWindow = window != nullptr && window == MainWindow().GetHandle();
  if (mainWindow && message == platform::kWmSetCursor && (lParam & 0xFFFF) == platform::kHtClient) {
    // The pointer is hidden over the picture.
    MainWindow().GetPlatformWindow()->SetCursorVisible(false);
    return 1;
  }
  if (mainWindow && message == platform::kWmKeyUp && wParam == platform::kVkEscape) {
    platform::PostQuitMessage(0);
    return 1;
  }
  if (mainWindow && message == platform::kWmKeyUp && wParam == platform::kVkPause) {
    paused_ = !paused_;
    return 1;
  }
  if (mainWindow && message == platform::kWmKeyUp && wParam == platform::kVkF12) {
    SaveScreenshot();
    return 1;
  }
  return WindowApp::OnMessage(window, message, wParam, lParam);
}

bool GameApp::StartServices() {
  const LaunchOptions& options = Options();
  paths_ = GamePaths::Resolve(options.dataDir);
  if (!archive_.Open(paths_.ArchiveBase())) {
    platform::ReportError("cannot open the data archive " + paths_.ArchiveBase() + ".acv");
    return false;
  }
  const WindowHandle window = MainWindow().GetHandle();
  if (window == nullptr) {
    platform::ReportError(MainWindow().LastError().empty() ? "cannot create the window"
                                                           : MainWindow().LastError());
    return false;
  }
  if (!graphics_.Create(window, GraphicsParams{options.windowed ? 0 : 1, 640, 480})) {
    platform::ReportError("cannot create the graphics device: " + graphics_.LastError());
    return false;
  }
  // Headless runs never open a sound card; their silence keeps the game's virtual time.
  if (options.headless)
    sound_.UseSilentDevice(services_.clock ? services_.clock : &virtualClock_);
  if (!sound_.Create(window, 0)) {
    platform::ReportError("cannot create the sound device");
    return false;
  }
  if (!com_.Create()) {
    platform::ReportError("cannot start the media library");
    return false;
  }
  input_.SetReplayFile(options.replayFile);
  input_.SetRecordFile(options.recordFile);
  if (!input_.Create(window)) {
    platform::ReportError("cannot start the input devices: " + input_.LastError());
    return false;
  }
  if (services_.clock != nullptr) {
    timer_.SetClock(services_.clock);
  } else if (options.headless) {
    timer_.SetClock(&virtualClock_);
  }
  if (!timer_.SetRate(30)) {
    platform::ReportError("no high-resolution counter for the frame timer");
    return false;
  }
  return true;
}

void GameApp::FeedDigest() {
  digest_.AddInt(updates_);
  digest_.AddInt(paused_);
  input_.AddToDigest(digest_);
  digest_.AddInt(GameRandom().State());
  if (const auto* source = dynamic_cast<const DigestSource*>(game_.get())) {
    source->AddToDigest(digest_);
  }
}

void GameApp::StopServices() {
  input_.Release();
  com_.Release();
  sound_.Release();
  graphics_.Release();
  archive_.Close();
}

void GameApp::SaveScreenshot() {
  if (graphics_.GetDevice() == nullptr)
    return;
  if (paths_.ScreenshotDir().empty()) {
    platform::ReportProblem("F12", "no folder to keep screenshots in; the picture was not saved");
    return;
  }
  TimerPauseScope pause(&timer_);  // writing the file is not lag
  ScreenshotWriter::SaveInFolder(*graphics_.GetDevice(), paths_.ScreenshotDir(),
                                 std::time(nullptr));
}

void GameApp::WriteRequestedScreenshots() {
  if (!screenshots_.HasPendingRequests())
    return;
  TimerPauseScope pause(&timer_);
  screenshots_.AfterPresent(updates_, *graphics_.GetDevice());
}

int GameApp::Run(Thread*) {
  // A failed start-up step ends the program at once. What was made is let go first, while the
  // window it may draw into still exists.
  if (!StartServices()) {
    StopServices();
    return -1;
  }
  if (game_ == nullptr) {
    platform::ReportError("no game to run");
    return -1;
  }
  screenshots_.SetRequests(Options().screenshots);
  game_->Init();
  int quit = 0;
  int lost = 0;
  const long frameLimit = Options().frames;
  for (;;) {
    if (!PumpMessage(true))
      break;
    if (quit != 0)
      break;
    // A replay ends the program normally once its last recorded pass has been played.
    if (input_.InputEnded())
      break;
    input_.Update();
    timer_.Advance();
    if (paused_ == 0 && lost == 0) {
      game_->Update(&quit);
      ++updates_;
      // --frames: end normally, exactly as a quit request from the game would.
      if (frameLimit > 0 && updates_ >= frameLimit)
        quit = 1;
    }
    if (Options().digest)
      FeedDigest();
    // --no-render: only the pictures asked for are drawn.
    const bool draw = !Options().noRender || screenshots_.WantsPicture(updates_);
    if (draw && !timer_.IsLate()) {
      if (lost == 0) {
        game_->Render();
        if (lost == 0) {
          int presentLost = 0;
          const bool shown = graphics_.Present(nullptr, &presentLost);
          if (presentLost != 0) {
            lost = 1;
            timer_.PauseBegin();
            paused_ = 1;
          } else if (shown) {
            WriteRequestedScreenshots();
          }
        }
      } else {
        lost = graphics_.Restore() ? 0 : 1;
        if (lost == 0) {
          timer_.PauseEnd();
          paused_ = 0;
        }
      }
    }
    timer_.WaitForDue();
  }
  screenshots_.Finish(updates_, graphics_.GetDevice());
  game_->Finish();
  StopServices();
  if (Options().digest) {
    std::printf("digest: %s updates: %ld\n", digest_.Hex().c_str(), updates_);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace quarn
