#pragma once
// Recorded input played back in place of the real devices, one recorded pass per poll. Key
// changes of the recorded keyboard also reach the window as key messages, posted one pass
// ahead so that each is dispatched in the pass whose state shows it, as a live key would be.
#include "platform/InputBackend.h"
#include "platform/Message.h"

namespace quarn::platform {

class ReplayInputBackend final : public InputBackend {
 public:
  // window: where the key messages go (on the calling thread's queue); null: none are made.
  ReplayInputBackend(InputRecording recording, WindowHandle window);

  // Posts the key messages of the first recorded pass.
  bool Start() override;
  size_t JoystickCount() const override { return slots_; }
  bool Poll(InputSnapshot* snapshot) override;
  bool HasMoreInput() const override { return next_ < recording_.updateCount; }

  // Passes played so far.
  long Played() const { return next_; }

 private:
  // The recorded state of update (update < updateCount), moving the cursor forward only.
  const InputSnapshot& StateAt(long update);
  void PostKeyChanges(const KeyboardState& from, const KeyboardState& to);

  InputRecording recording_;
  WindowHandle window_;
  long next_ = 0;
  size_t change_ = 0;
  size_t slots_;
};

}  // namespace quarn::platform
