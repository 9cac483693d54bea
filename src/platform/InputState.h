#pragma once
// Plain records of what the input devices report in one main-loop pass: the keyboard as 256
// scan-code bytes, the mouse, every joystick slot, and whether the window can read them at all.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarn::platform {

// A key is down when the high bit of its byte is set.
inline constexpr uint8_t kKeyDown = 0x80;
// Joystick axes and sliders read 0..65535; a stick at rest reads this.
inline constexpr int32_t kAxisCentre = 32767;
inline constexpr int32_t kAxisMax = 65535;
// A hat at rest; otherwise hundredths of a degree clockwise from straight up.
inline constexpr uint32_t kHatCentred = 0xFFFFFFFFu;

inline constexpr int kJoystickAxes = 6;  // x, y, z, x rotation, y rotation, z rotation
inline constexpr int kJoystickSliders = 2;
inline constexpr int kJoystickHats = 4;
inline constexpr int kJoystickButtons = 32;
inline constexpr int kMouseButtons = 8;

struct KeyboardState {
  std::array<uint8_t, 256> keys{};

  bool operator==(const KeyboardState&) const = default;
};

struct MouseState {
  int32_t x = 0, y = 0;                          // movement since the previous pass
  int32_t wheel = 0;                             // 120 per notch, positive away from the player
  std::array<uint8_t, kMouseButtons> buttons{};  // high bit: held

  bool operator==(const MouseState&) const = default;
};

struct JoystickState {
  bool attached = true;  // false: unplugged, and everything reads at rest
  std::array<int32_t, kJoystickAxes> axes{kAxisCentre, kAxisCentre, kAxisCentre,
                                          kAxisCentre, kAxisCentre, kAxisCentre};
  std::array<int32_t, kJoystickSliders> sliders{kAxisCentre, kAxisCentre};
  std::array<uint32_t, kJoystickHats> hats{kHatCentred, kHatCentred, kHatCentred, kHatCentred};
  std::array<uint8_t, kJoystickButtons> buttons{};  // high bit: held

  bool operator==(const JoystickState&) const = default;
  // Centred and released, keeping whether it is attached.
  static JoystickState AtRest(bool attached) {
    JoystickState state;
    state.attached = attached;
    return state;
  }
};

// Everything read in one pass. Joystick slots never shrink: an unplugged joystick keeps its
// slot (reading at rest) and a joystick plugged in later takes a free slot or a new one.
struct InputSnapshot {
  bool acquirable = true;  // false: the window has no focus and devices keep their last state
  KeyboardState keyboard;
  MouseState mouse;
  std::vector<JoystickState> joysticks;

  bool operator==(const InputSnapshot&) const = default;
};

// A recording: the snapshot of every pass, stored as the passes where something changed.
struct RecordedChange {
  long update = 0;  // this snapshot holds from this update until the next change
  InputSnapshot snapshot;
};

struct InputRecording {
  size_t joysticksAtStart = 0;          // joystick slots present when the devices were made
  long updateCount = 0;                 // passes recorded
  std::vector<RecordedChange> changes;  // ascending updates, the first at update 0
};

}  // namespace quarn::platform
