#include "engine/MessageDispatcher.h"

#include <algorithm>

namespace quarn {

intptr_t MessageDispatcher::OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam) {
  // A copy, so that a handler may add or remove handlers while being called.
  const std::vector<MessageHandler*> handlers = handlers_;
  for (MessageHandler* handler : handlers) {
    const intptr_t result = handler->OnMessage(window, message, wParam, lParam);
    if (result != 0)
      return result;
  }
  return 0;
}

bool MessageDispatcher::AddHandler(MessageHandler* handler) {
  if (std::find(handlers_.begin(), handlers_.end(), handler) != handlers_.end())
    return false;
  handlers_.push_back(handler);
  return true;
}

bool MessageDispatcher::RemoveHandler(MessageHandler* handler) {
  auto it = std::find(handlers_.begin(), handlers_.end(), handler);
  if (it == handlers_.end())
    return false;
  handlers_.erase(it);
  return true;
}

}  // namespace quarn
