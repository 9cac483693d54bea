#include "game/MovieScene.h"

#include "engine/InputMappings.h"
#include "render/DeviceOrCurrent.h"
#include "stage/SceneOwner.h"

namespace quarn {

namespace {
constexpr int kSkipButtons[] = {1, 2};
}

MovieScene::MovieScene(SceneOwner* game) : GameScene(game) {}

MovieScene::~MovieScene() {
  player_.Close();
}

int MovieScene::Load(const std::string& movieFile) {
  Reset();
  InstallSceneInput(SceneInput::Movie, InputSystem::Instance(), &Buttons());
  movieFile_ = std::make_unique<MediaFile>(movieFile);
  if (!movieFile_->Found() || !player_.Open(movieFile_->Path()))
    return 0;
  return player_.Play(false) ? 1 : 0;
}

void MovieScene::Update() {
  Buttons().Update();
  bool skipped = false;
  for (int button : kSkipButtons)
    skipped = skipped || Buttons().IsPressed(button);
  if (skipped || !player_.IsRunning()) {
    if (Game() != nullptr)
      Game()->SetValue(ValueId::Scene, "Menu");
    SetActive(false);
  }
}

void MovieScene::Render() {
  if (platform::RenderDevice* device = DeviceOrCurrent(nullptr)) {
    device->BeginScene();
    device->Clear(0, nullptr, platform::kClearTarget | platform::kClearZBuffer, 0xFF000000u, 1.0f,
                  0);
    device->EndScene();
  }
  player_.DrawFrame();
}

void MovieScene::Finish() {
  player_.Rewind();
  player_.Close();
  movieFile_.reset();
  ClearSceneInput(InputSystem::Instance());
  GameScene::Finish();
}

}  // namespace quarn
