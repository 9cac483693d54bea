#include "platform/DeviceStateBlock.h"

namespace quarn::platform {

namespace {
template <class E>
constexpr uint32_t U(E value) {
  return static_cast<uint32_t>(value);
}
}  // namespace

uint32_t FvfVertexSize(uint32_t fvf) {
  uint32_t size = 0;
  if ((fvf & kFvfXyz) != 0 && (fvf & kFvfXyzRhw) != 0)
    return 0;
  if ((fvf & kFvfXyz) != 0)
    size += 12;
  if ((fvf & kFvfXyzRhw) != 0)
    size += 16;
  if (size == 0)
    return 0;
  if ((fvf & kFvfNormal) != 0)
    size += 12;
  if ((fvf & kFvfDiffuse) != 0)
    size += 4;
  if ((fvf & kFvfSpecular) != 0)
    size += 4;
  if ((fvf & kFvfTex1) != 0)
    size += 8;
  const uint32_t known = kFvfXyz | kFvfXyzRhw | kFvfNormal | kFvfDiffuse | kFvfSpecular | kFvfTex1;
  if ((fvf & ~known) != 0)
    return 0;
  return size;
}

DeviceStateBlock::DeviceStateBlock() {
  auto& rs = renderStates;
  rs[U(RenderState::ZEnable)] = 1;
  rs[U(RenderState::ZWriteEnable)] = 1;
  rs[U(RenderState::AlphaTestEnable)] = 0;
  rs[U(RenderState::SrcBlend)] = U(Blend::One);
  rs[U(RenderState::DestBlend)] = U(Blend::Zero);
  rs[U(RenderState::CullMode)] = U(CullMode::CounterClockwise);
  rs[U(RenderState::ZFunc)] = U(CompareFunc::LessEqual);
  rs[U(RenderState::AlphaRef)] = 0;
  rs[U(RenderState::AlphaFunc)] = U(CompareFunc::Always);
  rs[U(RenderState::AlphaBlendEnable)] = 0;
  rs[U(RenderState::FogEnable)] = 0;
  rs[U(RenderState::SpecularEnable)] = 0;
  rs[U(RenderState::FogColor)] = 0;
  rs[U(RenderState::FogTableMode)] = U(FogMode::None);
  rs[U(RenderState::FogStart)] = FloatBits(0.0f);
  rs[U(RenderState::FogEnd)] = FloatBits(1.0f);
  rs[U(RenderState::FogDensity)] = FloatBits(1.0f);
  rs[U(RenderState::RangeFogEnable)] = 0;
  rs[U(RenderState::Lighting)] = 1;
  rs[U(RenderState::Ambient)] = 0;
  rs[U(RenderState::FogVertexMode)] = U(FogMode::None);
  rs[U(RenderState::ColorVertex)] = 1;
  rs[U(RenderState::NormalizeNormals)] = 0;
  rs[U(RenderState::DiffuseMaterialSource)] = U(MaterialColorSource::Color1);
  rs[U(RenderState::AmbientMaterialSource)] = U(MaterialColorSource::Material);

  for (uint32_t stage = 0; stage < kStages; ++stage) {
    auto& ss = stageStates[stage];
    ss[U(TextureStageState::ColorOp)] = stage == 0 ? U(TextureOp::Modulate) : U(TextureOp::Disable);
    ss[U(TextureStageState::ColorArg1)] = kTaTexture;
    ss[U(TextureStageState::ColorArg2)] = kTaCurrent;
    ss[U(TextureStageState::AlphaOp)] =
        stage == 0 ? U(TextureOp::SelectArg1) : U(TextureOp::Disable);
    ss[U(TextureStageState::AlphaArg1)] = kTaTexture;
    ss[U(TextureStageState::AlphaArg2)] = kTaCurrent;
    ss[U(TextureStageState::TexCoordIndex)] = stage;
    auto& sm = samplerStates[stage];
    sm[U(SamplerState::AddressU)] = U(TextureAddress::Wrap);
    sm[U(SamplerState::AddressV)] = U(TextureAddress::Wrap);
    sm[U(SamplerState::AddressW)] = U(TextureAddress::Wrap);
    sm[U(SamplerState::BorderColor)] = 0;
    sm[U(SamplerState::MagFilter)] = U(TextureFilter::Point);
    sm[U(SamplerState::MinFilter)] = U(TextureFilter::Point);
    sm[U(SamplerState::MipFilter)] = U(TextureFilter::None);
  }
}

bool DeviceStateBlock::SetTransform(TransformState state, const Matrix4& matrix) {
  switch (state) {
    case TransformState::World:
      world = matrix;
      return true;
    case TransformState::View:
      view = matrix;
      return true;
    case TransformState::Projection:
      projection = matrix;
      return true;
  }
  return false;
}

bool DeviceStateBlock::GetTransform(TransformState state, Matrix4* matrix) const {
  switch (state) {
    case TransformState::World:
      *matrix = world;
      return true;
    case TransformState::View:
      *matrix = view;
      return true;
    case TransformState::Projection:
      *matrix = projection;
      return true;
  }
  return false;
}

bool DeviceStateBlock::SetRenderState(RenderState state, uint32_t value) {
  if (U(state) >= kRenderStates)
    return false;
  renderStates[U(state)] = value;
  return true;
}

uint32_t DeviceStateBlock::GetRenderState(RenderState state) const {
  return U(state) < kRenderStates ? renderStates[U(state)] : 0;
}

bool DeviceStateBlock::SetStageState(uint32_t stage, TextureStageState state, uint32_t value) {
  if (stage >= kStages || U(state) >= kStageStates)
    return false;
  stageStates[stage][U(state)] = value;
  return true;
}

uint32_t DeviceStateBlock::GetStageState(uint32_t stage, TextureStageState state) const {
  if (stage >= kStages || U(state) >= kStageStates)
    return 0;
  return stageStates[stage][U(state)];
}

bool DeviceStateBlock::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
  if (sampler >= kStages || U(state) >= kSamplerStates)
    return false;
  samplerStates[sampler][U(state)] = value;
  return true;
}

uint32_t DeviceStateBlock::GetSamplerState(uint32_t sampler, SamplerState state) const {
  if (sampler >= kStages || U(state) >= kSamplerStates)
    return 0;
  return samplerStates[sampler][U(state)];
}

bool DeviceStateBlock::SetLight(uint32_t index, const Light& light) {
  if (light.type != LightType::Directional && light.type != LightType::Point &&
      light.type != LightType::Spot) {
    return false;
  }
  lights[index] = light;
  return true;
}

bool DeviceStateBlock::GetLight(uint32_t index, Light* light) const {
  auto it = lights.find(index);
  if (it == lights.end())
    return false;
  *light = it->second;
  return true;
}

bool DeviceStateBlock::LightEnable(uint32_t index, bool enable) {
  if (lights.find(index) == lights.end()) {
    Light light;
    light.type = LightType::Directional;
    light.diffuse = {1, 1, 1, 0};
    light.direction = {0, 0, 1};
    lights[index] = light;
  }
  lightEnabled[index] = enable;
  return true;
}

bool DeviceStateBlock::GetLightEnable(uint32_t index) const {
  auto it = lightEnabled.find(index);
  return it != lightEnabled.end() && it->second;
}

void DeviceStateBlock::Unbind(const void* resource) {
  for (Texture*& texture : textures) {
    if (texture == resource)
      texture = nullptr;
  }
  if (streamSource == resource)
    streamSource = nullptr;
  if (indices == resource)
    indices = nullptr;
  if (renderTarget != nullptr && (renderTarget == resource || renderTarget->Owner() == resource)) {
    renderTarget = nullptr;
  }
}

}  // namespace quarn::platform
