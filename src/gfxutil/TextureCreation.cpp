#include "gfxutil/TextureCreation.h"

#include "gfxutil/DxtBlockDecoder.h"
#include "gfxutil/ImageDecoder.h"
#include "gfxutil/ImageScaler.h"
#include "gfxutil/MipChain.h"

namespace quarn::gfx {

namespace {

void SetReason(std::string* reason, std::string text) {
  if (reason != nullptr)
    *reason = std::move(text);
}

}  // namespace

std::unique_ptr<platform::Texture> CreateTextureFromFile(platform::RenderDevice& device,
                                                         const std::string& path,
                                                         std::string* reason) {
  Image image;
  std::string why;
  if (!ImageDecoder::DecodeFile(path, &image, &why)) {
    SetReason(reason, std::move(why));
    return nullptr;
  }
  return CreateTextureFromImage(device, std::move(image), reason);
}

std::unique_ptr<platform::Texture> CreateTextureFromImage(platform::RenderDevice& device,
                                                          Image image, std::string* reason) {
  const TexturePlan plan = TexturePlan::For(image, device.Caps());
  auto texture = CreateTexture(device, plan.width, plan.height, plan.levels, 0, plan.format,
                               platform::Pool::Managed);
  // A device without block-compressed textures still takes the decoded pixels.
  if (texture == nullptr && DxtBlockDecoder::BlockBytes(plan.format) != 0) {
    texture = CreateTexture(device, plan.width, plan.height, plan.levels, 0,
                            platform::Format::A8R8G8B8, platform::Pool::Managed);
  }
  if (texture == nullptr) {
    SetReason(reason, "the device could not make a " + std::to_string(plan.width) + " x " +
                          std::to_string(plan.height) + " texture");
    return nullptr;
  }
  if (!UploadLevels(*texture, BuildTextureLevels(std::move(image), plan))) {
    SetReason(reason, "the device refused the texture's pixels");
    return nullptr;
  }
  return texture;
}

std::unique_ptr<platform::Texture> CreateTexture(platform::RenderDevice& device, uint32_t width,
                                                 uint32_t height, uint32_t levels, uint32_t usage,
                                                 platform::Format format, platform::Pool pool) {
  return device.CreateTexture(width, height, levels, usage, format, pool);
}

std::vector<Image> BuildTextureLevels(Image image, const TexturePlan& plan) {
  if (image.width != plan.width || image.height != plan.height) {
    image = ImageScaler::Scale(image, plan.width, plan.height);
  }
  return MipChain::Build(std::move(image), plan.levels);
}

bool UploadLevels(platform::Texture& texture, const std::vector<Image>& levels) {
  if (texture.Levels() == 0 || texture.Levels() > levels.size())
    return false;
  for (uint32_t i = 0; i < texture.Levels(); ++i) {
    const Image& level = levels[i];
    if (level.width != texture.Width(i) || level.height != texture.Height(i) ||
        !texture.UpdateLevel(i, level.pixels.data(), level.width * 4)) {
      return false;
    }
  }
  return true;
}

}  // namespace quarn::gfx
