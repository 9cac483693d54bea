#pragma once
// The three standard control tables (stage play, menus, movies) as data, and what a scene
// does with them: install its table on the keyboard and on joystick 0 when it starts (each
// only if present), register the ids with its ButtonMap, and clear both devices when it ends.
#include <cstdint>
#include <span>

#include "engine/ButtonMap.h"
#include "engine/InputSystem.h"

namespace quarn {

// A logical axis driven by two keys and by one stick axis.
struct AxisBinding {
  int id;
  uint8_t positiveKey;
  uint8_t negativeKey;
  int keyStep;
  unsigned keyDeadZone;
  int stickAxis;  // 0: the joystick does not drive it
  int stickStep;
  unsigned stickDeadZone;
};

// A logical button driven by one key and by a joystick button or a stick direction.
struct ButtonBinding {
  int id;
  uint8_t key;
  int stickButton;     // 0: none
  int stickAxis;       // 0: none
  int stickThreshold;  // with stickAxis: held past this offset from the centre
};

struct InputTable {
  std::span<const AxisBinding> axes;
  std::span<const ButtonBinding> buttons;
  // Axis ids registered with the ButtonMap that no device drives (they read 0).
  std::span<const int> unboundAxes;
};

enum class SceneInput { StagePlay, Menu, Movie };

const InputTable& StandardInputTable(SceneInput scene);

// Installs table on the keyboard and joystick 0 of input (each only if present; input may be
// null) and registers every id of the table with map for each of them.
void InstallInputTable(const InputTable& table, InputSystem* input, ButtonMap* map);
void InstallSceneInput(SceneInput scene, InputSystem* input, ButtonMap* map);
// What a scene does when it finishes: no mappings left on the keyboard and joystick 0.
void ClearSceneInput(InputSystem* input);

}  // namespace quarn
