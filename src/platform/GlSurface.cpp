#include "platform/GlSurface.h"

#include "platform/GlApi.h"

namespace quarn::platform {

bool FormatHasAlpha(Format format) {
  switch (format) {
    case Format::A8R8G8B8:
    case Format::A1R5G5B5:
    case Format::A4R4G4B4:
    case Format::A8:
    case Format::A8L8:
    case Format::Dxt1:
    case Format::Dxt3:
    case Format::Dxt5:
      return true;
    default:
      return false;
  }
}

GlSurface::GlSurface(Texture* owner, unsigned texture, uint32_t level, uint32_t width,
                     uint32_t height, Format format)
    : owner_(owner),
      texture_(texture),
      level_(level),
      width_(width),
      height_(height),
      format_(format) {}

GlSurface::~GlSurface() {
  if (framebuffer_ != 0)
    glDeleteFramebuffers(1, &framebuffer_);
}

unsigned GlSurface::Framebuffer() {
  if (framebuffer_ != 0)
    return framebuffer_;
  if ((owner_->Usage() & kUsageRenderTarget) == 0)
    return 0;
  GLint previous = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previous);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_,
                         static_cast<GLint>(level_));
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
  if (!complete) {
    glDeleteFramebuffers(1, &framebuffer_);
    framebuffer_ = 0;
  }
  return framebuffer_;
}

}  // namespace quarn::platform
