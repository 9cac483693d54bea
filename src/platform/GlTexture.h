#pragma once
// A texture of the GL device: RGBA8 storage for every format (pixels arrive as 0xAARRGGBB),
// rows stored top row first so that v = 0 is the top as the game's data expects. Formats
// without alpha keep alpha at 1.
#include <array>
#include <memory>
#include <vector>

#include "platform/DeviceStateBlock.h"
#include "platform/GlSurface.h"
#include "platform/RenderDevice.h"

namespace quarn::platform {

class GlRenderDevice;

class GlTexture final : public Texture {
 public:
  // Null when the GL texture cannot be made.
  static std::unique_ptr<GlTexture> Create(GlRenderDevice* device, uint32_t width, uint32_t height,
                                           uint32_t levels, uint32_t usage, Format format,
                                           Pool pool);
  ~GlTexture() override;
  GlTexture(const GlTexture&) = delete;
  GlTexture& operator=(const GlTexture&) = delete;

  uint32_t Width(uint32_t level = 0) const override;
  uint32_t Height(uint32_t level = 0) const override;
  uint32_t Levels() const override { return static_cast<uint32_t>(surfaces_.size()); }
  Format GetFormat() const override { return format_; }
  uint32_t Usage() const override { return usage_; }
  Pool GetPool() const override { return pool_; }
  bool UpdateLevel(uint32_t level, const void* pixels, uint32_t pitch) override;
  bool GenerateMipSubLevels() override;
  Surface* GetSurfaceLevel(uint32_t level) override;

  unsigned Name() const { return name_; }
  bool HasAlpha() const { return FormatHasAlpha(format_); }
  bool IsDefaultPoolRenderTarget() const {
    return pool_ == Pool::Default && (usage_ & kUsageRenderTarget) != 0;
  }
  // Sets the texture's own sampling parameters to a sampler's states when they differ from
  // what it has. The texture must be bound to GL_TEXTURE_2D.
  void ApplySampler(const std::array<uint32_t, DeviceStateBlock::kSamplerStates>& states);

 private:
  GlTexture(GlRenderDevice* device, uint32_t usage, Format format, Pool pool);

  GlRenderDevice* device_;
  uint32_t usage_;
  Format format_;
  Pool pool_;
  unsigned name_ = 0;
  std::vector<std::unique_ptr<GlSurface>> surfaces_;
  std::array<uint32_t, DeviceStateBlock::kSamplerStates> sampler_{};
  bool samplerKnown_ = false;
};

}  // namespace quarn::platform
