#include "platform/SdlInputBackend.h"

#include <algorithm>

#include <SDL.h>

#include <string>

#include "platform/Diagnostics.h"
#include "platform/SdlScanCodeTable.h"

namespace quarn::platform {

namespace {
struct ControllerCloser {
  void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};
struct JoystickCloser {
  void operator()(SDL_Joystick* joystick) const { SDL_JoystickClose(joystick); }
};

// Gamepads with a known layout land where the key tables expect them: the four face buttons
// on 1 to 4 (west, east, south, north: confirm is 3 and cancel 2), the shoulders on 5 and 6.
constexpr SDL_GameControllerButton kControllerButtons[] = {
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_MISC1,
    SDL_CONTROLLER_BUTTON_PADDLE1,
    SDL_CONTROLLER_BUTTON_PADDLE2,
    SDL_CONTROLLER_BUTTON_PADDLE3,
    SDL_CONTROLLER_BUTTON_PADDLE4,
    SDL_CONTROLLER_BUTTON_TOUCHPAD,
};

uint8_t Held(bool down) {
  return down ? kKeyDown : 0;
}
}  // namespace

struct SdlInputBackend::Slot {
  std::unique_ptr<SDL_GameController, ControllerCloser> controller;
  std::unique_ptr<SDL_Joystick, JoystickCloser> ownJoystick;  // only when not a controller
  SDL_Joystick* joystick = nullptr;
  SDL_JoystickID id = -1;

  bool Attached() const { return joystick != nullptr; }
  void Close() {
    controller.reset();
    ownJoystick.reset();
    joystick = nullptr;
    id = -1;
  }
  JoystickState Read() const;
  JoystickState ReadController() const;
  JoystickState ReadJoystick() const;
};

bool SdlInputBackend::Rumble(size_t slot, float strength, float seconds) {
  if (slot >= slots_.size() || !slots_[slot]->Attached())
    return false;
  if (!(strength > 0.0f) || !(seconds > 0.0f))
    return false;
  const auto level = static_cast<Uint16>(std::min(strength, 1.0f) * 65535.0f);
  const auto ms = static_cast<Uint32>(std::min(seconds, 10.0f) * 1000.0f);
  // Low and high frequency motors together; a pad without them reports -1 and stays still.
  return SDL_JoystickRumble(slots_[slot]->joystick, level, level, ms) == 0;
}

JoystickState SdlInputBackend::Slot::Read() const {
  if (!Attached())
    return JoystickState::AtRest(false);
  return controller != nullptr ? ReadController() : ReadJoystick();
}

JoystickState SdlInputBackend::Slot::ReadController() const {
  SDL_GameController* pad = controller.get();
  JoystickState state;
  auto axis = [pad](SDL_GameControllerAxis which) {
    return AxisFromSdl(SDL_GameControllerGetAxis(pad, which));
  };
  state.axes[0] = axis(SDL_CONTROLLER_AXIS_LEFTX);
  state.axes[1] = axis(SDL_CONTROLLER_AXIS_LEFTY);
  state.axes[2] = axis(SDL_CONTROLLER_AXIS_RIGHTX);
  state.axes[3] = TriggerFromSdl(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  state.axes[4] = TriggerFromSdl(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  state.axes[5] = axis(SDL_CONTROLLER_AXIS_RIGHTY);
  int index = 0;
  for (SDL_GameControllerButton button : kControllerButtons) {
    state.buttons[index++] = Held(SDL_GameControllerGetButton(pad, button) != 0);
  }
  const bool up = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP) != 0;
  const bool down = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN) != 0;
  const bool left = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT) != 0;
  const bool right = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) != 0;
  state.hats[0] =
      HatFromSdl(static_cast<uint8_t>((up ? SDL_HAT_UP : 0) | (right ? SDL_HAT_RIGHT : 0) |
                                      (down ? SDL_HAT_DOWN : 0) | (left ? SDL_HAT_LEFT : 0)));
  // The pad's arrows also push the stick all the way, as digital pads report them, so that
  // menus and flight answer to them.
  if (left != right)
    state.axes[0] = left ? 0 : kAxisMax;
  if (up != down)
    state.axes[1] = up ? 0 : kAxisMax;
  return state;
}

JoystickState SdlInputBackend::Slot::ReadJoystick() const {
  JoystickState state;
  const int axes = SDL_JoystickNumAxes(joystick);
  for (int i = 0; i < axes && i < kJoystickAxes + kJoystickSliders; ++i) {
    const int32_t value = AxisFromSdl(SDL_JoystickGetAxis(joystick, i));
    if (i < kJoystickAxes) {
      state.axes[i] = value;
    } else {
      state.sliders[i - kJoystickAxes] = value;
    }
  }
  const int hats = SDL_JoystickNumHats(joystick);
  for (int i = 0; i < hats && i < kJoystickHats; ++i) {
    state.hats[i] = HatFromSdl(SDL_JoystickGetHat(joystick, i));
  }
  const int buttons = SDL_JoystickNumButtons(joystick);
  for (int i = 0; i < buttons && i < kJoystickButtons; ++i) {
    state.buttons[i] = Held(SDL_JoystickGetButton(joystick, i) != 0);
  }
  return state;
}

SdlInputBackend::SdlInputBackend(WindowHandle window) : window_(window) {}

SdlInputBackend::~SdlInputBackend() {
  if (listening_) {
    if (Window* window = FindWindow(window_))
      window->RemoveEventListener(this);
  }
  slots_.clear();  // closes every device before the subsystem goes
  if (joysticksStarted_)
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
}

bool SdlInputBackend::Start() {
  if (Window* window = FindWindow(window_)) {
    window->AddEventListener(this);
    listening_ = true;
    focused_ = window->HasFocus();
  }
  // Our own focus rule decides when devices are read; SDL must keep their state current.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
    ReportProblem("joysticks",
                  std::string("not available (") + SDL_GetError() + "); playing with the keyboard");
    return true;
  }
  joysticksStarted_ = true;
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i)
    OpenJoystick(i);
  return true;
}

void SdlInputBackend::OpenJoystick(int deviceIndex) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (id < 0)
    return;
  for (const auto& slot : slots_) {
    if (slot->id == id)
      return;  // already open (the start-up enumeration also sends events)
  }
  auto slot = std::make_unique<Slot>();
  if (SDL_IsGameController(deviceIndex)) {
    slot->controller.reset(SDL_GameControllerOpen(deviceIndex));
    if (slot->controller != nullptr) {
      slot->joystick = SDL_GameControllerGetJoystick(slot->controller.get());
    }
  }
  if (slot->joystick == nullptr) {
    slot->controller.reset();
    slot->ownJoystick.reset(SDL_JoystickOpen(deviceIndex));
    slot->joystick = slot->ownJoystick.get();
  }
  if (slot->joystick == nullptr) {
    const char* name = SDL_JoystickNameForIndex(deviceIndex);
    ReportProblem(std::string("joystick ") + (name != nullptr ? name : "?"),
                  std::string("cannot be opened: ") + SDL_GetError());
    return;
  }
  slot->id = id;
  // A device plugged in takes the first slot whose device was unplugged, so that swapping
  // pads keeps joystick 0 and its mappings.
  for (auto& existing : slots_) {
    if (!existing->Attached()) {
      existing = std::move(slot);
      return;
    }
  }
  slots_.push_back(std::move(slot));
}

void SdlInputBackend::CloseJoystick(int instanceId) {
  for (auto& slot : slots_) {
    if (slot->Attached() && slot->id == instanceId)
      slot->Close();
  }
}

void SdlInputBackend::OnKey(int sdlScancode, bool down) {
  const uint8_t code = ScanCodeFromSdl(sdlScancode);
  if (code != 0)
    keyboard_.keys[code] = Held(down);
}

void SdlInputBackend::OnMouseButton(int sdlButton, bool down) {
  // SDL counts left, middle, right; the mouse state lists left, right, middle.
  int index = sdlButton - 1;
  if (sdlButton == SDL_BUTTON_MIDDLE)
    index = 2;
  if (sdlButton == SDL_BUTTON_RIGHT)
    index = 1;
  if (index >= 0 && index < kMouseButtons)
    mouse_.buttons[index] = Held(down);
}

void SdlInputBackend::OnEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      OnKey(event.key.keysym.scancode, event.type == SDL_KEYDOWN);
      break;
    case SDL_MOUSEMOTION:
      mouse_.x += event.motion.xrel;
      mouse_.y += event.motion.yrel;
      break;
    case SDL_MOUSEWHEEL: {
      const int notches =
          event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      mouse_.wheel += notches * 120;
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      OnMouseButton(event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
        focused_ = true;
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
        focused_ = false;
      break;
    case SDL_JOYDEVICEADDED:
      if (joysticksStarted_)
        OpenJoystick(event.jdevice.which);
      break;
    case SDL_JOYDEVICEREMOVED:
      if (joysticksStarted_)
        CloseJoystick(event.jdevice.which);
      break;
    default:
      break;
  }
}

bool SdlInputBackend::Poll(InputSnapshot* snapshot) {
  snapshot->acquirable = focused_;
  snapshot->keyboard = keyboard_;
  snapshot->mouse = mouse_;
  mouse_.x = mouse_.y = mouse_.wheel = 0;
  snapshot->joysticks.resize(slots_.size());
  for (size_t i = 0; i < slots_.size(); ++i)
    snapshot->joysticks[i] = slots_[i]->Read();
  return true;
}

int32_t SdlInputBackend::AxisFromSdl(int value) {
  if (value >= 0)
    return kAxisCentre + (value >= 32767 ? 32768 : value * 32768 / 32767);
  if (value <= -32768)
    return 0;
  return kAxisCentre + value * 32767 / 32768;
}

int32_t SdlInputBackend::TriggerFromSdl(int value) {
  return AxisFromSdl(value < 0 ? 0 : value);
}

uint32_t SdlInputBackend::HatFromSdl(uint8_t hat) {
  switch (hat) {
    case SDL_HAT_UP:
      return 0;
    case SDL_HAT_RIGHTUP:
      return 4500;
    case SDL_HAT_RIGHT:
      return 9000;
    case SDL_HAT_RIGHTDOWN:
      return 13500;
    case SDL_HAT_DOWN:
      return 18000;
    case SDL_HAT_LEFTDOWN:
      return 22500;
    case SDL_HAT_LEFT:
      return 27000;
    case SDL_HAT_LEFTUP:
      return 31500;
    default:
      return kHatCentred;  // at rest, or opposite directions at once
  }
}

}  // namespace quarn::platform
