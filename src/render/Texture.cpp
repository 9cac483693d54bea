#include "render/Texture.h"

#include "engine/GraphicsDevice.h"
#include "gfxutil/TextureCreation.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {
// The file's own name: for a copy taken out of the archive, the entry's name.
std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

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
  } else {
    texture_ = gfx::CreateTextureFromFile(*device, path, &problem_);
  }
  if (texture_ == nullptr) {
    platform::ReportProblem(FileNameOf(path), problem_);
    return false;
  }
  return true;
}

void Texture::Release() {
  texture_.reset();
}

}  // namespace quarn
