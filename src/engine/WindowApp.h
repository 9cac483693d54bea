#pragma once
// An application with one main window whose close request ends the program.
#include "engine/AppBase.h"
#include "engine/Window.h"

namespace quarn {

class WindowApp : public AppBase {
 public:
  WindowApp() = default;
  ~WindowApp() override = default;

  intptr_t OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override;
  // Makes the main window and listens to it; true even when the window could not be made
  // (the graphics device then fails for lack of it).
  bool InitInstance() override;
  void ExitInstance() override;

  Window& MainWindow() { return window_; }

 protected:
  // The parameters of the main window, from the launch options.
  virtual WindowParams MainWindowParams() const;

 private:
  Window window_;
};

}  // namespace quarn
