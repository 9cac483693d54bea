#include "render/Texture.h"

#include "engine/GraphicsDevice.h"
#include "engine/ResourceCache.h"
#include "gfxutil/TextureCreation.h"

namespace quarn {

Texture::Texture(platform::RenderDevice* device) : device_(device) {}

Texture::~Texture() = default;

platform::RenderDevice* Texture::Device() const {
  if (device_ != nullptr)
    return device_;
  const GraphicsDevice* graphics = GraphicsDevice::Instance();
  return graphics != nullptr ? graphics->GetDevice() : nullptr;
}

bool Texture::Load(const std::string& path) {
  Release();
  problem_.clear();
  platform::RenderDevice* device = Device();
  if (device == nullptr) {
    problem_ = "no graphics device to make the texture on";
    return false;
  }
  texture_ = gfx::CreateTextureFromFile(*device, path, &problem_);
  return texture_ != nullptr;
}

void Texture::Release() {
  texture_.reset();
}

void Texture::Attach(std::unique_ptr<platform::Texture> texture) {
  texture_ = std::move(texture);
  problem_.clear();
}

// The cache's texture getter lives with the texture, so the engine never depends on render.
Texture* ResourceCache::GetTexture(const std::string& name) {
  return Get<Texture>(Kind::Texture, name);
}

}  // namespace quarn
