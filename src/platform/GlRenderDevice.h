#pragma once
// The OpenGL backend of the render device. The back buffer is an off-screen framebuffer of the
// asked size, stored top row first like every render target; Present scales it into the
// window keeping its shape (letterbox). Drawing goes through GlPipeline, which reproduces the
// fixed-function states with one shader family.
#include <memory>
#include <vector>

#include "platform/DeviceStateBlock.h"
#include "platform/GlFeatures.h"
#include "platform/RenderDevice.h"
#include "platform/Window.h"

namespace quarn::platform {

class GlPipeline;
class GlStreamBuffer;
class GlTexture;

struct GlDeviceOptions {
  // Use glClipControl where the context has it; off makes the shaders flip and fold depth
  // themselves (tests compare the two).
  bool clipControl = true;
};

class GlRenderDevice final : public RenderDevice {
 public:
  static std::unique_ptr<GlRenderDevice> Create(Window& window, const PresentParameters& parameters,
                                                std::string* error,
                                                const GlDeviceOptions& options = {});
  ~GlRenderDevice() override;
  GlRenderDevice(const GlRenderDevice&) = delete;
  GlRenderDevice& operator=(const GlRenderDevice&) = delete;

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

  // --- beyond the device contract ---
  const GlFeatures& Features() const { return features_; }
  // What Present shows in the window (letterbox bars included), top row first, without
  // showing it: for tests of the scaling.
  bool ReadPresentedPicture(std::vector<Argb>& pixels, int* width, int* height);
  // Waits until the GPU has drawn everything asked so far (benchmarks time whole frames).
  void WaitForIdle();
  // Times the streaming buffer wrapped round (tests of the orphaning).
  uint64_t StreamOrphans() const;

  // Called by this device's resources as they are destroyed.
  void ForgetTexture(GlTexture* texture);
  void ForgetBuffer(const void* buffer);

 private:
  GlRenderDevice(Window& window, const PresentParameters& parameters,
                 const GlDeviceOptions& options);
  bool Initialize(std::string* error);
  bool CreateContext(std::string* error);
  bool CreateBackBuffer(std::string* error);
  bool MinimizedFullscreen() const;
  void BlitToWindow(const Rect* rect);
  void BindTarget();
  void ResetStates();
  uint32_t TargetWidth() const;
  uint32_t TargetHeight() const;
  // Points the vertex attributes at buffer for vertex format fvf from byte offset on.
  void BindLayout(unsigned buffer, uint32_t fvf, uint32_t stride, size_t offset);
  void BindElements(unsigned buffer);
  bool PrepareDraw(uint32_t stride);

  Window& window_;
  PresentParameters parameters_;
  GlDeviceOptions options_;
  DeviceCaps caps_;
  GlFeatures features_;
  DeviceStateBlock state_;
  void* context_ = nullptr;  // SDL_GLContext
  std::unique_ptr<GlPipeline> pipeline_;
  std::unique_ptr<GlStreamBuffer> stream_;
  unsigned vertexArray_ = 0;
  unsigned backFramebuffer_ = 0;
  unsigned backColor_ = 0;
  unsigned backDepth_ = 0;
  unsigned targetFramebuffer_ = 0;
  bool targetHasAlpha_ = false;
  bool inScene_ = false;
  bool lost_ = false;
  int liveDefaultRenderTargets_ = 0;
  struct Layout {
    unsigned buffer = 0;
    uint32_t fvf = 0, stride = 0;
    size_t offset = 0;
  } layout_;
  bool layoutKnown_ = false;
  unsigned elementBuffer_ = 0;
};

}  // namespace quarn::platform
