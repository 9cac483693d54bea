#include "engine/Window.h"

namespace quarn {

Window::~Window() {
  Destroy();
}

WindowHandle Window::Create(const WindowParams& params) {
  Destroy();
  platform::WindowDesc desc;
  desc.title = params.name;
  // The size is the client area already; a default size is the picture's.
  desc.width = params.width == kUseDefault ? 640 : params.width;
  desc.height = params.height == kUseDefault ? 480 : params.height;
  desc.visible = (params.style & kStyleVisible) != 0;
  desc.fullscreen = params.fullscreen;
  desc.scale = params.scale;
  desc.backend = params.backend;
  desc.videoDriver = params.videoDriver;
  lastError_.clear();
  window_ = platform::Window::Create(desc, &lastError_);
  if (window_ == nullptr)
    return nullptr;
  window_->SetProcedure(this);
  if (params.x != kUseDefault && params.y != kUseDefault)
    window_->MoveTo(params.x, params.y);
  platform::MessageQueue::Current()->SetSource(window_.get());
  return window_->Handle();
}

bool Window::Destroy() {
  if (window_ == nullptr)
    return false;
  auto queue = platform::MessageQueue::Current();
  if (queue->Source() == window_.get())
    queue->SetSource(nullptr);
  window_.reset();
  return true;
}

bool Window::MoveTo(int x, int y) {
  return window_ != nullptr && window_->MoveTo(x, y);
}

bool Window::GetWindowPosition(int* x, int* y) {
  return window_ != nullptr && window_->GetPosition(x, y);
}

bool Window::Resize(int width, int height) {
  return window_ != nullptr && window_->Resize(width, height);
}

bool Window::GetClientSize(int* width, int* height) {
  return window_ != nullptr && window_->GetClientSize(width, height);
}

intptr_t Window::WindowProc(const platform::Message& message) {
  const intptr_t result =
      OnMessage(message.window, message.message, message.wParam, message.lParam);
  if (result != 0)
    return result;
  return platform::DefaultWindowProc(message);
}

}  // namespace quarn
