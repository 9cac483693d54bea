#pragma once
// The play of one stage. For now an empty stage: it ends on its first update as a mission
// that was not completed, handing back to the menu.
#include <string>

#include "stage/GameScene.h"

namespace quarn {

class MainScene : public GameScene {
 public:
  explicit MainScene(SceneOwner* game);
  ~MainScene() override;

  void Update() override;
  // Clears the frame to black.
  void Render() override;
  int Load(const std::string& stageFile, const std::string& aircraftFile,
           const std::string& primaryWeaponFile, const std::string& secondaryWeaponFile);

  const std::string& StageFile() const { return stageFile_; }

 private:
  std::string stageFile_;
  std::string aircraftFile_;
  std::string primaryWeaponFile_;
  std::string secondaryWeaponFile_;
};

}  // namespace quarn
