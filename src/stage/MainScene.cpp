#include "stage/MainScene.h"

#include "render/DeviceOrCurrent.h"
#include "stage/SceneOwner.h"

namespace quarn {

MainScene::MainScene(SceneOwner* game) : GameScene(game) {}

MainScene::~MainScene() = default;

int MainScene::Load(const std::string& stageFile, const std::string& aircraftFile,
                    const std::string& primaryWeaponFile, const std::string& secondaryWeaponFile) {
  Reset();
  stageFile_ = stageFile;
  aircraftFile_ = aircraftFile;
  primaryWeaponFile_ = primaryWeaponFile;
  secondaryWeaponFile_ = secondaryWeaponFile;
  return 1;
}

void MainScene::Update() {
  if (SceneOwner* game = Game()) {
    game->SetValue(ValueId::MissionCompleted, "false");
    game->SetValue(ValueId::Scene, "Menu");
  }
  SetActive(false);
}

void MainScene::Render() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return;
  device->BeginScene();
  device->Clear(0, nullptr, platform::kClearTarget | platform::kClearZBuffer, 0xFF000000u, 1.0f, 0);
  device->EndScene();
}

}  // namespace quarn
