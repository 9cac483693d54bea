#pragma once
// The real devices through SDL: the keyboard and mouse from the window's events (SDL's own
// keyboard state ignores injected events, so the state is kept here), joysticks and gamepads
// through SDL's joystick and game-controller layers, with hot-plug.
#include <memory>
#include <vector>

#include "platform/InputBackend.h"
#include "platform/Message.h"
#include "platform/Window.h"

namespace quarn::platform {

class SdlInputBackend final : public InputBackend, public EventListener {
 public:
  // window: the window whose events carry the keys and the mouse, and whose focus decides
  // whether the devices can be read; null for none (events then come only through OnEvent).
  explicit SdlInputBackend(WindowHandle window);
  ~SdlInputBackend() override;
  SdlInputBackend(const SdlInputBackend&) = delete;
  SdlInputBackend& operator=(const SdlInputBackend&) = delete;

  bool Start() override;
  size_t JoystickCount() const override { return slots_.size(); }
  bool Poll(InputSnapshot* snapshot) override;
  bool HasMoreInput() const override { return true; }
  bool Rumble(size_t slot, float strength, float seconds) override;

  void OnEvent(const SDL_Event& event) override;

  // SDL's stick range -32768..32767 onto 0..65535 with rest (0) on the centre 32767.
  static int32_t AxisFromSdl(int value);
  // SDL's trigger range 0..32767 onto the upper half, so that a trigger at rest reads centred.
  static int32_t TriggerFromSdl(int value);
  // SDL's hat bits onto hundredths of a degree clockwise from up; kHatCentred at rest.
  static uint32_t HatFromSdl(uint8_t hat);

 private:
  struct Slot;

  void OpenJoystick(int deviceIndex);
  void CloseJoystick(int instanceId);
  void OnKey(int sdlScancode, bool down);
  void OnMouseButton(int sdlButton, bool down);

  WindowHandle window_;
  bool listening_ = false;
  bool joysticksStarted_ = false;
  bool focused_ = true;
  KeyboardState keyboard_;
  MouseState mouse_;  // movement and wheel gathered since the last poll
  std::vector<std::unique_ptr<Slot>> slots_;
};

}  // namespace quarn::platform
