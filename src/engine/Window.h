#pragma once
// The main window: made from a parameter record, it routes every message dispatched to it
// through its own dispatcher to the registered handlers (the application).
#include <cstdint>
#include <memory>
#include <string>

#include "engine/MessageDispatcher.h"
#include "platform/Window.h"

namespace quarn {

inline constexpr int kUseDefault = static_cast<int>(0x80000000u);
inline constexpr uint32_t kClassDoubleClicks = 0x0008;
inline constexpr uint32_t kStylePopup = 0x80000000u;
inline constexpr uint32_t kStyleVisible = 0x10000000u;

struct WindowParams {
  std::string name = "Quarn";  // class name and caption
  int x = kUseDefault;
  int y = kUseDefault;
  int width = 640;  // client area when adjust is set
  int height = 480;
  int adjust = 1;
  uint32_t classStyle = kClassDoubleClicks;
  // Borderless pop-up, shown at once. On this platform "visible" decides whether the window
  // is shown; a window (not full screen) keeps the desktop's frame so that it can be moved.
  uint32_t style = kStylePopup | kStyleVisible;
  uint32_t extendedStyle = 0;
  // How the window is shown on this platform (the original always covered the screen).
  bool fullscreen = true;
  int scale = 1;
  platform::WindowBackend backend = platform::WindowBackend::Sdl;
  std::string videoDriver;
};

class Window : public MessageDispatcher, private platform::WindowProcedure {
 public:
  Window() = default;
  ~Window() override;

  // Makes and shows the window and makes it the calling thread's event source; null on
  // failure (LastError says why).
  virtual WindowHandle Create(const WindowParams& params);
  virtual bool Destroy();
  virtual bool MoveTo(int x, int y);
  virtual bool GetWindowPosition(int* x, int* y);
  virtual bool Resize(int width, int height);
  virtual bool GetClientSize(int* width, int* height);

  WindowHandle GetHandle() const { return window_ ? window_->Handle() : nullptr; }
  platform::Window* GetPlatformWindow() const { return window_.get(); }
  const std::string& LastError() const { return lastError_; }

 private:
  // Messages for this window: the dispatcher's result, or the default procedure's.
  intptr_t WindowProc(const platform::Message& message) override;

  std::unique_ptr<platform::Window> window_;
  std::string lastError_;
};

}  // namespace quarn
