#include "platform/GlRenderDevice.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/GlApi.h"
#include "platform/GlIndexBuffer.h"
#include "platform/GlPipeline.h"
#include "platform/GlStreamBuffer.h"
#include "platform/GlTexture.h"
#include "platform/GlVertexBuffer.h"
#include "platform/NullRenderDevice.h"
#include "platform/PictureFit.h"

namespace quarn::platform {

namespace {

template <class E>
constexpr uint32_t U(E value) {
  return static_cast<uint32_t>(value);
}

constexpr size_t kStreamCapacity = size_t{4} << 20;

// Asks SDL for a context of the given kind; null when the driver refuses.
SDL_GLContext TryContext(SDL_Window* window, int major, int minor, int profile) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, major);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minor);
  if (profile != 0)
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, profile);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  return SDL_GL_CreateContext(window);
}

GLenum PrimitiveMode(PrimitiveType type) {
  switch (type) {
    case PrimitiveType::PointList:
      return GL_POINTS;
    case PrimitiveType::LineList:
      return GL_LINES;
    case PrimitiveType::LineStrip:
      return GL_LINE_STRIP;
    case PrimitiveType::TriangleList:
      return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip:
      return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan:
      return GL_TRIANGLE_FAN;
  }
  return GL_TRIANGLES;
}

bool IsRasterState(RenderState state) {
  switch (state) {
    case RenderState::ZEnable:
    case RenderState::ZWriteEnable:
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
    case RenderState::CullMode:
    case RenderState::ZFunc:
    case RenderState::AlphaBlendEnable:
      return true;
    default:
      return false;
  }
}

void ColorToFloats(Argb color, float out[4]) {
  out[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
  out[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>(color & 0xFF) / 255.0f;
  out[3] = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
}

const void* Offset(size_t bytes) {
  return reinterpret_cast<const void*>(bytes);
}

}  // namespace

std::unique_ptr<RenderDevice> CreateGlRenderDevice(Window& window,
                                                   const PresentParameters& parameters,
                                                   std::string* error) {
  return GlRenderDevice::Create(window, parameters, error);
}

GlRenderDevice::GlRenderDevice(Window& window, const PresentParameters& parameters,
                               const GlDeviceOptions& options)
    : window_(window), parameters_(parameters), options_(options) {
  // A window takes the desktop's format; ours is always 8 bits a channel without alpha.
  if (parameters_.backBufferFormat == Format::Unknown)
    parameters_.backBufferFormat = Format::X8R8G8B8;
  targetHasAlpha_ = FormatHasAlpha(parameters_.backBufferFormat);
  state_.viewport = {0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0, 1};
}

std::unique_ptr<GlRenderDevice> GlRenderDevice::Create(Window& window,
                                                       const PresentParameters& parameters,
                                                       std::string* error,
                                                       const GlDeviceOptions& options) {
  if (window.Native() == nullptr) {
    if (error)
      *error = "no window to draw into";
    return nullptr;
  }
  if (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0) {
    if (error)
      *error = "the back buffer has no size";
    return nullptr;
  }
  std::unique_ptr<GlRenderDevice> device(new GlRenderDevice(window, parameters, options));
  if (!device->Initialize(error))
    return nullptr;
  return device;
}

bool GlRenderDevice::CreateContext(std::string* error) {
  // A 3.3 core context first; then whatever compatibility context offers what the shaders
  // need (the stand-ins for the hardware, software and reference devices of old).
  struct Attempt {
    int major, minor, profile;
  };
  const Attempt attempts[] = {
      {3, 3, SDL_GL_CONTEXT_PROFILE_CORE}, {3, 0, 0}, {2, 1, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY}};
  std::string why;
  for (const Attempt& attempt : attempts) {
    SDL_GLContext context =
        TryContext(window_.Native(), attempt.major, attempt.minor, attempt.profile);
    if (context == nullptr) {
      why = SDL_GetError();
      continue;
    }
    if (SDL_GL_MakeCurrent(window_.Native(), context) == 0 && features_.Query(&why)) {
      context_ = context;
      // Whatever the driver or SDL left flagged is not ours to answer for.
      while (glGetError() != GL_NO_ERROR) {
      }
      return true;
    }
    SDL_GL_DeleteContext(context);
  }
  if (error)
    *error = "cannot create an OpenGL context: " + why;
  return false;
}

bool GlRenderDevice::CreateBackBuffer(std::string* error) {
  const auto width = static_cast<GLsizei>(parameters_.backBufferWidth);
  const auto height = static_cast<GLsizei>(parameters_.backBufferHeight);
  glGenFramebuffers(1, &backFramebuffer_);
  glGenTextures(1, &backColor_);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, backColor_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  glActiveTexture(GL_TEXTURE0);
  glGenRenderbuffers(1, &backDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, backDepth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  glBindFramebuffer(GL_FRAMEBUFFER, backFramebuffer_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backColor_, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                            backDepth_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    if (error)
      *error = "cannot create the back buffer";
    return false;
  }
  targetFramebuffer_ = backFramebuffer_;
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  return true;
}

bool GlRenderDevice::Initialize(std::string* error) {
  if (!CreateContext(error))
    return false;
  SDL_GL_SetSwapInterval(parameters_.waitForVerticalRetrace ? 1 : 0);
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  caps_.description =
      std::string(renderer ? renderer : "?") + ", OpenGL " + (version ? version : "?");
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  caps_.maxTextureWidth = caps_.maxTextureHeight = static_cast<uint32_t>(std::max(maxSize, 64));
  caps_.maxActiveLights = 8;
  caps_.tableFog = true;

  // Top-left origin and 0..1 depth, as Direct3D has them; else the shaders do it.
  if (options_.clipControl && features_.clipControl) {
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
  } else {
    features_.clipControl = false;
  }
  if (!CreateBackBuffer(error))
    return false;
  glGenVertexArrays(1, &vertexArray_);
  glBindVertexArray(vertexArray_);
  stream_ = std::make_unique<GlStreamBuffer>(kStreamCapacity);
  if (!stream_->Create()) {
    if (error)
      *error = "cannot create the streaming vertex buffer";
    return false;
  }
  pipeline_ = std::make_unique<GlPipeline>(features_);
  if (!pipeline_->Initialize(error))
    return false;
  // Every variant is built now, so that a driver that cannot compile them fails here, once.
  for (uint32_t fvf : {kFvfXyz | kFvfNormal | kFvfTex1, kFvfXyz | kFvfDiffuse | kFvfTex1,
                       kFvfXyzRhw | kFvfDiffuse | kFvfTex1}) {
    if (!pipeline_->Prepare(state_, fvf, targetHasAlpha_)) {
      if (error)
        *error = pipeline_->LastError();
      return false;
    }
  }
  if (glGetError() != GL_NO_ERROR) {
    if (error)
      *error = "the OpenGL driver refused to set up the device";
    return false;
  }
  return true;
}

GlRenderDevice::~GlRenderDevice() {
  if (context_ == nullptr)
    return;
  SDL_GL_MakeCurrent(window_.Native(), context_);
  pipeline_.reset();
  stream_.reset();
  if (vertexArray_ != 0)
    glDeleteVertexArrays(1, &vertexArray_);
  if (backFramebuffer_ != 0)
    glDeleteFramebuffers(1, &backFramebuffer_);
  if (backColor_ != 0)
    glDeleteTextures(1, &backColor_);
  if (backDepth_ != 0)
    glDeleteRenderbuffers(1, &backDepth_);
  SDL_GL_DeleteContext(context_);
}

// --- presentation and loss ---

bool GlRenderDevice::MinimizedFullscreen() const {
  // A minimised full-screen window has no screen to show: the device counts as lost.
  return window_.IsFullscreen() && window_.IsMinimized();
}

DeviceResult GlRenderDevice::TestCooperativeLevel() {
  if (MinimizedFullscreen()) {
    lost_ = true;
    return DeviceResult::DeviceLost;
  }
  return lost_ ? DeviceResult::DeviceNotReset : DeviceResult::Ok;
}

DeviceResult GlRenderDevice::Reset() {
  if (MinimizedFullscreen()) {
    lost_ = true;
    return DeviceResult::DeviceLost;
  }
  // GL keeps every texture over a minimise, but the game releases its default-pool render
  // targets in its loss handlers and the device it was made for insists on that.
  if (liveDefaultRenderTargets_ > 0)
    return DeviceResult::InvalidCall;
  lost_ = false;
  ResetStates();
  return DeviceResult::Ok;
}

void GlRenderDevice::ResetStates() {
  // A reset device starts again from the default states; the game's reset handlers set
  // theirs again.
  state_ = DeviceStateBlock();
  SetRenderTarget(nullptr);  // the back buffer, with its whole viewport
  inScene_ = false;
  pipeline_->TransformsChanged();
  pipeline_->ShadingChanged();
  pipeline_->InvalidateRaster();
}

DeviceResult GlRenderDevice::Present(const Rect* rect) {
  if (MinimizedFullscreen())
    lost_ = true;
  if (lost_)
    return DeviceResult::DeviceLost;
  BlitToWindow(rect);
  SDL_GL_SwapWindow(window_.Native());
  BindTarget();
  return DeviceResult::Ok;
}

void GlRenderDevice::BlitToWindow(const Rect* rect) {
  int windowWidth = 0, windowHeight = 0;
  window_.GetDrawableSize(&windowWidth, &windowHeight);
  const int width = static_cast<int>(parameters_.backBufferWidth);
  const int height = static_cast<int>(parameters_.backBufferHeight);
  const PictureFit fit = FitPicture(width, height, windowWidth, windowHeight);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (rect == nullptr) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  Rect source{0, 0, width, height};
  if (rect != nullptr) {
    source.left = std::clamp(rect->left, 0, width);
    source.top = std::clamp(rect->top, 0, height);
    source.right = std::clamp(rect->right, source.left, width);
    source.bottom = std::clamp(rect->bottom, source.top, height);
  }
  // Picture rows are stored top first; the window's rows count from the bottom.
  auto windowX = [&](int x) { return fit.left + x * fit.width / width; };
  auto windowY = [&](int y) { return windowHeight - (fit.top + y * fit.height / height); };
  glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
  glBlitFramebuffer(source.left, source.top, source.right, source.bottom, windowX(source.left),
                    windowY(source.top), windowX(source.right), windowY(source.bottom),
                    GL_COLOR_BUFFER_BIT, fit.wholeScale ? GL_NEAREST : GL_LINEAR);
  pipeline_->InvalidateRaster();
}

bool GlRenderDevice::ReadPresentedPicture(std::vector<Argb>& pixels, int* width, int* height) {
  BlitToWindow(nullptr);
  int windowWidth = 0, windowHeight = 0;
  window_.GetDrawableSize(&windowWidth, &windowHeight);
  std::vector<Argb> bottomUp(static_cast<size_t>(windowWidth) * windowHeight);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(0, 0, windowWidth, windowHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               bottomUp.data());
  pixels.resize(bottomUp.size());
  for (int y = 0; y < windowHeight; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y) * windowWidth],
                &bottomUp[static_cast<size_t>(windowHeight - 1 - y) * windowWidth],
                static_cast<size_t>(windowWidth) * sizeof(Argb));
  }
  *width = windowWidth;
  *height = windowHeight;
  BindTarget();
  return true;
}

void GlRenderDevice::WaitForIdle() {
  glFinish();
}

uint64_t GlRenderDevice::StreamOrphans() const {
  return stream_->Orphans();
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

void GlRenderDevice::BindTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer_);
}

uint32_t GlRenderDevice::TargetWidth() const {
  return state_.renderTarget != nullptr ? state_.renderTarget->Width()
                                        : parameters_.backBufferWidth;
}

uint32_t GlRenderDevice::TargetHeight() const {
  return state_.renderTarget != nullptr ? state_.renderTarget->Height()
                                        : parameters_.backBufferHeight;
}

bool GlRenderDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Argb color,
                           float z, uint32_t stencil) {
  GLbitfield mask = 0;
  if ((flags & kClearTarget) != 0)
    mask |= GL_COLOR_BUFFER_BIT;
  if ((flags & kClearZBuffer) != 0)
    mask |= GL_DEPTH_BUFFER_BIT;
  if ((flags & kClearStencil) != 0)
    mask |= GL_STENCIL_BUFFER_BIT;
  if (mask == 0)
    return false;
  float rgba[4];
  ColorToFloats(color, rgba);
  // A target without alpha keeps alpha at 1, so that it reads back (and samples) opaque.
  glClearColor(rgba[0], rgba[1], rgba[2], targetHasAlpha_ ? rgba[3] : 1.0f);
  glClearDepth(std::clamp(z, 0.0f, 1.0f));
  glClearStencil(static_cast<GLint>(stencil));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFFFFFFFFu);
  const Viewport& vp = state_.viewport;
  glEnable(GL_SCISSOR_TEST);
  auto clearRect = [&](const Rect& r) {
    const int left = std::max<int>(r.left, static_cast<int>(vp.x));
    const int top = std::max<int>(r.top, static_cast<int>(vp.y));
    const int right = std::min<int>(r.right, static_cast<int>(vp.x + vp.width));
    const int bottom = std::min<int>(r.bottom, static_cast<int>(vp.y + vp.height));
    if (right <= left || bottom <= top)
      return;
    // Rows are stored top first, so the rectangle's top is GL's y.
    glScissor(left, top, right - left, bottom - top);
    glClear(mask);
  };
  if (rectCount == 0 || rects == nullptr) {
    clearRect(
        Rect{0, 0, static_cast<int32_t>(TargetWidth()), static_cast<int32_t>(TargetHeight())});
  } else {
    for (uint32_t i = 0; i < rectCount; ++i)
      clearRect(rects[i]);
  }
  glDisable(GL_SCISSOR_TEST);
  pipeline_->InvalidateRaster();
  return true;
}

bool GlRenderDevice::ReadBackBuffer(std::vector<Argb>& pixels, uint32_t* width, uint32_t* height) {
  const uint32_t w = parameters_.backBufferWidth;
  const uint32_t h = parameters_.backBufferHeight;
  pixels.resize(static_cast<size_t>(w) * h);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  // Stored top row first: the rows come out in the picture's order.
  glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_BGRA,
               GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
  BindTarget();
  if (width)
    *width = w;
  if (height)
    *height = h;
  return true;
}

bool GlRenderDevice::WriteBackBuffer(int x, int y, int width, int height, const Argb* pixels,
                                     int pitchPixels) {
  if (pixels == nullptr || width < 0 || height < 0 || pitchPixels < width)
    return false;
  const int bufferWidth = static_cast<int>(parameters_.backBufferWidth);
  const int bufferHeight = static_cast<int>(parameters_.backBufferHeight);
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, bufferWidth);
  const int bottom = std::min(y + height, bufferHeight);
  if (right <= left || bottom <= top)
    return true;
  const int columns = right - left;
  const Argb alpha = FormatHasAlpha(parameters_.backBufferFormat) ? 0u : 0xFF000000u;
  std::vector<Argb> rows(static_cast<size_t>(columns) * (bottom - top));
  for (int row = top; row < bottom; ++row) {
    const Argb* from = pixels + static_cast<size_t>(row - y) * pitchPixels + (left - x);
    Argb* to = &rows[static_cast<size_t>(row - top) * columns];
    for (int column = 0; column < columns; ++column)
      to[column] = from[column] | alpha;
  }
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, backColor_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexSubImage2D(GL_TEXTURE_2D, 0, left, top, columns, bottom - top, GL_BGRA,
                  GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  glActiveTexture(GL_TEXTURE0);
  return true;
}

// --- fixed-function state ---

bool GlRenderDevice::SetTransform(TransformState state, const Matrix4& matrix) {
  Matrix4 current;
  if (!state_.GetTransform(state, &current))
    return false;
  if (std::memcmp(&current, &matrix, sizeof matrix) == 0)
    return true;
  state_.SetTransform(state, matrix);
  pipeline_->TransformsChanged();
  // Lights shine in eye space: a new view turns them.
  if (state == TransformState::View)
    pipeline_->ShadingChanged();
  return true;
}

bool GlRenderDevice::GetTransform(TransformState state, Matrix4* matrix) const {
  return matrix != nullptr && state_.GetTransform(state, matrix);
}

bool GlRenderDevice::SetRenderState(RenderState state, uint32_t value) {
  if (U(state) >= DeviceStateBlock::kRenderStates)
    return false;
  if (state_.GetRenderState(state) == value)
    return true;
  state_.SetRenderState(state, value);
  if (!IsRasterState(state))
    pipeline_->ShadingChanged();
  return true;
}

uint32_t GlRenderDevice::GetRenderState(RenderState state) const {
  return state_.GetRenderState(state);
}

bool GlRenderDevice::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) {
  if (stage < DeviceStateBlock::kStages && state_.GetStageState(stage, state) == value)
    return true;
  if (!state_.SetStageState(stage, state, value))
    return false;
  if (stage == 0)
    pipeline_->ShadingChanged();
  return true;
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
  if (!state_.SetLight(index, light))
    return false;
  pipeline_->ShadingChanged();
  return true;
}

bool GlRenderDevice::GetLight(uint32_t index, Light* light) const {
  return light != nullptr && state_.GetLight(index, light);
}

bool GlRenderDevice::LightEnable(uint32_t index, bool enable) {
  if (!state_.LightEnable(index, enable))
    return false;
  pipeline_->ShadingChanged();
  return true;
}

bool GlRenderDevice::GetLightEnable(uint32_t index) const {
  return state_.GetLightEnable(index);
}

bool GlRenderDevice::SetMaterial(const Material& material) {
  if (std::memcmp(&state_.material, &material, sizeof material) == 0)
    return true;
  state_.material = material;
  pipeline_->ShadingChanged();
  return true;
}

Material GlRenderDevice::GetMaterial() const {
  return state_.material;
}

bool GlRenderDevice::SetViewport(const Viewport& viewport) {
  // As the device the game knows: a viewport must lie inside the render target.
  if (viewport.width == 0 || viewport.height == 0 ||
      uint64_t{viewport.x} + viewport.width > TargetWidth() ||
      uint64_t{viewport.y} + viewport.height > TargetHeight()) {
    return false;
  }
  state_.viewport = viewport;
  pipeline_->TransformsChanged();
  return true;
}

Viewport GlRenderDevice::GetViewport() const {
  return state_.viewport;
}

bool GlRenderDevice::SetTexture(uint32_t stage, Texture* texture) {
  if (stage >= DeviceStateBlock::kStages)
    return false;
  if (texture != nullptr && dynamic_cast<GlTexture*>(texture) == nullptr)
    return false;
  state_.textures[stage] = texture;
  return true;
}

Texture* GlRenderDevice::GetTexture(uint32_t stage) const {
  return stage < DeviceStateBlock::kStages ? state_.textures[stage] : nullptr;
}

bool GlRenderDevice::SetFvf(uint32_t fvf) {
  state_.fvf = fvf;
  return true;
}

uint32_t GlRenderDevice::GetFvf() const {
  return state_.fvf;
}

// --- drawing ---

void GlRenderDevice::BindLayout(unsigned buffer, uint32_t fvf, uint32_t stride, size_t offset) {
  if (layoutKnown_ && layout_.buffer == buffer && layout_.fvf == fvf && layout_.stride == stride &&
      layout_.offset == offset) {
    return;
  }
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  const auto gap = static_cast<GLsizei>(stride);
  size_t at = offset;
  const bool pretransformed = (fvf & kFvfXyzRhw) != 0;
  glEnableVertexAttribArray(kAttribPosition);
  glVertexAttribPointer(kAttribPosition, pretransformed ? 4 : 3, GL_FLOAT, GL_FALSE, gap,
                        Offset(at));
  at += pretransformed ? 16 : 12;
  if ((fvf & kFvfNormal) != 0) {
    glEnableVertexAttribArray(kAttribNormal);
    glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, gap, Offset(at));
    at += 12;
  } else {
    glDisableVertexAttribArray(kAttribNormal);
  }
  if ((fvf & kFvfDiffuse) != 0) {
    glEnableVertexAttribArray(kAttribDiffuse);
    glVertexAttribPointer(kAttribDiffuse, 4, GL_UNSIGNED_BYTE, GL_TRUE, gap, Offset(at));
    at += 4;
  } else {
    glDisableVertexAttribArray(kAttribDiffuse);
  }
  if ((fvf & kFvfSpecular) != 0)
    at += 4;
  if ((fvf & kFvfTex1) != 0) {
    glEnableVertexAttribArray(kAttribTexCoord);
    glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, gap, Offset(at));
  } else {
    glDisableVertexAttribArray(kAttribTexCoord);
  }
  layout_ = Layout{buffer, fvf, stride, offset};
  layoutKnown_ = true;
}

void GlRenderDevice::BindElements(unsigned buffer) {
  if (elementBuffer_ == buffer)
    return;
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
  elementBuffer_ = buffer;
}

bool GlRenderDevice::PrepareDraw(uint32_t stride) {
  const uint32_t vertexSize = FvfVertexSize(state_.fvf);
  if (vertexSize == 0 || stride < vertexSize)
    return false;
  return pipeline_->Prepare(state_, state_.fvf, targetHasAlpha_);
}

bool GlRenderDevice::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount,
                                     const void* vertices, uint32_t stride) {
  if (vertices == nullptr || !PrepareDraw(stride))
    return false;
  const uint32_t count = PrimitiveVertexCount(type, primitiveCount);
  if (count == 0)
    return true;
  const size_t bytes = size_t{count} * stride;
  if (!stream_->Reserve(bytes + stride))
    return false;
  const size_t offset = stream_->Append(vertices, bytes, stride);
  BindLayout(stream_->Name(), state_.fvf, stride, 0);
  glDrawArrays(PrimitiveMode(type), static_cast<GLint>(offset / stride),
               static_cast<GLsizei>(count));
  return true;
}

bool GlRenderDevice::DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minVertexIndex,
                                            uint32_t numVertices, uint32_t primitiveCount,
                                            const uint16_t* indices, const void* vertices,
                                            uint32_t stride) {
  if (indices == nullptr || vertices == nullptr || !PrepareDraw(stride))
    return false;
  const uint32_t indexCount = PrimitiveVertexCount(type, primitiveCount);
  if (indexCount == 0)
    return true;
  // An index outside the vertices handed over would read memory nobody gave us.
  for (uint32_t i = 0; i < indexCount; ++i) {
    if (indices[i] < minVertexIndex || indices[i] - minVertexIndex >= numVertices)
      return false;
  }
  const size_t vertexBytes = size_t{numVertices} * stride;
  const size_t indexBytes = size_t{indexCount} * sizeof(uint16_t);
  if (!stream_->Reserve(vertexBytes + stride + indexBytes + sizeof(uint16_t)))
    return false;
  const size_t vertexOffset = stream_->Append(
      static_cast<const uint8_t*>(vertices) + size_t{minVertexIndex} * stride, vertexBytes, stride);
  const size_t indexOffset = stream_->Append(indices, indexBytes, sizeof(uint16_t));
  BindElements(stream_->Name());
  const auto first = static_cast<GLint>(vertexOffset / stride);
  const GLint baseVertex = first - static_cast<GLint>(minVertexIndex);
  if (features_.baseVertex) {
    BindLayout(stream_->Name(), state_.fvf, stride, 0);
    glDrawElementsBaseVertex(PrimitiveMode(type), static_cast<GLsizei>(indexCount),
                             GL_UNSIGNED_SHORT, Offset(indexOffset), baseVertex);
  } else {
    BindLayout(stream_->Name(), state_.fvf, stride, vertexOffset - size_t{minVertexIndex} * stride);
    glDrawElements(PrimitiveMode(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT,
                   Offset(indexOffset));
  }
  return true;
}

bool GlRenderDevice::SetStreamSource(VertexBuffer* buffer, uint32_t stride) {
  if (buffer != nullptr && dynamic_cast<GlVertexBuffer*>(buffer) == nullptr)
    return false;
  state_.streamSource = buffer;
  state_.streamStride = stride;
  return true;
}

bool GlRenderDevice::SetIndices(IndexBuffer* buffer) {
  if (buffer != nullptr && dynamic_cast<GlIndexBuffer*>(buffer) == nullptr)
    return false;
  state_.indices = buffer;
  return true;
}

bool GlRenderDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t,
                                          uint32_t, uint32_t startIndex, uint32_t primitiveCount) {
  auto* vertices = static_cast<GlVertexBuffer*>(state_.streamSource);
  auto* indices = static_cast<GlIndexBuffer*>(state_.indices);
  const uint32_t stride = state_.streamStride;
  if (vertices == nullptr || indices == nullptr || !PrepareDraw(stride))
    return false;
  const uint32_t indexCount = PrimitiveVertexCount(type, primitiveCount);
  if (startIndex > indices->Count() || indexCount > indices->Count() - startIndex)
    return false;
  if (indexCount == 0)
    return true;
  // Every index, moved by the base, must name a vertex of the buffer.
  const int64_t vertexCount = vertices->Size() / stride;
  if (baseVertexIndex + int64_t{indices->MaxIndex()} >= vertexCount || baseVertexIndex < 0) {
    const uint16_t* list = indices->Data() + startIndex;
    for (uint32_t i = 0; i < indexCount; ++i) {
      const int64_t vertex = baseVertexIndex + int64_t{list[i]};
      if (vertex < 0 || vertex >= vertexCount)
        return false;
    }
  }
  BindElements(indices->Name());
  const void* first = Offset(size_t{startIndex} * sizeof(uint16_t));
  if (baseVertexIndex != 0 && features_.baseVertex) {
    BindLayout(vertices->Name(), state_.fvf, stride, 0);
    glDrawElementsBaseVertex(PrimitiveMode(type), static_cast<GLsizei>(indexCount),
                             GL_UNSIGNED_SHORT, first, baseVertexIndex);
    return true;
  }
  if (baseVertexIndex < 0)
    return false;
  BindLayout(vertices->Name(), state_.fvf, stride, size_t(baseVertexIndex) * stride);
  glDrawElements(PrimitiveMode(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT, first);
  return true;
}

// --- resources ---

std::unique_ptr<Texture> GlRenderDevice::CreateTexture(uint32_t width, uint32_t height,
                                                       uint32_t levels, uint32_t usage,
                                                       Format format, Pool pool) {
  if (width == 0 || height == 0 || width > caps_.maxTextureWidth ||
      height > caps_.maxTextureHeight) {
    return nullptr;
  }
  auto texture = GlTexture::Create(this, width, height, levels, usage, format, pool);
  if (texture == nullptr)
    return nullptr;
  if (texture->IsDefaultPoolRenderTarget())
    ++liveDefaultRenderTargets_;
  return texture;
}

std::unique_ptr<VertexBuffer> GlRenderDevice::CreateVertexBuffer(uint32_t bytes, uint32_t fvf) {
  if (bytes == 0)
    return nullptr;
  return GlVertexBuffer::Create(this, bytes, fvf);
}

std::unique_ptr<IndexBuffer> GlRenderDevice::CreateIndexBuffer(uint32_t count) {
  if (count == 0)
    return nullptr;
  return GlIndexBuffer::Create(this, count);
}

bool GlRenderDevice::SetRenderTarget(Surface* surface) {
  unsigned framebuffer = backFramebuffer_;
  bool hasAlpha = FormatHasAlpha(parameters_.backBufferFormat);
  if (surface != nullptr) {
    auto* target = dynamic_cast<GlSurface*>(surface);
    if (target == nullptr)
      return false;
    framebuffer = target->Framebuffer();
    if (framebuffer == 0)
      return false;
    hasAlpha = FormatHasAlpha(target->GetFormat());
  }
  state_.renderTarget = surface;
  targetFramebuffer_ = framebuffer;
  targetHasAlpha_ = hasAlpha;
  BindTarget();
  state_.viewport = {0, 0, TargetWidth(), TargetHeight(), 0, 1};
  pipeline_->TransformsChanged();
  return true;
}

Surface* GlRenderDevice::GetRenderTarget() const {
  return state_.renderTarget;
}

void GlRenderDevice::ForgetTexture(GlTexture* texture) {
  const bool wasTarget = state_.renderTarget != nullptr && state_.renderTarget->Owner() == texture;
  state_.Unbind(texture);
  if (wasTarget)
    SetRenderTarget(nullptr);
  pipeline_->ForgetTexture(texture->Name());
  if (texture->IsDefaultPoolRenderTarget())
    --liveDefaultRenderTargets_;
}

void GlRenderDevice::ForgetBuffer(const void* buffer) {
  state_.Unbind(buffer);
  // The buffer's name may be given to a new buffer: forget what points at it.
  layoutKnown_ = false;
  elementBuffer_ = ~0u;
}

}  // namespace quarn::platform
