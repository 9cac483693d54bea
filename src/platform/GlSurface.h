#pragma once
// One mip level of a GL texture; for a render-target texture also the framebuffer that draws
// into it (made on first use, without a depth buffer, as the game's render-to-surface asks).
#include "platform/RenderDevice.h"

namespace quarn::platform {

class GlSurface final : public Surface {
 public:
  GlSurface(Texture* owner, unsigned texture, uint32_t level, uint32_t width, uint32_t height,
            Format format);
  ~GlSurface() override;
  GlSurface(const GlSurface&) = delete;
  GlSurface& operator=(const GlSurface&) = delete;

  uint32_t Width() const override { return width_; }
  uint32_t Height() const override { return height_; }
  Format GetFormat() const override { return format_; }
  Texture* Owner() const override { return owner_; }

  // The framebuffer drawing into this level; 0 when it cannot be made.
  unsigned Framebuffer();

 private:
  Texture* owner_;
  unsigned texture_;
  uint32_t level_;
  uint32_t width_, height_;
  Format format_;
  unsigned framebuffer_ = 0;
};

// Whether pixels of the format keep an alpha channel (the others read alpha as 1).
bool FormatHasAlpha(Format format);

}  // namespace quarn::platform
