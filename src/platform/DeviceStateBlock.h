#pragma once
// Every fixed-function state a render device keeps, with the defaults of a freshly created
// device. Both backends hold one; the GL backend turns it into shader uniforms when drawing.
#include <array>
#include <cstdint>
#include <map>

#include "platform/RenderDevice.h"

namespace quarn::platform {

struct DeviceStateBlock {
  static constexpr uint32_t kStages = 8;
  static constexpr uint32_t kRenderStates = 256;
  static constexpr uint32_t kStageStates = 33;
  static constexpr uint32_t kSamplerStates = 14;

  DeviceStateBlock();

  std::array<uint32_t, kRenderStates> renderStates{};
  std::array<std::array<uint32_t, kStageStates>, kStages> stageStates{};
  std::array<std::array<uint32_t, kSamplerStates>, kStages> samplerStates{};
  Matrix4 world, view, projection;
  Material material;
  Viewport viewport;
  std::map<uint32_t, Light> lights;  // set lights by index
  std::map<uint32_t, bool> lightEnabled;
  std::array<Texture*, kStages> textures{};
  uint32_t fvf = 0;
  VertexBuffer* streamSource = nullptr;
  uint32_t streamStride = 0;
  IndexBuffer* indices = nullptr;
  Surface* renderTarget = nullptr;

  bool SetTransform(TransformState state, const Matrix4& matrix);
  bool GetTransform(TransformState state, Matrix4* matrix) const;
  bool SetRenderState(RenderState state, uint32_t value);
  uint32_t GetRenderState(RenderState state) const;
  bool SetStageState(uint32_t stage, TextureStageState state, uint32_t value);
  uint32_t GetStageState(uint32_t stage, TextureStageState state) const;
  bool SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value);
  uint32_t GetSamplerState(uint32_t sampler, SamplerState state) const;
  bool SetLight(uint32_t index, const Light& light);
  bool GetLight(uint32_t index, Light* light) const;
  // Enabling a light that was never set gives it the default light (white, shining along +z).
  bool LightEnable(uint32_t index, bool enable);
  bool GetLightEnable(uint32_t index) const;
  // Forgets a texture or buffer that is being destroyed.
  void Unbind(const void* resource);
};

}  // namespace quarn::platform
