#include "platform/ScanCodes.h"

#include <array>

#include "platform/Message.h"

namespace quarn::platform {

namespace {
struct NamedCode {
  uint8_t code;
  std::string_view name;
};

constexpr NamedCode kNames[] = {
    {0x01, "Escape"},
    {0x02, "1"},
    {0x03, "2"},
    {0x04, "3"},
    {0x05, "4"},
    {0x06, "5"},
    {0x07, "6"},
    {0x08, "7"},
    {0x09, "8"},
    {0x0A, "9"},
    {0x0B, "0"},
    {0x0C, "Minus"},
    {0x0D, "Equals"},
    {0x0E, "Backspace"},
    {0x0F, "Tab"},
    {0x10, "Q"},
    {0x11, "W"},
    {0x12, "E"},
    {0x13, "R"},
    {0x14, "T"},
    {0x15, "Y"},
    {0x16, "U"},
    {0x17, "I"},
    {0x18, "O"},
    {0x19, "P"},
    {0x1A, "LeftBracket"},
    {0x1B, "RightBracket"},
    {0x1C, "Return"},
    {0x1D, "LeftCtrl"},
    {0x1E, "A"},
    {0x1F, "S"},
    {0x20, "D"},
    {0x21, "F"},
    {0x22, "G"},
    {0x23, "H"},
    {0x24, "J"},
    {0x25, "K"},
    {0x26, "L"},
    {0x27, "Semicolon"},
    {0x28, "Apostrophe"},
    {0x29, "Grave"},
    {0x2A, "LeftShift"},
    {0x2B, "Backslash"},
    {0x2C, "Z"},
    {0x2D, "X"},
    {0x2E, "C"},
    {0x2F, "V"},
    {0x30, "B"},
    {0x31, "N"},
    {0x32, "M"},
    {0x33, "Comma"},
    {0x34, "Period"},
    {0x35, "Slash"},
    {0x36, "RightShift"},
    {0x37, "NumpadMultiply"},
    {0x38, "LeftAlt"},
    {0x39, "Space"},
    {0x3A, "CapsLock"},
    {0x3B, "F1"},
    {0x3C, "F2"},
    {0x3D, "F3"},
    {0x3E, "F4"},
    {0x3F, "F5"},
    {0x40, "F6"},
    {0x41, "F7"},
    {0x42, "F8"},
    {0x43, "F9"},
    {0x44, "F10"},
    {0x45, "NumLock"},
    {0x46, "ScrollLock"},
    {0x47, "Numpad7"},
    {0x48, "Numpad8"},
    {0x49, "Numpad9"},
    {0x4A, "NumpadMinus"},
    {0x4B, "Numpad4"},
    {0x4C, "Numpad5"},
    {0x4D, "Numpad6"},
    {0x4E, "NumpadPlus"},
    {0x4F, "Numpad1"},
    {0x50, "Numpad2"},
    {0x51, "Numpad3"},
    {0x52, "Numpad0"},
    {0x53, "NumpadPeriod"},
    {0x56, "Oem102"},
    {0x57, "F11"},
    {0x58, "F12"},
    {0x64, "F13"},
    {0x65, "F14"},
    {0x66, "F15"},
    {0x70, "Kana"},
    {0x73, "Ro"},
    {0x79, "Convert"},
    {0x7B, "NoConvert"},
    {0x7D, "Yen"},
    {0x7E, "AbntC2"},
    {0x8D, "NumpadEquals"},
    {0x90, "PrevTrack"},
    {0x94, "Kanji"},
    {0x95, "Stop"},
    {0x99, "NextTrack"},
    {0x9C, "NumpadEnter"},
    {0x9D, "RightCtrl"},
    {0xA0, "Mute"},
    {0xA1, "Calculator"},
    {0xA2, "PlayPause"},
    {0xA4, "MediaStop"},
    {0xAE, "VolumeDown"},
    {0xB0, "VolumeUp"},
    {0xB2, "WebHome"},
    {0xB3, "NumpadComma"},
    {0xB5, "NumpadDivide"},
    {0xB7, "PrintScreen"},
    {0xB8, "RightAlt"},
    {0xC5, "Pause"},
    {0xC7, "Home"},
    {0xC8, "Up"},
    {0xC9, "PageUp"},
    {0xCB, "Left"},
    {0xCD, "Right"},
    {0xCF, "End"},
    {0xD0, "Down"},
    {0xD1, "PageDown"},
    {0xD2, "Insert"},
    {0xD3, "Delete"},
    {0xDB, "LeftSuper"},
    {0xDC, "RightSuper"},
    {0xDD, "Menu"},
    {0xDE, "Power"},
    {0xDF, "Sleep"},
    {0xE3, "Wake"},
    {0xE5, "WebSearch"},
    {0xE6, "WebFavorites"},
    {0xE7, "WebRefresh"},
    {0xE8, "WebStop"},
    {0xE9, "WebForward"},
    {0xEA, "WebBack"},
    {0xEB, "MyComputer"},
    {0xEC, "Mail"},
    {0xED, "MediaSelect"},
};

constexpr std::array<std::string_view, 256> MakeNameTable() {
  std::array<std::string_view, 256> table{};
  for (const NamedCode& named : kNames)
    table[named.code] = named.name;
  return table;
}

constexpr std::array<std::string_view, 256> kNameTable = MakeNameTable();

// Rows of the keyboard whose letters run in code order.
constexpr std::string_view kLetterRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr uint8_t kLetterRowStarts[] = {0x10, 0x1E, 0x2C};
}  // namespace

std::string_view ScanCodeName(uint8_t code) {
  return kNameTable[code];
}

uintptr_t VirtualKeyFromScanCode(uint8_t code) {
  for (int row = 0; row < 3; ++row) {
    const std::string_view letters = kLetterRows[row];
    if (code >= kLetterRowStarts[row] && code < kLetterRowStarts[row] + letters.size()) {
      return static_cast<uintptr_t>(letters[code - kLetterRowStarts[row]]);
    }
  }
  if (code >= 0x02 && code <= 0x0A)
    return '1' + (code - 0x02);
  if (code == 0x0B)
    return '0';
  if (code >= scan::kF1 && code <= 0x44)
    return 0x70 + (code - scan::kF1);  // F1 to F10
  switch (code) {
    case 0x57:
      return 0x7A;  // F11
    case scan::kF12:
      return kVkF12;
    case scan::kEscape:
      return kVkEscape;
    case scan::kPause:
      return kVkPause;
    case 0x1C:
      return kVkReturn;
    case scan::kSpace:
      return 0x20;
    case 0x0F:
      return 0x09;
    case 0x0E:
      return 0x08;
    case scan::kLeft:
      return 0x25;
    case scan::kUp:
      return 0x26;
    case scan::kRight:
      return 0x27;
    case scan::kDown:
      return 0x28;
    default:
      return 0;
  }
}

}  // namespace quarn::platform
