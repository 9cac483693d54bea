#include "stage/GameScene.h"

#include "render/DeviceOrCurrent.h"

namespace quarn {

GameScene::GameScene(SceneOwner* game) : game_(game) {}

GameScene::~GameScene() = default;

int GameScene::OnDeviceLost() {
  return 1;
}

int GameScene::OnDeviceReset() {
  return Start();
}

int GameScene::Reset() {
  cache_.Prepare();
  sprites_.CreateSprite();
  active_ = 0;
  return 1;
}

int GameScene::Start() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return 1;
  using platform::SamplerState;
  device->SetSamplerState(0, SamplerState::AddressU, platform::TextureAddress::Mirror);
  device->SetSamplerState(0, SamplerState::AddressV, platform::TextureAddress::Mirror);
  device->SetSamplerState(0, SamplerState::MagFilter, platform::TextureFilter::Linear);
  device->SetSamplerState(0, SamplerState::MinFilter, platform::TextureFilter::Linear);
  device->SetSamplerState(0, SamplerState::MipFilter, platform::TextureFilter::Linear);
  platform::Viewport viewport;
  viewport.x = 0;
  viewport.y = 0;
  viewport.width = 640;
  viewport.height = 480;
  viewport.minZ = 0.0f;
  viewport.maxZ = 1.0f;
  device->SetViewport(viewport);
  return 1;
}

void GameScene::Finish() {
  sprites_.ReleaseSprite();
  cache_.ClearAll();
}

int GameScene::AddProgressPoint(int, int) {
  return 0;
}

void GameScene::AddToDigest(StateDigest&) const {}

}  // namespace quarn
