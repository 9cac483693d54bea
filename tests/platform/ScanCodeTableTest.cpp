#include "platform/SdlScanCodeTable.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/Message.h"
#include "platform/ScanCodes.h"

namespace quarn::platform {
namespace {

uint8_t Code(SDL_Scancode scancode) {
  return ScanCodeFromSdl(scancode);
}

TEST(ScanCodeTableTest, LettersLandOnTheKeysTheirMessagesName) {
  // Two tables made apart (scancode to code, code to message key) must agree on every letter.
  for (int i = 0; i < 26; ++i) {
    const uint8_t code = Code(static_cast<SDL_Scancode>(SDL_SCANCODE_A + i));
    ASSERT_NE(code, 0) << static_cast<char>('A' + i);
    EXPECT_EQ(VirtualKeyFromScanCode(code), static_cast<uintptr_t>('A' + i));
    EXPECT_EQ(ScanCodeName(code), std::string(1, static_cast<char>('A' + i)));
  }
  EXPECT_EQ(Code(SDL_SCANCODE_A), 30);
  EXPECT_EQ(Code(SDL_SCANCODE_S), 31);
  EXPECT_EQ(Code(SDL_SCANCODE_D), 32);
  EXPECT_EQ(Code(SDL_SCANCODE_Z), 44);
  EXPECT_EQ(Code(SDL_SCANCODE_X), 45);
  EXPECT_EQ(Code(SDL_SCANCODE_C), 46);
}

TEST(ScanCodeTableTest, DigitsAndFunctionKeys) {
  for (int i = 0; i < 9; ++i) {
    const uint8_t code = Code(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i));
    EXPECT_EQ(code, 2 + i);
    EXPECT_EQ(VirtualKeyFromScanCode(code), static_cast<uintptr_t>('1' + i));
  }
  EXPECT_EQ(Code(SDL_SCANCODE_0), 11);
  EXPECT_EQ(VirtualKeyFromScanCode(11), static_cast<uintptr_t>('0'));
  for (int i = 0; i < 10; ++i) {
    const uint8_t code = Code(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i));
    EXPECT_EQ(code, 59 + i);
    EXPECT_EQ(VirtualKeyFromScanCode(code), 0x70u + i);
  }
  EXPECT_EQ(Code(SDL_SCANCODE_F11), 87);
  EXPECT_EQ(Code(SDL_SCANCODE_F12), 88);
  EXPECT_EQ(VirtualKeyFromScanCode(88), kVkF12);
}

TEST(ScanCodeTableTest, ExtendedKeysCarryTheHighBit) {
  const std::map<SDL_Scancode, int> expected = {
      {SDL_SCANCODE_UP, 200},       {SDL_SCANCODE_LEFT, 203},
      {SDL_SCANCODE_RIGHT, 205},    {SDL_SCANCODE_DOWN, 208},
      {SDL_SCANCODE_HOME, 199},     {SDL_SCANCODE_END, 207},
      {SDL_SCANCODE_PAGEUP, 201},   {SDL_SCANCODE_PAGEDOWN, 209},
      {SDL_SCANCODE_INSERT, 210},   {SDL_SCANCODE_DELETE, 211},
      {SDL_SCANCODE_RCTRL, 157},    {SDL_SCANCODE_RALT, 184},
      {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_KP_DIVIDE, 181},
      {SDL_SCANCODE_PAUSE, 197},    {SDL_SCANCODE_PRINTSCREEN, 183},
      {SDL_SCANCODE_LGUI, 219},     {SDL_SCANCODE_APPLICATION, 221},
  };
  for (const auto& [scancode, code] : expected) {
    EXPECT_EQ(Code(scancode), code) << SDL_GetScancodeName(scancode);
  }
  EXPECT_EQ(VirtualKeyFromScanCode(200), 0x26u);
  EXPECT_EQ(VirtualKeyFromScanCode(203), 0x25u);
  EXPECT_EQ(VirtualKeyFromScanCode(205), 0x27u);
  EXPECT_EQ(VirtualKeyFromScanCode(208), 0x28u);
  EXPECT_EQ(VirtualKeyFromScanCode(197), kVkPause);
}

TEST(ScanCodeTableTest, KeypadModifiersAndTheRest) {
  const std::map<SDL_Scancode, int> expected = {
      {SDL_SCANCODE_KP_7, 71},      {SDL_SCANCODE_KP_8, 72},        {SDL_SCANCODE_KP_9, 73},
      {SDL_SCANCODE_KP_MINUS, 74},  {SDL_SCANCODE_KP_4, 75},        {SDL_SCANCODE_KP_5, 76},
      {SDL_SCANCODE_KP_6, 77},      {SDL_SCANCODE_KP_PLUS, 78},     {SDL_SCANCODE_KP_1, 79},
      {SDL_SCANCODE_KP_2, 80},      {SDL_SCANCODE_KP_3, 81},        {SDL_SCANCODE_KP_0, 82},
      {SDL_SCANCODE_KP_PERIOD, 83}, {SDL_SCANCODE_KP_MULTIPLY, 55}, {SDL_SCANCODE_NUMLOCKCLEAR, 69},
      {SDL_SCANCODE_LSHIFT, 42},    {SDL_SCANCODE_RSHIFT, 54},      {SDL_SCANCODE_LCTRL, 29},
      {SDL_SCANCODE_LALT, 56},      {SDL_SCANCODE_CAPSLOCK, 58},    {SDL_SCANCODE_ESCAPE, 1},
      {SDL_SCANCODE_RETURN, 28},    {SDL_SCANCODE_SPACE, 57},       {SDL_SCANCODE_TAB, 15},
      {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_GRAVE, 41},       {SDL_SCANCODE_SLASH, 53},
  };
  for (const auto& [scancode, code] : expected) {
    EXPECT_EQ(Code(scancode), code) << SDL_GetScancodeName(scancode);
  }
  EXPECT_EQ(VirtualKeyFromScanCode(1), kVkEscape);
  EXPECT_EQ(VirtualKeyFromScanCode(28), kVkReturn);
  EXPECT_EQ(VirtualKeyFromScanCode(156), 0u) << "the window reports no key for keypad Enter";
  EXPECT_EQ(VirtualKeyFromScanCode(42), 0u);
}

TEST(ScanCodeTableTest, EveryCodeIsNamedAndOnlyKnownAliasesShareOne) {
  std::map<uint8_t, std::vector<int>> sdlByCode;
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const uint8_t code = ScanCodeFromSdl(scancode);
    if (code == 0)
      continue;
    EXPECT_FALSE(ScanCodeName(code).empty()) << "code " << int{code};
    sdlByCode[code].push_back(scancode);
  }
  EXPECT_GE(sdlByCode.size(), 120u);
  for (const auto& [code, scancodes] : sdlByCode) {
    if (scancodes.size() == 1)
      continue;
    const bool alias =
        (code == 0x2B &&
         scancodes == std::vector<int>{SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_NONUSHASH}) ||
        (code == 0xA0 && scancodes == std::vector<int>{SDL_SCANCODE_MUTE, SDL_SCANCODE_AUDIOMUTE});
    EXPECT_TRUE(alias) << "code " << int{code} << " has " << scancodes.size() << " keys";
  }
  EXPECT_EQ(ScanCodeFromSdl(-1), 0);
  EXPECT_EQ(ScanCodeFromSdl(SDL_NUM_SCANCODES), 0);
  EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_F24), 0);
  EXPECT_TRUE(ScanCodeName(0).empty());
}

}  // namespace
}  // namespace quarn::platform
