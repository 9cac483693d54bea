#pragma once
// The sound device service. Until the audio backend arrives the game runs silently.
#include "engine/Service.h"
#include "platform/Message.h"

namespace quarn {

class SoundDevice : public Service<SoundDevice> {
 public:
  SoundDevice() = default;
  virtual ~SoundDevice() = default;
  virtual bool Create(platform::WindowHandle window, int unused);
  virtual void Release();
};

}  // namespace quarn
