#pragma once
// A backend whose devices the test sets by hand between passes.
#include "platform/InputBackend.h"

namespace quarn::testing {

class ScriptedInputBackend : public platform::InputBackend {
 public:
  bool Start() override { return startResult; }
  size_t JoystickCount() const override { return state.joysticks.size(); }
  bool Poll(platform::InputSnapshot* snapshot) override {
    *snapshot = state;
    ++polls;
    return true;
  }
  bool HasMoreInput() const override { return true; }

  void Press(uint8_t key) { state.keyboard.keys[key] = platform::kKeyDown; }
  void Release(uint8_t key) { state.keyboard.keys[key] = 0; }

  platform::InputSnapshot state;
  bool startResult = true;
  int polls = 0;
};

}  // namespace quarn::testing
