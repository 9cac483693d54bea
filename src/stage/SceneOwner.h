#pragma once
// What a scene knows of the game that owns it: the game's operations, the music, and the
// values through which scenes pass choices to one another. The game object (src/game) is
// above the stage, so scenes reach it through this interface.
#include <memory>
#include <string>

#include "engine/GameBase.h"
#include "stage/StageHud.h"
#include "stage/ValueStore.h"

namespace quarn {

class MainScene;
class StageLog;

class SceneOwner : public GameBase {
 public:
  virtual ValueStore& Values() = 0;
  // The HUD of a stage (null: the stage plays without one).
  virtual std::unique_ptr<StageHud> MakeHud(MainScene&) { return nullptr; }
  // Where stages write what happens in them (null: nowhere).
  virtual StageLog* GetStageLog() { return nullptr; }

  void SetValue(ValueId id, const std::string& text) { Values().Set(id, text); }
  std::string GetValue(ValueId id) { return Values().Get(id); }
  void SetStorage(int slot, const std::string& text) { Values().SetStorage(slot, text); }
  std::string GetStorage(int slot) { return Values().GetStorage(slot); }
};

}  // namespace quarn
