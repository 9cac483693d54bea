#pragma once
// The game's one window over SDL2, and the event pump that turns SDL events into the
// program's own messages (close, key up and down, cursor, minimise) for the framework.
#include <memory>
#include <string>
#include <vector>

#include "platform/Message.h"

struct SDL_Window;
union SDL_Event;

namespace quarn::platform {

enum class WindowBackend {
  Sdl,   // a real SDL window (whatever video driver SDL_VIDEODRIVER names)
  None,  // no native window: messages are routed, nothing is shown (logic tests)
};

struct WindowDesc {
  std::string title = "Quarn";
  int width = 640;  // client area, in back-buffer pixels
  int height = 480;
  bool fullscreen = false;  // desktop-sized, the picture scaled to fit at 4:3
  bool visible = true;      // shown at once
  int scale = 1;            // windowed: the client area is width x height times this
  bool openGl = true;       // the window will carry an OpenGL context
  WindowBackend backend = WindowBackend::Sdl;
  std::string videoDriver;  // SDL video driver to force ("offscreen", "dummy"), empty: SDL's choice
};

// What a window calls for each message dispatched to it (the window procedure).
class WindowProcedure {
 public:
  virtual ~WindowProcedure() = default;
  // Non-zero: handled, and the message's result.
  virtual intptr_t WindowProc(const Message& message) = 0;
};

// Receives every raw SDL event as the pump takes it, before any message is made of it;
// the input layer keeps its key and button state from these.
class EventListener {
 public:
  virtual ~EventListener() = default;
  virtual void OnEvent(const SDL_Event& event) = 0;
};

class Window final : public MessageSource {
 public:
  // Creates and shows the window; null with a reason in *error on failure.
  static std::unique_ptr<Window> Create(const WindowDesc& desc, std::string* error);
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  WindowHandle Handle() const { return handle_; }
  const WindowDesc& Desc() const { return desc_; }
  SDL_Window* Native() const { return native_; }

  // The procedure that dispatched messages reach (the window's "user data").
  void SetProcedure(WindowProcedure* procedure) { procedure_ = procedure; }
  WindowProcedure* Procedure() const { return procedure_; }

  bool MoveTo(int x, int y);
  bool GetPosition(int* x, int* y) const;
  bool Resize(int width, int height);
  bool GetClientSize(int* width, int* height) const;
  // Size of the drawable area in real pixels (may differ from the client size on HiDPI).
  void GetDrawableSize(int* width, int* height) const;

  bool IsFullscreen() const { return fullscreen_; }
  bool SetFullscreen(bool fullscreen);
  bool IsMinimized() const;
  bool HasFocus() const;
  void SetCursorVisible(bool visible);
  // The input method (composition of text) on or off; the game switches it off in full screen.
  void SetInputMethodEnabled(bool enabled);

  // Puts a minimise or restore notice into the event queue, as the window system does when
  // the player minimises the window or brings it back (tests; drivers without a desktop).
  enum class Notice { Minimized, Restored };
  bool PostNotice(Notice notice);

  void AddEventListener(EventListener* listener);
  void RemoveEventListener(EventListener* listener);

  // MessageSource: drains every pending SDL event, posting the messages it makes.
  void PumpInto(MessageQueue& queue) override;
  void WaitForEvents(int timeoutMs) override;

 private:
  explicit Window(const WindowDesc& desc);
  void Translate(const SDL_Event& event, MessageQueue& queue);
  void PostTo(MessageQueue& queue, uint32_t message, uintptr_t wParam, intptr_t lParam);

  WindowDesc desc_;
  WindowHandle handle_ = nullptr;
  SDL_Window* native_ = nullptr;
  WindowProcedure* procedure_ = nullptr;
  std::vector<EventListener*> listeners_;
  bool fullscreen_ = false;
  bool minimized_ = false;  // as the last minimise or restore event said
  bool videoStarted_ = false;
};

// The live window a handle names, or null.
Window* FindWindow(WindowHandle handle);
// Sends a message to its window's procedure; the default result when it has none or
// the procedure returns 0.
intptr_t DispatchMessage(const Message& message);
// What a window does with a message nobody handled: nothing.
intptr_t DefaultWindowProc(const Message& message);

}  // namespace quarn::platform
