#pragma once
// The input service. Until the device layer arrives there are no devices to poll.
#include "engine/Service.h"
#include "platform/Message.h"

namespace quarn {

class InputSystem : public Service<InputSystem> {
 public:
  InputSystem() = default;
  virtual ~InputSystem() = default;
  virtual bool Create(platform::WindowHandle window);
  virtual void Release();
  virtual bool Update();
};

}  // namespace quarn
