#pragma once
// What a scene knows of the game that owns it: the game's operations, the music, and the
// values through which scenes pass choices to one another. The game object (src/game) is
// above the stage, so scenes reach it through this interface.
#include <string>

#include "engine/GameBase.h"
#include "stage/ValueStore.h"

namespace quarn {

class SceneOwner : public GameBase {
 public:
  virtual ValueStore& Values() = 0;

  void SetValue(ValueId id, const std::string& text) { Values().Set(id, text); }
  std::string GetValue(ValueId id) { return Values().Get(id); }
  void SetStorage(int slot, const std::string& text) { Values().SetStorage(slot, text); }
  std::string GetStorage(int slot) { return Values().GetStorage(slot); }
};

}  // namespace quarn
