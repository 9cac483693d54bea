#include "game/Game.h"

#include "engine/GraphicsDevice.h"

namespace quarn {

int Game::Init() {
  return 1;
}

void Game::Finish() {}

int Game::Update(int*) {
  return 1;
}

int Game::Render() {
  GraphicsDevice* graphics = GraphicsDevice::Instance();
  if (graphics == nullptr || graphics->GetDevice() == nullptr)
    return 1;
  platform::RenderDevice* device = graphics->GetDevice();
  device->BeginScene();
  graphics->Clear(nullptr, platform::kClearTarget | platform::kClearZBuffer, 0xFF000000u, 1.0f, 0);
  device->EndScene();
  return 1;
}

void Game::PlayMusic(const std::string&, float) {}

void Game::FadeOutMusic(float) {}

}  // namespace quarn
