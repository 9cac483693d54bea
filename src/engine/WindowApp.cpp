#include "engine/WindowApp.h"

namespace quarn {

intptr_t WindowApp::OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam) {
  if (message == platform::kWmClose && window != nullptr && window == window_.GetHandle()) {
    platform::PostQuitMessage(0);
    return 1;
  }
  return AppBase::OnMessage(window, message, wParam, lParam);
}

WindowParams WindowApp::MainWindowParams() const {
  WindowParams params;
  const LaunchOptions& options = Options();
  params.fullscreen = !options.windowed && !options.headless;
  params.scale = options.scale;
  if (options.headless)
    params.videoDriver = "offscreen";
  return params;
}

bool WindowApp::InitInstance() {
  AppBase::InitInstance();
  window_.Create(MainWindowParams());
  window_.AddHandler(this);
  return true;
}

void WindowApp::ExitInstance() {
  window_.RemoveHandler(this);
  window_.Destroy();
  AppBase::ExitInstance();
}

}  // namespace quarn
