#pragma once
// A render device that draws nothing: it keeps every state, records every draw call and
// keeps a software back buffer for clears and copied movie frames. Tests drive device loss
// through it (SetLost, SetResettable, SetResetResult).
#include <vector>

#include "platform/DeviceStateBlock.h"
#include "platform/RenderDevice.h"

namespace quarn::platform {

struct DrawRecord {
  PrimitiveType type = PrimitiveType::TriangleList;
  uint32_t primitiveCount = 0;
  uint32_t vertexCount = 0;  // vertices the call may touch
  bool indexed = false;
  bool fromBuffers = false;       // DrawIndexedPrimitive rather than the UP forms
  std::vector<uint8_t> vertices;  // copy of the UP vertex data (stride x vertexCount)
  std::vector<uint16_t> indexList;
  uint32_t stride = 0;
  DeviceStateBlock state;  // every state at the time of the call
  bool inScene = false;
};

class NullRenderDevice final : public RenderDevice {
 public:
  explicit NullRenderDevice(const PresentParameters& parameters = PresentParameters{});
  ~NullRenderDevice() override;

  // --- test controls ---
  // While lost, Present reports DeviceLost. TestCooperativeLevel reports DeviceLost for the
  // next lostChecks calls and DeviceNotReset after that. A successful Reset ends the loss.
  void SetLost(bool lost, int lostChecks = 0) {
    lost_ = lost;
    lostChecks_ = lostChecks;
  }
  // The next count calls of Reset fail (as a reset refused by the driver).
  void FailNextResets(int count) { failResets_ = count; }
  bool IsLost() const { return lost_; }

  const std::vector<DrawRecord>& Draws() const { return draws_; }
  void ClearDraws() { draws_.clear(); }
  int PresentCount() const { return presents_; }
  int ClearCount() const { return clears_; }
  int ResetCount() const { return resets_; }
  int BeginSceneCount() const { return beginScenes_; }
  const DeviceStateBlock& State() const { return state_; }
  int LiveDefaultPoolTextures() const { return liveDefaultPool_; }

  // --- RenderDevice ---
  const DeviceCaps& Caps() const override { return caps_; }
  const PresentParameters& Parameters() const override { return parameters_; }
  DeviceResult TestCooperativeLevel() override;
  DeviceResult Reset() override;
  DeviceResult Present(const Rect* rect) override;
  bool BeginScene() override;
  bool EndScene() override;
  bool Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Argb color, float z,
             uint32_t stencil) override;
  bool ReadBackBuffer(std::vector<Argb>& pixels, uint32_t* width, uint32_t* height) override;
  bool WriteBackBuffer(int x, int y, int width, int height, const Argb* pixels,
                       int pitchPixels) override;

  bool SetTransform(TransformState state, const Matrix4& matrix) override;
  bool GetTransform(TransformState state, Matrix4* matrix) const override;
  bool SetRenderState(RenderState state, uint32_t value) override;
  uint32_t GetRenderState(RenderState state) const override;
  bool SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) override;
  uint32_t GetTextureStageState(uint32_t stage, TextureStageState state) const override;
  bool SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) override;
  uint32_t GetSamplerState(uint32_t sampler, SamplerState state) const override;
  bool SetLight(uint32_t index, const Light& light) override;
  bool GetLight(uint32_t index, Light* light) const override;
  bool LightEnable(uint32_t index, bool enable) override;
  bool GetLightEnable(uint32_t index) const override;
  bool SetMaterial(const Material& material) override;
  Material GetMaterial() const override;
  bool SetViewport(const Viewport& viewport) override;
  Viewport GetViewport() const override;
  bool SetTexture(uint32_t stage, Texture* texture) override;
  Texture* GetTexture(uint32_t stage) const override;
  bool SetFvf(uint32_t fvf) override;
  uint32_t GetFvf() const override;
  using RenderDevice::SetRenderState;
  using RenderDevice::SetSamplerState;
  using RenderDevice::SetTextureStageState;

  bool DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                       uint32_t stride) override;
  bool DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minVertexIndex, uint32_t numVertices,
                              uint32_t primitiveCount, const uint16_t* indices,
                              const void* vertices, uint32_t stride) override;
  bool SetStreamSource(VertexBuffer* buffer, uint32_t stride) override;
  bool SetIndices(IndexBuffer* buffer) override;
  bool DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t minVertexIndex,
                            uint32_t numVertices, uint32_t startIndex,
                            uint32_t primitiveCount) override;

  std::unique_ptr<Texture> CreateTexture(uint32_t width, uint32_t height, uint32_t levels,
                                         uint32_t usage, Format format, Pool pool) override;
  std::unique_ptr<VertexBuffer> CreateVertexBuffer(uint32_t bytes, uint32_t fvf) override;
  std::unique_ptr<IndexBuffer> CreateIndexBuffer(uint32_t count) override;
  bool SetRenderTarget(Surface* surface) override;
  Surface* GetRenderTarget() const override;

  // Called by the resources this device made, as they are destroyed.
  void Forget(const void* resource, bool defaultPoolTexture);

 private:
  DrawRecord& Record(PrimitiveType type, uint32_t primitiveCount);

  PresentParameters parameters_;
  DeviceCaps caps_;
  DeviceStateBlock state_;
  std::vector<Argb> backBuffer_;
  std::vector<DrawRecord> draws_;
  bool lost_ = false;
  int lostChecks_ = 0;
  int failResets_ = 0;
  bool inScene_ = false;
  int presents_ = 0;
  int clears_ = 0;
  int resets_ = 0;
  int beginScenes_ = 0;
  int liveDefaultPool_ = 0;
};

// Number of vertices a primitive list or strip of this many primitives uses.
uint32_t PrimitiveVertexCount(PrimitiveType type, uint32_t primitiveCount);

}  // namespace quarn::platform
