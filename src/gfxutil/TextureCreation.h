#pragma once
// Textures from image files, the way the game's data expects them: each side rounded up to a
// power of two with the picture scaled to fill it, a full mip chain, alpha from the file.
// The pure image work (decode, scale, mips) is separate from the upload, so it can be used
// and tested without a device.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfxutil/Image.h"
#include "gfxutil/TexturePlan.h"
#include "platform/RenderDevice.h"

namespace quarn::gfx {

// Decodes the file at path and makes a managed texture of it. Null on failure, with a short
// reason in *reason when reason is not null (the file is unreadable, not an image, damaged,
// too large, or the device refused the texture).
std::unique_ptr<platform::Texture> CreateTextureFromFile(platform::RenderDevice& device,
                                                         const std::string& path,
                                                         std::string* reason = nullptr);
// The same for a picture already decoded.
std::unique_ptr<platform::Texture> CreateTextureFromImage(platform::RenderDevice& device,
                                                          Image image,
                                                          std::string* reason = nullptr);
// A texture of the given description with nothing uploaded (render targets and the like).
std::unique_ptr<platform::Texture> CreateTexture(platform::RenderDevice& device, uint32_t width,
                                                 uint32_t height, uint32_t levels, uint32_t usage,
                                                 platform::Format format, platform::Pool pool);

// Every level of the texture planned for image: the picture scaled to the plan's size,
// then halved down the chain. A picture already of the plan's size becomes the top level
// as it is (pass it by move to spare a copy).
std::vector<Image> BuildTextureLevels(Image image, const TexturePlan& plan);
// Uploads levels[i] into every level i of texture; false when levels are missing, a level
// does not match the texture's size or the texture refuses it.
bool UploadLevels(platform::Texture& texture, const std::vector<Image>& levels);

}  // namespace quarn::gfx
