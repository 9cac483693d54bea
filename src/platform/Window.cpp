#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <thread>

namespace quarn::platform {

namespace {
struct WindowRegistry {
  std::mutex mutex;
  std::set<Window*> windows;
};

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
}

// Virtual-key codes of the keys whose release or press the framework looks at.
uintptr_t VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z)
    return static_cast<uintptr_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9)
    return static_cast<uintptr_t>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12)
    return 0x70 + static_cast<uintptr_t>(key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE:
      return kVkEscape;
    case SDLK_PAUSE:
      return kVkPause;
    case SDLK_RETURN:
      return kVkReturn;
    case SDLK_SPACE:
      return 0x20;
    case SDLK_TAB:
      return 0x09;
    case SDLK_BACKSPACE:
      return 0x08;
    case SDLK_LEFT:
      return 0x25;
    case SDLK_UP:
      return 0x26;
    case SDLK_RIGHT:
      return 0x27;
    case SDLK_DOWN:
      return 0x28;
    default:
      return 0;
  }
}
}  // namespace

Window::Window(const WindowDesc& desc) : desc_(desc) {
  handle_ = reinterpret_cast<WindowHandle>(this);
}

std::unique_ptr<Window> Window::Create(const WindowDesc& desc, std::string* error) {
  std::unique_ptr<Window> window(new Window(desc));
  if (desc.backend == WindowBackend::Sdl) {
    if (!desc.videoDriver.empty())
      SDL_SetHint(SDL_HINT_VIDEODRIVER, desc.videoDriver.c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      if (error)
        *error = std::string("cannot start the video system: ") + SDL_GetError();
      return nullptr;
    }
    window->videoStarted_ = true;
    const int scale = std::max(1, desc.scale);
    Uint32 flags = (desc.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN) | SDL_WINDOW_ALLOW_HIGHDPI;
    if (desc.openGl)
      flags |= SDL_WINDOW_OPENGL;
    if (desc.fullscreen)
      flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window->native_ =
        SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         desc.width * scale, desc.height * scale, flags);
    if (window->native_ == nullptr) {
      if (error)
        *error = std::string("cannot create the window: ") + SDL_GetError();
      return nullptr;
    }
    window->fullscreen_ = desc.fullscreen;
  }
  std::lock_guard lock(Registry().mutex);
  Registry().windows.insert(window.get());
  return window;
}

Window::~Window() {
  {
    std::lock_guard lock(Registry().mutex);
    Registry().windows.erase(this);
  }
  if (native_ != nullptr)
    SDL_DestroyWindow(native_);
  if (videoStarted_)
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Window::MoveTo(int x, int y) {
  if (native_ == nullptr)
    return false;
  SDL_SetWindowPosition(native_, x, y);
  return true;
}

bool Window::GetPosition(int* x, int* y) const {
  if (native_ == nullptr) {
    *x = *y = 0;
    return desc_.backend == WindowBackend::None;
  }
  SDL_GetWindowPosition(native_, x, y);
  return true;
}

bool Window::Resize(int width, int height) {
  if (native_ == nullptr)
    return false;
  SDL_SetWindowSize(native_, width, height);
  return true;
}

bool Window::GetClientSize(int* width, int* height) const {
  if (native_ == nullptr) {
    *width = desc_.width;
    *height = desc_.height;
    return true;
  }
  SDL_GetWindowSize(native_, width, height);
  return true;
}

void Window::GetDrawableSize(int* width, int* height) const {
  if (native_ == nullptr || !desc_.openGl) {
    GetClientSize(width, height);
    return;
  }
  SDL_GL_GetDrawableSize(native_, width, height);
}

bool Window::SetFullscreen(bool fullscreen) {
  if (native_ == nullptr)
    return false;
  if (SDL_SetWindowFullscreen(native_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    return false;
  }
  fullscreen_ = fullscreen;
  return true;
}

bool Window::IsMinimized() const {
  if (native_ == nullptr)
    return false;
  return minimized_ || (SDL_GetWindowFlags(native_) & SDL_WINDOW_MINIMIZED) != 0;
}

void Window::SetInputMethodEnabled(bool enabled) {
  if (!videoStarted_)
    return;
  if (enabled)
    SDL_StartTextInput();
  else
    SDL_StopTextInput();
}

bool Window::PostNotice(Notice notice) {
  if (native_ == nullptr)
    return false;
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SDL_GetWindowID(native_);
  event.window.event = static_cast<Uint8>(notice == Notice::Minimized ? SDL_WINDOWEVENT_MINIMIZED
                                                                      : SDL_WINDOWEVENT_RESTORED);
  return SDL_PushEvent(&event) == 1;
}

bool Window::HasFocus() const {
  if (native_ == nullptr)
    return true;
  return (SDL_GetWindowFlags(native_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void Window::SetCursorVisible(bool visible) {
  if (native_ != nullptr)
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void Window::AddEventListener(EventListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
}

void Window::RemoveEventListener(EventListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void Window::PostTo(MessageQueue& queue, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  queue.Post(Message{handle_, message, wParam, lParam});
}

void Window::PumpInto(MessageQueue& queue) {
  if (!videoStarted_)
    return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    for (EventListener* listener : listeners_)
      listener->OnEvent(event);
    Translate(event, queue);
  }
}

void Window::Translate(const SDL_Event& event, MessageQueue& queue) {
  switch (event.type) {
    case SDL_QUIT:
      PostTo(queue, kWmClose, 0, 0);
      break;
    case SDL_KEYDOWN:
      // Alt+Enter switches between full screen and a window, as players expect.
      if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0) {
        if (event.key.repeat == 0)
          SetFullscreen(!fullscreen_);
        break;
      }
      PostTo(queue, kWmKeyDown, VirtualKey(event.key.keysym.sym), 0);
      break;
    case SDL_KEYUP:
      if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0)
        break;
      PostTo(queue, kWmKeyUp, VirtualKey(event.key.keysym.sym), 0);
      break;
    case SDL_WINDOWEVENT:
      if (native_ != nullptr && event.window.windowID != SDL_GetWindowID(native_))
        break;  // another window's
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          PostTo(queue, kWmClose, 0, 0);
          break;
        case SDL_WINDOWEVENT_ENTER:
          PostTo(queue, kWmSetCursor, reinterpret_cast<uintptr_t>(handle_), kHtClient);
          break;
        case SDL_WINDOWEVENT_MINIMIZED:
          minimized_ = true;
          PostTo(queue, kWmSize, kSizeMinimized, 0);
          break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
          minimized_ = false;
          PostTo(queue, kWmSize, kSizeRestored, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          PostTo(queue, kWmActivate, 1, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          PostTo(queue, kWmActivate, 0, 0);
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

void Window::WaitForEvents(int timeoutMs) {
  if (videoStarted_) {
    SDL_WaitEventTimeout(nullptr, timeoutMs);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  }
}

Window* FindWindow(WindowHandle handle) {
  auto* window = reinterpret_cast<Window*>(handle);
  std::lock_guard lock(Registry().mutex);
  return Registry().windows.count(window) != 0 ? window : nullptr;
}

intptr_t DispatchMessage(const Message& message) {
  Window* window = FindWindow(message.window);
  if (window != nullptr && window->Procedure() != nullptr) {
    const intptr_t result = window->Procedure()->WindowProc(message);
    if (result != 0)
      return result;
  }
  return DefaultWindowProc(message);
}

intptr_t DefaultWindowProc(const Message&) {
  return 0;
}

}  // namespace quarn::platform
