#include "engine/InputMappings.h"

#include "platform/ScanCodes.h"

namespace quarn {

namespace {
namespace scan = platform::scan;

constexpr int kStep = 3200;
constexpr unsigned kKeyDeadZone = 5000;
constexpr unsigned kStickDeadZone = 320;
constexpr int kThreshold = 3200;
constexpr int kStickX = 1;
constexpr int kStickY = 2;

constexpr AxisBinding kStageAxes[] = {
    {1, scan::kDown, scan::kUp, kStep, kKeyDeadZone, kStickY, kStep, kStickDeadZone},
    {2, scan::kRight, scan::kLeft, kStep, kKeyDeadZone, kStickX, kStep, kStickDeadZone},
};
constexpr int kStageUnboundAxes[] = {3};
constexpr ButtonBinding kStageButtons[] = {
    {1, scan::kLeft, 0, kStickX, -kThreshold},
    {2, scan::kRight, 0, kStickX, kThreshold},
    {3, scan::kC, 1, 0, 0},
    {4, scan::kX, 3, 0, 0},
    {5, scan::kZ, 2, 0, 0},
    {6, scan::kD, 4, 0, 0},
    {7, scan::kS, 5, 0, 0},
    {8, scan::kA, 6, 0, 0},
    {9, scan::kLeft, 0, kStickX, -kThreshold},
    {10, scan::kRight, 0, kStickX, kThreshold},
};

constexpr ButtonBinding kMenuButtons[] = {
    {1, scan::kUp, 0, kStickY, -kThreshold},
    {2, scan::kDown, 0, kStickY, kThreshold},
    {3, scan::kLeft, 0, kStickX, -kThreshold},
    {4, scan::kRight, 0, kStickX, kThreshold},
    {5, scan::kX, 3, 0, 0},
    {6, scan::kZ, 2, 0, 0},
};

constexpr ButtonBinding kMovieButtons[] = {
    {1, scan::kX, 3, 0, 0},
    {2, scan::kZ, 2, 0, 0},
};

const InputTable kStagePlay{kStageAxes, kStageButtons, kStageUnboundAxes};
const InputTable kMenu{{}, kMenuButtons, {}};
const InputTable kMovie{{}, kMovieButtons, {}};

void InstallOnKeyboard(const InputTable& table, Keyboard* keyboard) {
  for (const AxisBinding& axis : table.axes) {
    keyboard->AddKeyAxis(axis.id, axis.positiveKey, axis.negativeKey, axis.keyStep,
                         axis.keyDeadZone);
  }
  for (const ButtonBinding& button : table.buttons)
    keyboard->AddKeyButton(button.id, button.key);
}

void InstallOnJoystick(const InputTable& table, Joystick* joystick) {
  for (const AxisBinding& axis : table.axes) {
    if (axis.stickAxis != 0) {
      joystick->AddStickAxis(axis.id, axis.stickAxis, axis.stickStep, axis.stickDeadZone);
    }
  }
  for (const ButtonBinding& button : table.buttons) {
    if (button.stickButton != 0) {
      joystick->AddStickButton(button.id, button.stickButton);
    } else if (button.stickAxis != 0) {
      joystick->AddStickDirectionButton(button.id, button.stickAxis, button.stickThreshold);
    }
  }
}

void Register(const InputTable& table, InputDevice* device, ButtonMap* map) {
  for (const AxisBinding& axis : table.axes)
    map->AddAxis(axis.id, device);
  for (int id : table.unboundAxes)
    map->AddAxis(id, device);
  for (const ButtonBinding& button : table.buttons)
    map->AddButton(button.id, device);
}
}  // namespace

const InputTable& StandardInputTable(SceneInput scene) {
  switch (scene) {
    case SceneInput::StagePlay:
      return kStagePlay;
    case SceneInput::Menu:
      return kMenu;
    case SceneInput::Movie:
      return kMovie;
  }
  return kMovie;
}

void InstallInputTable(const InputTable& table, InputSystem* input, ButtonMap* map) {
  if (input == nullptr)
    return;
  if (Keyboard* keyboard = input->GetKeyboard()) {
    InstallOnKeyboard(table, keyboard);
    if (map != nullptr)
      Register(table, keyboard, map);
  }
  if (Joystick* joystick = input->GetJoystick(0)) {
    InstallOnJoystick(table, joystick);
    if (map != nullptr)
      Register(table, joystick, map);
  }
}

void InstallSceneInput(SceneInput scene, InputSystem* input, ButtonMap* map) {
  InstallInputTable(StandardInputTable(scene), input, map);
}

void ClearSceneInput(InputSystem* input) {
  if (input == nullptr)
    return;
  if (Keyboard* keyboard = input->GetKeyboard())
    keyboard->ClearMappings();
  if (Joystick* joystick = input->GetJoystick(0))
    joystick->ClearMappings();
}

}  // namespace quarn
