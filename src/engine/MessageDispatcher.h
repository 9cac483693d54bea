#pragma once
// An ordered list of message handlers: the first non-zero result wins.
#include <cstdint>
#include <vector>

#include "platform/Message.h"

namespace quarn {

using platform::WindowHandle;

// Anything that can take a message; non-zero means handled (and is the message's result).
class MessageHandler {
 public:
  virtual ~MessageHandler() = default;
  virtual intptr_t OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) = 0;
};

class MessageDispatcher : public MessageHandler {
 public:
  ~MessageDispatcher() override = default;
  // Asks each handler in registration order; the first non-zero result, or 0.
  intptr_t OnMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) override;

  // False (and no change) when the handler is listed already.
  bool AddHandler(MessageHandler* handler);
  // False when the handler is not listed; the others keep their order.
  bool RemoveHandler(MessageHandler* handler);

 private:
  std::vector<MessageHandler*> handlers_;
};

}  // namespace quarn
