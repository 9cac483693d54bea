#include "platform/GlTexture.h"

#include <algorithm>
#include <cstring>

#include "platform/GlApi.h"
#include "platform/GlRenderDevice.h"

namespace quarn::platform {

namespace {

// Uploads and parameter changes use a unit the drawing code never binds, so that the texture
// bound for drawing stays what the pipeline believes it is.
class ScratchBinding {
 public:
  explicit ScratchBinding(GLuint texture) {
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, texture);
  }
  ~ScratchBinding() {
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
  }
  ScratchBinding(const ScratchBinding&) = delete;
  ScratchBinding& operator=(const ScratchBinding&) = delete;
};

uint32_t FullChainLevels(uint32_t width, uint32_t height) {
  uint32_t levels = 1;
  while (width > 1 || height > 1) {
    width = std::max(1u, width / 2);
    height = std::max(1u, height / 2);
    ++levels;
  }
  return levels;
}

GLint AddressMode(uint32_t mode) {
  switch (static_cast<TextureAddress>(mode)) {
    case TextureAddress::Wrap:
      return GL_REPEAT;
    case TextureAddress::Mirror:
      return GL_MIRRORED_REPEAT;
    case TextureAddress::Border:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_CLAMP_TO_EDGE;
  }
}

bool IsLinear(uint32_t filter) {
  return filter >= static_cast<uint32_t>(TextureFilter::Linear);
}

GLint MinFilter(uint32_t min, uint32_t mip, bool hasMips) {
  const bool linear = IsLinear(min);
  if (!hasMips || mip == static_cast<uint32_t>(TextureFilter::None))
    return linear ? GL_LINEAR : GL_NEAREST;
  if (IsLinear(mip))
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
}

}  // namespace

GlTexture::GlTexture(GlRenderDevice* device, uint32_t usage, Format format, Pool pool)
    : device_(device), usage_(usage), format_(format), pool_(pool) {}

std::unique_ptr<GlTexture> GlTexture::Create(GlRenderDevice* device, uint32_t width,
                                             uint32_t height, uint32_t levels, uint32_t usage,
                                             Format format, Pool pool) {
  std::unique_ptr<GlTexture> texture(new GlTexture(device, usage, format, pool));
  const uint32_t full = FullChainLevels(width, height);
  levels = levels == 0 ? full : std::min(levels, full);
  glGenTextures(1, &texture->name_);
  if (texture->name_ == 0)
    return nullptr;
  ScratchBinding binding(texture->name_);
  while (glGetError() != GL_NO_ERROR) {
  }
  // New textures read as opaque black for formats without alpha, transparent black otherwise.
  const Argb fill = texture->HasAlpha() ? 0u : 0xFF000000u;
  std::vector<Argb> blank(static_cast<size_t>(width) * height, fill);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  for (uint32_t level = 0; level < levels; ++level) {
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 blank.data());
    texture->surfaces_.push_back(
        std::make_unique<GlSurface>(texture.get(), texture->name_, level, width, height, format));
    width = std::max(1u, width / 2);
    height = std::max(1u, height / 2);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
  if (glGetError() != GL_NO_ERROR)
    return nullptr;
  return texture;
}

GlTexture::~GlTexture() {
  device_->ForgetTexture(this);  // while the surfaces it may check still exist
  surfaces_.clear();
  if (name_ != 0)
    glDeleteTextures(1, &name_);
}

uint32_t GlTexture::Width(uint32_t level) const {
  return level < surfaces_.size() ? surfaces_[level]->Width() : 0;
}

uint32_t GlTexture::Height(uint32_t level) const {
  return level < surfaces_.size() ? surfaces_[level]->Height() : 0;
}

bool GlTexture::UpdateLevel(uint32_t level, const void* pixels, uint32_t pitch) {
  if (level >= surfaces_.size() || pixels == nullptr)
    return false;
  const uint32_t width = Width(level);
  const uint32_t height = Height(level);
  if (pitch < width * 4)
    return false;
  // Repacked rows: exact pitch, and alpha forced to 1 for formats that have none.
  std::vector<Argb> packed(static_cast<size_t>(width) * height);
  const Argb alpha = HasAlpha() ? 0u : 0xFF000000u;
  for (uint32_t y = 0; y < height; ++y) {
    const auto* row = static_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch;
    Argb* out = &packed[static_cast<size_t>(y) * width];
    std::memcpy(out, row, static_cast<size_t>(width) * 4);
    if (alpha != 0) {
      for (uint32_t x = 0; x < width; ++x)
        out[x] |= alpha;
    }
  }
  ScratchBinding binding(name_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(width),
                  static_cast<GLsizei>(height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                  packed.data());
  return true;
}

bool GlTexture::GenerateMipSubLevels() {
  if (surfaces_.size() < 2)
    return true;
  ScratchBinding binding(name_);
  glGenerateMipmap(GL_TEXTURE_2D);
  return true;
}

Surface* GlTexture::GetSurfaceLevel(uint32_t level) {
  return level < surfaces_.size() ? surfaces_[level].get() : nullptr;
}

void GlTexture::ApplySampler(const std::array<uint32_t, DeviceStateBlock::kSamplerStates>& states) {
  if (samplerKnown_ && states == sampler_)
    return;
  auto changed = [&](SamplerState state) {
    const auto index = static_cast<size_t>(state);
    return !samplerKnown_ || states[index] != sampler_[index];
  };
  auto value = [&](SamplerState state) { return states[static_cast<size_t>(state)]; };
  if (changed(SamplerState::AddressU))
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, AddressMode(value(SamplerState::AddressU)));
  if (changed(SamplerState::AddressV))
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, AddressMode(value(SamplerState::AddressV)));
  if (changed(SamplerState::MagFilter)) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    IsLinear(value(SamplerState::MagFilter)) ? GL_LINEAR : GL_NEAREST);
  }
  if (changed(SamplerState::MinFilter) || changed(SamplerState::MipFilter)) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    MinFilter(value(SamplerState::MinFilter), value(SamplerState::MipFilter),
                              surfaces_.size() > 1));
  }
  if (changed(SamplerState::BorderColor)) {
    const Argb border = value(SamplerState::BorderColor);
    const float color[4] = {static_cast<float>((border >> 16) & 0xFF) / 255.0f,
                            static_cast<float>((border >> 8) & 0xFF) / 255.0f,
                            static_cast<float>(border & 0xFF) / 255.0f,
                            static_cast<float>(border >> 24) / 255.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, color);
  }
  sampler_ = states;
  samplerKnown_ = true;
}

}  // namespace quarn::platform
