#include "platform/GlRenderDevice.h"

#include <SDL.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

namespace quarn::platform {

namespace {

// Asks SDL for a context of the given kind; null when the driver refuses.
SDL_GLContext TryContext(SDL_Window* window, int major, int minor, int profile) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, major);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minor);
  if (profile != 0)
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, profile);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  return SDL_GL_CreateContext(window);
}

void ColorToFloats(Argb color, float out[4]) {
  out[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
  out[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>(color & 0xFF) / 255.0f;
  out[3] = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
}

}  // namespace

std::unique_ptr<RenderDevice> CreateGlRenderDevice(Window& window,
                                                   const PresentParameters& parameters,
                                                   std::string* error) {
  return GlRenderDevice::Create(window, parameters, error);
}

GlRenderDevice::GlRenderDevice(Window& window, const PresentParameters& parameters)
    : window_(window), parameters_(parameters) {
  state_.viewport = {0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0, 1};
}

std::unique_ptr<GlRenderDevice> GlRenderDevice::Create(Window& window,
                                                       const PresentParameters& parameters,
                                                       std::string* error) {
  if (window.Native() == nullptr) {
    if (error)
      *error = "no window to draw into";
    return nullptr;
  }
  std::unique_ptr<GlRenderDevice> device(new GlRenderDevice(window, parameters));
  if (!device->Initialize(error))
    return nullptr;
  return device;
}

bool GlRenderDevice::Initialize(std::string* error) {
  // A 3.3 core context first; then whatever compatibility context the driver offers.
  context_ = TryContext(window_.Native(), 3, 3, SDL_GL_CONTEXT_PROFILE_CORE);
  if (context_ == nullptr)
    context_ = TryContext(window_.Native(), 3, 0, 0);
  if (context_ == nullptr)
    context_ = TryContext(window_.Native(), 2, 1, 0);
  if (context_ == nullptr) {
    if (error)
      *error = std::string("cannot create an OpenGL context: ") + SDL_GetError();
    return false;
  }
  SDL_GL_SetSwapInterval(parameters_.waitForVerticalRetrace ? 1 : 0);
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  caps_.description =
      std::string(renderer ? renderer : "?") + ", OpenGL " + (version ? version : "?");

  glGenFramebuffers(1, &backFramebuffer_);
  glGenTextures(1, &backColor_);
  glBindTexture(GL_TEXTURE_2D, backColor_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(parameters_.backBufferWidth),
               static_cast<GLsizei>(parameters_.backBufferHeight), 0, GL_RGBA, GL_UNSIGNED_BYTE,
               nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glGenRenderbuffers(1, &backDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, backDepth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8,
                        static_cast<GLsizei>(parameters_.backBufferWidth),
                        static_cast<GLsizei>(parameters_.backBufferHeight));
  glBindFramebuffer(GL_FRAMEBUFFER, backFramebuffer_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backColor_, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                            backDepth_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    if (error)
      *error = "cannot create the back buffer";
    return false;
  }
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  return true;
}

GlRenderDevice::~GlRenderDevice() {
  if (context_ == nullptr)
    return;
  SDL_GL_MakeCurrent(window_.Native(), context_);
  if (backFramebuffer_ != 0)
    glDeleteFramebuffers(1, &backFramebuffer_);
  if (backColor_ != 0)
    glDeleteTextures(1, &backColor_);
  if (backDepth_ != 0)
    glDeleteRenderbuffers(1, &backDepth_);
  SDL_GL_DeleteContext(context_);
}

bool GlRenderDevice::IsLost() const {
  // A minimised full-screen window has no screen to show: the device counts as lost.
  return window_.IsFullscreen() && window_.IsMinimized();
}

DeviceResult GlRenderDevice::TestCooperativeLevel() {
  if (!IsLost())
    return DeviceResult::Ok;
  return DeviceResult::DeviceLost;
}

DeviceResult GlRenderDevice::Reset() {
  return IsLost() ? DeviceResult::DeviceLost : DeviceResult::Ok;
}

DeviceResult GlRenderDevice::Present(const Rect*) {
  if (IsLost())
    return DeviceResult::DeviceLost;
  int windowWidth = 0, windowHeight = 0;
  window_.GetDrawableSize(&windowWidth, &windowHeight);
  const int width = static_cast<int>(parameters_.backBufferWidth);
  const int height = static_cast<int>(parameters_.backBufferHeight);
  // The largest picture of the back buffer's shape that fits, centred.
  int fitWidth = windowWidth;
  int fitHeight = static_cast<int>(static_cast<int64_t>(windowWidth) * height / width);
  if (fitHeight > windowHeight) {
    fitHeight = windowHeight;
    fitWidth = static_cast<int>(static_cast<int64_t>(windowHeight) * width / height);
  }
  const int left = (windowWidth - fitWidth) / 2;
  const int bottom = (windowHeight - fitHeight) / 2;
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
  glBlitFramebuffer(0, 0, width, height, left, bottom, left + fitWidth, bottom + fitHeight,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
  SDL_GL_SwapWindow(window_.Native());
  glBindFramebuffer(GL_FRAMEBUFFER, backFramebuffer_);
  return DeviceResult::Ok;
}

bool GlRenderDevice::BeginScene() {
  if (inScene_)
    return false;
  inScene_ = true;
  return true;
}

bool GlRenderDevice::EndScene() {
  if (!inScene_)
    return false;
  inScene_ = false;
  return true;
}

bool GlRenderDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Argb color,
                           float z, uint32_t stencil) {
  float rgba[4];
  ColorToFloats(color, rgba);
  glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  glClearDepth(z);
  glClearStencil(static_cast<GLint>(stencil));
  glDepthMask(GL_TRUE);
  GLbitfield mask = 0;
  if (flags & kClearTarget)
    mask |= GL_COLOR_BUFFER_BIT;
  if (flags & kClearZBuffer)
    mask |= GL_DEPTH_BUFFER_BIT;
  if (flags & kClearStencil)
    mask |= GL_STENCIL_BUFFER_BIT;
  const Viewport& vp = state_.viewport;
  const int height = static_cast<int>(parameters_.backBufferHeight);
  glEnable(GL_SCISSOR_TEST);
  auto clearRect = [&](const Rect& r) {
    const int left = std::max<int>(r.left, static_cast<int>(vp.x));
    const int top = std::max<int>(r.top, static_cast<int>(vp.y));
    const int right = std::min<int>(r.right, static_cast<int>(vp.x + vp.width));
    const int bottom = std::min<int>(r.bottom, static_cast<int>(vp.y + vp.height));
    if (right <= left || bottom <= top)
      return;
    glScissor(left, height - bottom, right - left, bottom - top);
    glClear(mask);
  };
  if (rectCount == 0 || rects == nullptr) {
    clearRect(Rect{0, 0, static_cast<int32_t>(parameters_.backBufferWidth), height});
  } else {
    for (uint32_t i = 0; i < rectCount; ++i)
      clearRect(rects[i]);
  }
  glDisable(GL_SCISSOR_TEST);
  glDepthMask(state_.GetRenderState(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
  return true;
}

bool GlRenderDevice::ReadBackBuffer(std::vector<Argb>& pixels, uint32_t* width, uint32_t* height) {
  const uint32_t w = parameters_.backBufferWidth;
  const uint32_t h = parameters_.backBufferHeight;
  std::vector<Argb> bottomUp(static_cast<size_t>(w) * h);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_BGRA,
               GL_UNSIGNED_INT_8_8_8_8_REV, bottomUp.data());
  pixels.resize(bottomUp.size());
  for (uint32_t y = 0; y < h; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y) * w], &bottomUp[static_cast<size_t>(h - 1 - y) * w],
                w * sizeof(Argb));
  }
  if (width)
    *width = w;
  if (height)
    *height = h;
  return true;
}

// Drawing, textures and buffers arrive with the full fixed-function backend.
bool GlRenderDevice::WriteBackBuffer(int, int, int, int, const Argb*, int) {
  return false;
}

bool GlRenderDevice::SetTransform(TransformState state, const Matrix4& matrix) {
  return state_.SetTransform(state, matrix);
}
bool GlRenderDevice::GetTransform(TransformState state, Matrix4* matrix) const {
  return state_.GetTransform(state, matrix);
}
bool GlRenderDevice::SetRenderState(RenderState state, uint32_t value) {
  return state_.SetRenderState(state, value);
}
uint32_t GlRenderDevice::GetRenderState(RenderState state) const {
  return state_.GetRenderState(state);
}
bool GlRenderDevice::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) {
  return state_.SetStageState(stage, state, value);
}
uint32_t GlRenderDevice::GetTextureStageState(uint32_t stage, TextureStageState state) const {
  return state_.GetStageState(stage, state);
}
bool GlRenderDevice::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
  return state_.SetSamplerState(sampler, state, value);
}
uint32_t GlRenderDevice::GetSamplerState(uint32_t sampler, SamplerState state) const {
  return state_.GetSamplerState(sampler, state);
}
bool GlRenderDevice::SetLight(uint32_t index, const Light& light) {
  return state_.SetLight(index, light);
}
bool GlRenderDevice::GetLight(uint32_t index, Light* light) const {
  return state_.GetLight(index, light);
}
bool GlRenderDevice::LightEnable(uint32_t index, bool enable) {
  return state_.LightEnable(index, enable);
}
bool GlRenderDevice::GetLightEnable(uint32_t index) const {
  return state_.GetLightEnable(index);
}
bool GlRenderDevice::SetMaterial(const Material& material) {
  state_.material = material;
  return true;
}
Material GlRenderDevice::GetMaterial() const {
  return state_.material;
}
bool GlRenderDevice::SetViewport(const Viewport& viewport) {
  state_.viewport = viewport;
  return true;
}
Viewport GlRenderDevice::GetViewport() const {
  return state_.viewport;
}
bool GlRenderDevice::SetTexture(uint32_t, Texture*) {
  return false;
}
Texture* GlRenderDevice::GetTexture(uint32_t) const {
  return nullptr;
}
bool GlRenderDevice::SetFvf(uint32_t fvf) {
  state_.fvf = fvf;
  return true;
}
uint32_t GlRenderDevice::GetFvf() const {
  return state_.fvf;
}
bool GlRenderDevice::DrawPrimitiveUP(PrimitiveType, uint32_t, const void*, uint32_t) {
  return false;
}
bool GlRenderDevice::DrawIndexedPrimitiveUP(PrimitiveType, uint32_t, uint32_t, uint32_t,
                                            const uint16_t*, const void*, uint32_t) {
  return false;
}
bool GlRenderDevice::SetStreamSource(VertexBuffer*, uint32_t) {
  return false;
}
bool GlRenderDevice::SetIndices(IndexBuffer*) {
  return false;
}
bool GlRenderDevice::DrawIndexedPrimitive(PrimitiveType, int32_t, uint32_t, uint32_t, uint32_t,
                                          uint32_t) {
  return false;
}
std::unique_ptr<Texture> GlRenderDevice::CreateTexture(uint32_t, uint32_t, uint32_t, uint32_t,
                                                       Format, Pool) {
  return nullptr;
}
std::unique_ptr<VertexBuffer> GlRenderDevice::CreateVertexBuffer(uint32_t, uint32_t) {
  return nullptr;
}
std::unique_ptr<IndexBuffer> GlRenderDevice::CreateIndexBuffer(uint32_t) {
  return nullptr;
}
bool GlRenderDevice::SetRenderTarget(Surface*) {
  return false;
}
Surface* GlRenderDevice::GetRenderTarget() const {
  return nullptr;
}

}  // namespace quarn::platform
