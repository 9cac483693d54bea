#include "render/EffectDrawScope.h"

#include "render/EffectVertex.h"

namespace quarn {

using platform::RenderState;

EffectDrawScope::EffectDrawScope(platform::RenderDevice& device, bool additiveBlend,
                                 platform::Texture* texture)
    : device_(device) {
  device_.GetTransform(platform::TransformState::View, &view_);
  const gfx::Matrix identity;
  device_.SetTransform(platform::TransformState::World, identity);
  device_.SetTransform(platform::TransformState::View, identity);
  device_.SetRenderState(RenderState::SrcBlend, platform::Blend::SrcAlpha);
  device_.SetRenderState(RenderState::DestBlend,
                         additiveBlend ? platform::Blend::One : platform::Blend::InvSrcAlpha);
  device_.SetRenderState(RenderState::Lighting, 0u);
  device_.SetRenderState(RenderState::CullMode, platform::CullMode::None);
  device_.SetTextureStageState(0, platform::TextureStageState::AlphaOp,
                               platform::TextureOp::Modulate);
  device_.SetTextureStageState(0, platform::TextureStageState::ColorArg1, platform::kTaTexture);
  device_.SetTextureStageState(0, platform::TextureStageState::ColorArg2, platform::kTaDiffuse);
  device_.SetFvf(EffectVertex::kFvf);
  device_.SetTexture(0, texture);
}

EffectDrawScope::~EffectDrawScope() {
  device_.SetRenderState(RenderState::Lighting, 1u);
  device_.SetRenderState(RenderState::CullMode, platform::CullMode::CounterClockwise);
  device_.SetTransform(platform::TransformState::View, view_);
}

}  // namespace quarn
