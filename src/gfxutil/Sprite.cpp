#include "gfxutil/Sprite.h"

#include <cmath>

namespace quarn::gfx {

namespace {
using platform::RenderState;
using platform::TextureStageState;

// Quads per draw call: four vertices each must stay addressable by 16-bit indices.
constexpr size_t kBatchQuads = 1024;
constexpr uint32_t kSpriteFvf = platform::kFvfXyzRhw | platform::kFvfDiffuse | platform::kFvfTex1;
}  // namespace

Sprite::Sprite(platform::RenderDevice& device) : device_(device) {
  vertices_.reserve(kBatchQuads * 4);
  indices_.reserve(kBatchQuads * 6);
}

void Sprite::SaveAndSet(RenderState state, uint32_t value) {
  savedStates_.emplace_back(state, device_.GetRenderState(state));
  device_.SetRenderState(state, value);
}

void Sprite::SaveAndSetStage(TextureStageState state, uint32_t value) {
  savedStageStates_.emplace_back(state, device_.GetTextureStageState(0, state));
  device_.SetTextureStageState(0, state, value);
}

bool Sprite::Begin() {
  if (begun_)
    return false;
  begun_ = true;
  failed_ = false;
  batchTexture_ = nullptr;
  savedStates_.clear();
  savedStageStates_.clear();
  savedFvf_ = device_.GetFvf();
  savedTexture_ = device_.GetTexture(0);
  SaveAndSet(RenderState::AlphaBlendEnable, 1);
  SaveAndSet(RenderState::SrcBlend, static_cast<uint32_t>(platform::Blend::SrcAlpha));
  SaveAndSet(RenderState::DestBlend, static_cast<uint32_t>(platform::Blend::InvSrcAlpha));
  SaveAndSet(RenderState::AlphaTestEnable, 0);
  SaveAndSet(RenderState::Lighting, 0);
  SaveAndSet(RenderState::FogEnable, 0);
  SaveAndSet(RenderState::ZEnable, 0);
  SaveAndSet(RenderState::ZWriteEnable, 0);
  SaveAndSet(RenderState::CullMode, static_cast<uint32_t>(platform::CullMode::None));
  const auto modulate = static_cast<uint32_t>(platform::TextureOp::Modulate);
  SaveAndSetStage(TextureStageState::ColorOp, modulate);
  SaveAndSetStage(TextureStageState::ColorArg1, platform::kTaTexture);
  SaveAndSetStage(TextureStageState::ColorArg2, platform::kTaDiffuse);
  SaveAndSetStage(TextureStageState::AlphaOp, modulate);
  SaveAndSetStage(TextureStageState::AlphaArg1, platform::kTaTexture);
  SaveAndSetStage(TextureStageState::AlphaArg2, platform::kTaDiffuse);
  device_.SetFvf(kSpriteFvf);
  return true;
}

bool Sprite::Draw(platform::Texture* texture, const platform::Rect* source, float scaleX,
                  float scaleY, float centerX, float centerY, float rotation, float x, float y,
                  platform::Argb color) {
  if (!begun_ || texture == nullptr)
    return false;
  if (texture != batchTexture_ || vertices_.size() >= kBatchQuads * 4) {
    if (!Flush())
      failed_ = true;
    batchTexture_ = texture;
  }
  const float textureWidth = static_cast<float>(texture->Width(0));
  const float textureHeight = static_cast<float>(texture->Height(0));
  platform::Rect rect{0, 0, static_cast<int32_t>(texture->Width(0)),
                      static_cast<int32_t>(texture->Height(0))};
  if (source != nullptr)
    rect = *source;
  const float width = static_cast<float>(rect.right - rect.left);
  const float height = static_cast<float>(rect.bottom - rect.top);
  const float u0 = static_cast<float>(rect.left) / textureWidth;
  const float v0 = static_cast<float>(rect.top) / textureHeight;
  const float u1 = static_cast<float>(rect.right) / textureWidth;
  const float v1 = static_cast<float>(rect.bottom) / textureHeight;
  // Scale about the origin, rotate about the centre, then translate (row vectors).
  const float c = std::cos(rotation);
  const float s = std::sin(rotation);
  auto corner = [&](float cx, float cy, float u, float v) {
    const float px = cx * scaleX - centerX;
    const float py = cy * scaleY - centerY;
    return Vertex{
        px * c - py * s + centerX + x, px * s + py * c + centerY + y, 0.0f, 1.0f, color, u, v};
  };
  const auto base = static_cast<uint16_t>(vertices_.size());
  vertices_.push_back(corner(0, 0, u0, v0));
  vertices_.push_back(corner(width, 0, u1, v0));
  vertices_.push_back(corner(width, height, u1, v1));
  vertices_.push_back(corner(0, height, u0, v1));
  for (uint16_t index : {0, 1, 2, 0, 2, 3})
    indices_.push_back(static_cast<uint16_t>(base + index));
  return true;
}

bool Sprite::Flush() {
  if (vertices_.empty())
    return true;
  device_.SetTexture(0, batchTexture_);
  const bool drawn = device_.DrawIndexedPrimitiveUP(
      platform::PrimitiveType::TriangleList, 0, static_cast<uint32_t>(vertices_.size()),
      static_cast<uint32_t>(indices_.size() / 3), indices_.data(), vertices_.data(),
      sizeof(Vertex));
  vertices_.clear();
  indices_.clear();
  return drawn;
}

bool Sprite::End() {
  if (!begun_)
    return false;
  if (!Flush())
    failed_ = true;
  for (auto it = savedStates_.rbegin(); it != savedStates_.rend(); ++it) {
    device_.SetRenderState(it->first, it->second);
  }
  for (auto it = savedStageStates_.rbegin(); it != savedStageStates_.rend(); ++it) {
    device_.SetTextureStageState(0, it->first, it->second);
  }
  device_.SetFvf(savedFvf_);
  device_.SetTexture(0, savedTexture_);
  begun_ = false;
  batchTexture_ = nullptr;
  return !failed_;
}

}  // namespace quarn::gfx
