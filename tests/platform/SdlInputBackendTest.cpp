#include "platform/SdlInputBackend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/ScanCodes.h"

namespace quarn::platform {
namespace {

SDL_Event KeyEvent(bool down, SDL_Scancode scancode, SDL_Keycode sym) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = sym;
  return event;
}

SDL_Event WindowEvent(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = id;
  return event;
}

bool Down(const InputSnapshot& snapshot, uint8_t code) {
  return (snapshot.keyboard.keys[code] & kKeyDown) != 0;
}

TEST(SdlInputBackendTest, KeysFollowTheirEventsByPhysicalPosition) {
  SdlInputBackend backend(nullptr);
  ASSERT_TRUE(backend.Start());
  backend.OnEvent(KeyEvent(true, SDL_SCANCODE_DOWN, SDLK_DOWN));
  backend.OnEvent(KeyEvent(true, SDL_SCANCODE_Z, SDLK_w));  // a French layout's W key
  backend.OnEvent(KeyEvent(true, SDL_SCANCODE_F24, SDLK_F24));
  InputSnapshot snapshot;
  ASSERT_TRUE(backend.Poll(&snapshot));
  EXPECT_TRUE(Down(snapshot, scan::kDown));
  EXPECT_TRUE(Down(snapshot, scan::kZ));
  int held = 0;
  for (uint8_t byte : snapshot.keyboard.keys)
    held += byte != 0;
  EXPECT_EQ(held, 2) << "a key without a scan code is ignored";
  backend.OnEvent(KeyEvent(false, SDL_SCANCODE_DOWN, SDLK_DOWN));
  backend.Poll(&snapshot);
  EXPECT_FALSE(Down(snapshot, scan::kDown));
  EXPECT_TRUE(Down(snapshot, scan::kZ)) << "held keys stay held from poll to poll";
}

TEST(SdlInputBackendTest, MouseMovementAddsUpUntilThePollAndButtonsComeLeftRightMiddle) {
  SdlInputBackend backend(nullptr);
  backend.Start();
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.xrel = 3;
  motion.motion.yrel = -2;
  backend.OnEvent(motion);
  backend.OnEvent(motion);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = 1;
  backend.OnEvent(wheel);
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  wheel.wheel.y = 3;
  backend.OnEvent(wheel);
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  backend.OnEvent(button);
  button.button.button = SDL_BUTTON_X2;
  backend.OnEvent(button);
  InputSnapshot snapshot;
  backend.Poll(&snapshot);
  EXPECT_EQ(snapshot.mouse.x, 6);
  EXPECT_EQ(snapshot.mouse.y, -4);
  EXPECT_EQ(snapshot.mouse.wheel, 120 - 360);
  EXPECT_EQ(snapshot.mouse.buttons[0], 0);
  EXPECT_EQ(snapshot.mouse.buttons[1], kKeyDown) << "right";
  EXPECT_EQ(snapshot.mouse.buttons[2], 0);
  EXPECT_EQ(snapshot.mouse.buttons[4], kKeyDown) << "the second side button";
  backend.Poll(&snapshot);
  EXPECT_EQ(snapshot.mouse.x, 0) << "movement is counted once";
  EXPECT_EQ(snapshot.mouse.wheel, 0);
  EXPECT_EQ(snapshot.mouse.buttons[1], kKeyDown);
}

TEST(SdlInputBackendTest, InjectedEventsReachTheKeysThroughTheWindowPumpAndItsFocus) {
  std::string error;
  WindowDesc desc;
  desc.videoDriver = "dummy";
  desc.openGl = false;
  auto window = Window::Create(desc, &error);
  ASSERT_NE(window, nullptr) << error;
  MessageQueue queue(Thread::CurrentId());
  SdlInputBackend backend(window->Handle());
  ASSERT_TRUE(backend.Start());
  SDL_Event focus = WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  focus.window.windowID = SDL_GetWindowID(window->Native());
  SDL_Event key = KeyEvent(true, SDL_SCANCODE_LEFT, SDLK_LEFT);
  key.key.windowID = focus.window.windowID;
  ASSERT_EQ(SDL_PushEvent(&focus), 1);
  ASSERT_EQ(SDL_PushEvent(&key), 1);
  window->PumpInto(queue);
  InputSnapshot snapshot;
  backend.Poll(&snapshot);
  EXPECT_TRUE(snapshot.acquirable);
  EXPECT_TRUE(Down(snapshot, scan::kLeft));
  // The window made its key message of the same event.
  bool keyMessage = false;
  Message message;
  while (queue.Peek(message))
    keyMessage |= message.message == kWmKeyDown && message.wParam == 0x25;
  EXPECT_TRUE(keyMessage);
  SDL_Event lost = WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  lost.window.windowID = focus.window.windowID;
  ASSERT_EQ(SDL_PushEvent(&lost), 1);
  window->PumpInto(queue);
  backend.Poll(&snapshot);
  EXPECT_FALSE(snapshot.acquirable) << "without focus the devices cannot be read";
}

TEST(SdlInputBackendTest, BackendGoneBeforeItsWindowLeavesTheWindowWorking) {
  std::string error;
  WindowDesc desc;
  desc.videoDriver = "dummy";
  desc.openGl = false;
  auto window = Window::Create(desc, &error);
  ASSERT_NE(window, nullptr) << error;
  {
    SdlInputBackend backend(window->Handle());
    backend.Start();
  }
  MessageQueue queue(Thread::CurrentId());
  SDL_Event key = KeyEvent(true, SDL_SCANCODE_A, SDLK_a);
  SDL_PushEvent(&key);
  window->PumpInto(queue);  // must not reach the destroyed listener
  Message message;
  EXPECT_TRUE(queue.Peek(message));
}

TEST(SdlJoystickRangeTest, SticksTriggersAndHatsLandOnTheDeviceRanges) {
  EXPECT_EQ(SdlInputBackend::AxisFromSdl(-32768), 0);
  EXPECT_EQ(SdlInputBackend::AxisFromSdl(0), kAxisCentre);
  EXPECT_EQ(SdlInputBackend::AxisFromSdl(32767), kAxisMax);
  int previous = -1;
  for (int value = -32768; value <= 32767; ++value) {
    const int mapped = SdlInputBackend::AxisFromSdl(value);
    ASSERT_GE(mapped, previous) << value;
    ASSERT_LE(mapped - previous, 2) << value;
    previous = mapped;
  }
  EXPECT_EQ(SdlInputBackend::TriggerFromSdl(0), kAxisCentre);
  EXPECT_EQ(SdlInputBackend::TriggerFromSdl(32767), kAxisMax);
  EXPECT_EQ(SdlInputBackend::HatFromSdl(SDL_HAT_CENTERED), kHatCentred);
  EXPECT_EQ(SdlInputBackend::HatFromSdl(SDL_HAT_UP), 0u);
  EXPECT_EQ(SdlInputBackend::HatFromSdl(SDL_HAT_RIGHT), 9000u);
  EXPECT_EQ(SdlInputBackend::HatFromSdl(SDL_HAT_LEFTDOWN), 22500u);
  EXPECT_EQ(SdlInputBackend::HatFromSdl(SDL_HAT_LEFTUP), 31500u);
  EXPECT_EQ(SdlInputBackend::HatFromSdl(SDL_HAT_UP | SDL_HAT_DOWN), kHatCentred);
}

// Virtual devices stand in for joysticks and pads being plugged in and pulled out.
class SdlJoystickTest : public ::testing::Test {
 protected:
  SdlJoystickTest() { SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER); }
  ~SdlJoystickTest() override {
    for (int index = SDL_NumJoysticks() - 1; index >= 0; --index) {
      if (SDL_JoystickIsVirtual(index))
        SDL_JoystickDetachVirtual(index);
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
  }

  // A plain joystick: 8 axes (the last two are sliders), 32 buttons, 4 hats.
  static int AttachStick() {
    return SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 8, 32, 4);
  }
  static int AttachPad() {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "test pad";
    return SDL_JoystickAttachVirtualEx(&desc);
  }
  static SDL_Joystick* Handle(int index) {
    return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
  }
  // What the window's pump does every pass: SDL updates the devices, the events reach us.
  void Pump() {
    SDL_JoystickUpdate();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
      backend_.OnEvent(event);
  }
  InputSnapshot Poll() {
    Pump();
    InputSnapshot snapshot;
    backend_.Poll(&snapshot);
    return snapshot;
  }

  SdlInputBackend backend_{nullptr};
};

TEST_F(SdlJoystickTest, APlainJoystickReportsItsAxesSlidersHatsAndButtons) {
  const int index = AttachStick();
  ASSERT_GE(index, 0) << SDL_GetError();
  ASSERT_TRUE(backend_.Start());
  ASSERT_EQ(backend_.JoystickCount(), 1u) << "attached at the start";
  SDL_Joystick* stick = Handle(index);
  ASSERT_NE(stick, nullptr);
  SDL_JoystickSetVirtualAxis(stick, 0, -32768);
  SDL_JoystickSetVirtualAxis(stick, 1, 32767);
  SDL_JoystickSetVirtualAxis(stick, 7, 32767);
  SDL_JoystickSetVirtualButton(stick, 0, 1);
  SDL_JoystickSetVirtualButton(stick, 31, 1);
  SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTDOWN);
  const InputSnapshot snapshot = Poll();
  ASSERT_EQ(snapshot.joysticks.size(), 1u);
  const JoystickState& state = snapshot.joysticks[0];
  EXPECT_TRUE(state.attached);
  EXPECT_EQ(state.axes[0], 0);
  EXPECT_EQ(state.axes[1], kAxisMax);
  EXPECT_EQ(state.axes[2], kAxisCentre);
  EXPECT_EQ(state.sliders[0], kAxisCentre);
  EXPECT_EQ(state.sliders[1], kAxisMax);
  EXPECT_EQ(state.buttons[0], kKeyDown);
  EXPECT_EQ(state.buttons[1], 0);
  EXPECT_EQ(state.buttons[31], kKeyDown);
  EXPECT_EQ(state.hats[0], 13500u);
  EXPECT_EQ(state.hats[1], kHatCentred);
}

TEST_F(SdlJoystickTest, PluggedInLaterItIsAddedAndUnpluggedItReadsAtRestInItsSlot) {
  ASSERT_TRUE(backend_.Start());
  EXPECT_EQ(backend_.JoystickCount(), 0u);
  EXPECT_TRUE(Poll().joysticks.empty());
  const int first = AttachStick();
  ASSERT_GE(first, 0);
  Pump();  // the backend opens it; only an open device can be moved
  SDL_JoystickSetVirtualButton(Handle(first), 2, 1);
  SDL_JoystickSetVirtualAxis(Handle(first), 0, 32767);
  InputSnapshot snapshot = Poll();
  ASSERT_EQ(snapshot.joysticks.size(), 1u);
  EXPECT_EQ(snapshot.joysticks[0].buttons[2], kKeyDown);
  ASSERT_EQ(SDL_JoystickDetachVirtual(first), 0);
  snapshot = Poll();
  ASSERT_EQ(snapshot.joysticks.size(), 1u) << "the slot stays";
  EXPECT_EQ(snapshot.joysticks[0], JoystickState::AtRest(false));
  // The next device takes the free slot; another one a new slot.
  const int second = AttachStick();
  ASSERT_GE(second, 0);
  Pump();
  SDL_JoystickSetVirtualButton(Handle(second), 4, 1);
  snapshot = Poll();
  ASSERT_EQ(snapshot.joysticks.size(), 1u);
  EXPECT_TRUE(snapshot.joysticks[0].attached);
  EXPECT_EQ(snapshot.joysticks[0].buttons[4], kKeyDown);
  ASSERT_GE(AttachStick(), 0);
  EXPECT_EQ(Poll().joysticks.size(), 2u);
}

TEST_F(SdlJoystickTest, AKnownGamepadLandsWhereTheControlTablesExpect) {
  const int index = AttachPad();
  ASSERT_GE(index, 0) << SDL_GetError();
  ASSERT_TRUE(SDL_IsGameController(index));
  ASSERT_TRUE(backend_.Start());
  SDL_Joystick* pad = Handle(index);
  ASSERT_NE(pad, nullptr);
  const std::pair<SDL_GameControllerButton, int> faces[] = {
      {SDL_CONTROLLER_BUTTON_X, 1},
      {SDL_CONTROLLER_BUTTON_B, 2},
      {SDL_CONTROLLER_BUTTON_A, 3},
      {SDL_CONTROLLER_BUTTON_Y, 4},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 5},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 6},
  };
  for (const auto& [button, number] : faces) {
    SDL_JoystickSetVirtualButton(pad, button, 1);
    const InputSnapshot snapshot = Poll();
    SDL_JoystickSetVirtualButton(pad, button, 0);
    for (int i = 0; i < kJoystickButtons; ++i) {
      EXPECT_EQ(snapshot.joysticks[0].buttons[i], i == number - 1 ? kKeyDown : 0)
          << SDL_GameControllerGetStringForButton(button) << " on button " << i + 1;
    }
  }
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);
  InputSnapshot snapshot = Poll();
  EXPECT_EQ(snapshot.joysticks[0].axes[0], 0) << "stick x on axis 1";
  EXPECT_EQ(snapshot.joysticks[0].axes[1], kAxisMax) << "stick y on axis 2";
  EXPECT_EQ(snapshot.joysticks[0].axes[3], kAxisCentre) << "a trigger at rest is centred";
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
  snapshot = Poll();
  EXPECT_EQ(snapshot.joysticks[0].axes[0], kAxisMax) << "the pad's arrows push the stick";
  EXPECT_EQ(snapshot.joysticks[0].axes[1], 0);
  EXPECT_EQ(snapshot.joysticks[0].hats[0], 4500u);
}

}  // namespace
}  // namespace quarn::platform
