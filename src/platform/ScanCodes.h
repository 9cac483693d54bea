#pragma once
// Keyboard scan codes as the game's key tables name them (the PC set-1 codes, extended keys
// with the high bit set), their names for people, and the window key messages they make.
#include <cstdint>
#include <string_view>

namespace quarn::platform {

namespace scan {
inline constexpr uint8_t kEscape = 1;
inline constexpr uint8_t kA = 30;
inline constexpr uint8_t kS = 31;
inline constexpr uint8_t kD = 32;
inline constexpr uint8_t kZ = 44;
inline constexpr uint8_t kX = 45;
inline constexpr uint8_t kC = 46;
inline constexpr uint8_t kB = 48;
inline constexpr uint8_t kSpace = 57;
inline constexpr uint8_t kF1 = 59;
inline constexpr uint8_t kF12 = 88;
inline constexpr uint8_t kPause = 197;
inline constexpr uint8_t kUp = 200;
inline constexpr uint8_t kLeft = 203;
inline constexpr uint8_t kRight = 205;
inline constexpr uint8_t kDown = 208;
}  // namespace scan

// A short name ("Escape", "Up", "Numpad7"); empty for a code no key produces.
std::string_view ScanCodeName(uint8_t code);
// The virtual-key code of the window's key messages for the keys the window reports (letters,
// digits, F1 to F12, Escape, Pause, Return, Space, Tab, Backspace, arrows); 0 for the others.
uintptr_t VirtualKeyFromScanCode(uint8_t code);

}  // namespace quarn::platform
