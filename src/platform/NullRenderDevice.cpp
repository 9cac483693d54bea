#include "platform/NullRenderDevice.h"

#include <algorithm>
#include <cstring>

namespace quarn::platform {

namespace {

class NullTexture;

class NullSurface final : public Surface {
 public:
  NullSurface(Texture* owner, uint32_t width, uint32_t height, Format format)
      : owner_(owner), width_(width), height_(height), format_(format) {}
  uint32_t Width() const override { return width_; }
  uint32_t Height() const override { return height_; }
  Format GetFormat() const override { return format_; }
  Texture* Owner() const override { return owner_; }

 private:
  Texture* owner_;
  uint32_t width_, height_;
  Format format_;
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

// The average of the (up to) 2 x 2 pixels at (x, y), channel by channel.
Argb BoxAverage(const std::vector<Argb>& pixels, uint32_t width, uint32_t height, uint32_t x,
                uint32_t y) {
  uint32_t sums[4] = {};
  uint32_t count = 0;
  for (uint32_t dy = 0; dy < 2 && y + dy < height; ++dy) {
    for (uint32_t dx = 0; dx < 2 && x + dx < width; ++dx) {
      const Argb pixel = pixels[size_t{y + dy} * width + x + dx];
      for (int channel = 0; channel < 4; ++channel)
        sums[channel] += (pixel >> (channel * 8)) & 0xFF;
      ++count;
    }
  }
  Argb result = 0;
  for (int channel = 0; channel < 4; ++channel)
    result |= ((sums[channel] + count / 2) / count) << (channel * 8);
  return result;
}

class NullTexture final : public Texture {
 public:
  NullTexture(NullRenderDevice* device, uint32_t width, uint32_t height, uint32_t levels,
              uint32_t usage, Format format, Pool pool)
      : device_(device), usage_(usage), format_(format), pool_(pool) {
    const uint32_t full = FullChainLevels(width, height);
    levels = levels == 0 ? full : std::min(levels, full);
    for (uint32_t level = 0; level < levels; ++level) {
      surfaces_.push_back(std::make_unique<NullSurface>(this, width, height, format));
      pixels_.emplace_back(static_cast<size_t>(width) * height, 0u);
      width = std::max(1u, width / 2);
      height = std::max(1u, height / 2);
    }
  }
  ~NullTexture() override {
    device_->Forget(this, pool_ == Pool::Default && (usage_ & kUsageRenderTarget) != 0);
  }
  uint32_t Width(uint32_t level) const override {
    return level < surfaces_.size() ? surfaces_[level]->Width() : 0;
  }
  uint32_t Height(uint32_t level) const override {
    return level < surfaces_.size() ? surfaces_[level]->Height() : 0;
  }
  uint32_t Levels() const override { return static_cast<uint32_t>(surfaces_.size()); }
  Format GetFormat() const override { return format_; }
  uint32_t Usage() const override { return usage_; }
  Pool GetPool() const override { return pool_; }
  bool UpdateLevel(uint32_t level, const void* pixels, uint32_t pitch) override {
    if (level >= surfaces_.size() || pixels == nullptr)
      return false;
    const uint32_t width = Width(level);
    if (pitch < width * 4)
      return false;
    for (uint32_t y = 0; y < Height(level); ++y) {
      std::memcpy(&pixels_[level][static_cast<size_t>(y) * width],
                  static_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch, width * 4);
    }
    return true;
  }
  bool GenerateMipSubLevels() override {
    for (size_t level = 1; level < surfaces_.size(); ++level) {
      const uint32_t fromWidth = Width(static_cast<uint32_t>(level - 1));
      const uint32_t fromHeight = Height(static_cast<uint32_t>(level - 1));
      const uint32_t width = Width(static_cast<uint32_t>(level));
      for (uint32_t y = 0; y < Height(static_cast<uint32_t>(level)); ++y) {
        for (uint32_t x = 0; x < width; ++x)
          pixels_[level][size_t{y} * width + x] =
              BoxAverage(pixels_[level - 1], fromWidth, fromHeight, x * 2, y * 2);
      }
    }
    return true;
  }
  Surface* GetSurfaceLevel(uint32_t level) override {
    return level < surfaces_.size() ? surfaces_[level].get() : nullptr;
  }

 private:
  NullRenderDevice* device_;
  uint32_t usage_;
  Format format_;
  Pool pool_;
  std::vector<std::unique_ptr<NullSurface>> surfaces_;
  std::vector<std::vector<Argb>> pixels_;
};

class NullVertexBuffer final : public VertexBuffer {
 public:
  NullVertexBuffer(NullRenderDevice* device, uint32_t bytes, uint32_t fvf)
      : device_(device), data_(bytes, 0), fvf_(fvf) {}
  ~NullVertexBuffer() override { device_->Forget(this, false); }
  uint32_t Size() const override { return static_cast<uint32_t>(data_.size()); }
  uint32_t Fvf() const override { return fvf_; }
  bool Update(uint32_t offset, const void* data, uint32_t bytes) override {
    if (offset > data_.size() || bytes > data_.size() - offset)
      return false;
    if (bytes != 0)
      std::memcpy(data_.data() + offset, data, bytes);
    return true;
  }
  const uint8_t* Data() const override { return data_.data(); }

 private:
  NullRenderDevice* device_;
  std::vector<uint8_t> data_;
  uint32_t fvf_;
};

class NullIndexBuffer final : public IndexBuffer {
 public:
  NullIndexBuffer(NullRenderDevice* device, uint32_t count) : device_(device), data_(count, 0) {}
  ~NullIndexBuffer() override { device_->Forget(this, false); }
  uint32_t Count() const override { return static_cast<uint32_t>(data_.size()); }
  bool Update(uint32_t first, const uint16_t* indices, uint32_t count) override {
    if (first > data_.size() || count > data_.size() - first)
      return false;
    if (count != 0)
      std::memcpy(data_.data() + first, indices, count * sizeof(uint16_t));
    return true;
  }
  const uint16_t* Data() const override { return data_.data(); }

 private:
  NullRenderDevice* device_;
  std::vector<uint16_t> data_;
};

}  // namespace

uint32_t PrimitiveVertexCount(PrimitiveType type, uint32_t primitiveCount) {
  if (primitiveCount == 0)
    return 0;
  switch (type) {
    case PrimitiveType::PointList:
      return primitiveCount;
    case PrimitiveType::LineList:
      return primitiveCount * 2;
    case PrimitiveType::LineStrip:
      return primitiveCount + 1;
    case PrimitiveType::TriangleList:
      return primitiveCount * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
      return primitiveCount + 2;
  }
  return 0;
}

NullRenderDevice::NullRenderDevice(const PresentParameters& parameters)
    : parameters_(parameters),
      backBuffer_(static_cast<size_t>(parameters.backBufferWidth) * parameters.backBufferHeight,
                  0xFF000000u) {
  caps_.description = "null device";
  state_.viewport = {0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0, 1};
}

NullRenderDevice::~NullRenderDevice() = default;

DeviceResult NullRenderDevice::TestCooperativeLevel() {
  if (!lost_)
    return DeviceResult::Ok;
  if (lostChecks_ > 0) {
    --lostChecks_;
    return DeviceResult::DeviceLost;
  }
  return DeviceResult::DeviceNotReset;
}

DeviceResult NullRenderDevice::Reset() {
  ++resets_;
  if (lost_ && lostChecks_ > 0)
    return DeviceResult::DeviceLost;
  if (liveDefaultPool_ > 0)
    return DeviceResult::InvalidCall;
  if (failResets_ > 0) {
    --failResets_;
    return DeviceResult::InvalidCall;
  }
  lost_ = false;
  // A reset device starts again from the default states; the game's handlers set theirs.
  state_ = DeviceStateBlock();
  state_.viewport = {0, 0, parameters_.backBufferWidth, parameters_.backBufferHeight, 0, 1};
  inScene_ = false;
  return DeviceResult::Ok;
}

DeviceResult NullRenderDevice::Present(const Rect*) {
  ++presents_;
  return lost_ ? DeviceResult::DeviceLost : DeviceResult::Ok;
}

bool NullRenderDevice::BeginScene() {
  if (inScene_)
    return false;
  inScene_ = true;
  ++beginScenes_;
  return true;
}

bool NullRenderDevice::EndScene() {
  if (!inScene_)
    return false;
  inScene_ = false;
  return true;
}

bool NullRenderDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Argb color,
                             float, uint32_t) {
  ++clears_;
  if ((flags & kClearTarget) == 0 || state_.renderTarget != nullptr)
    return true;
  const auto width = static_cast<int32_t>(parameters_.backBufferWidth);
  const auto height = static_cast<int32_t>(parameters_.backBufferHeight);
  const Viewport& vp = state_.viewport;
  auto fill = [&](Rect r) {
    r.left = std::max({r.left, 0, static_cast<int32_t>(vp.x)});
    r.top = std::max({r.top, 0, static_cast<int32_t>(vp.y)});
    r.right = std::min({r.right, width, static_cast<int32_t>(vp.x + vp.width)});
    r.bottom = std::min({r.bottom, height, static_cast<int32_t>(vp.y + vp.height)});
    for (int32_t y = r.top; y < r.bottom; ++y) {
      std::fill_n(&backBuffer_[static_cast<size_t>(y) * width + r.left],
                  std::max(0, r.right - r.left), color);
    }
  };
  if (rectCount == 0 || rects == nullptr) {
    fill(Rect{0, 0, width, height});
  } else {
    for (uint32_t i = 0; i < rectCount; ++i)
      fill(rects[i]);
  }
  return true;
}

bool NullRenderDevice::ReadBackBuffer(std::vector<Argb>& pixels, uint32_t* width,
                                      uint32_t* height) {
  pixels = backBuffer_;
  if (width != nullptr)
    *width = parameters_.backBufferWidth;
  if (height != nullptr)
    *height = parameters_.backBufferHeight;
  return true;
}

bool NullRenderDevice::WriteBackBuffer(int x, int y, int width, int height, const Argb* pixels,
                                       int pitchPixels) {
  if (pixels == nullptr)
    return false;
  const int bufferWidth = static_cast<int>(parameters_.backBufferWidth);
  const int bufferHeight = static_cast<int>(parameters_.backBufferHeight);
  for (int row = 0; row < height; ++row) {
    const int ty = y + row;
    if (ty < 0 || ty >= bufferHeight)
      continue;
    for (int column = 0; column < width; ++column) {
      const int tx = x + column;
      if (tx < 0 || tx >= bufferWidth)
        continue;
      backBuffer_[static_cast<size_t>(ty) * bufferWidth + tx] =
          pixels[static_cast<size_t>(row) * pitchPixels + column];
    }
  }
  return true;
}

bool NullRenderDevice::SetTransform(TransformState state, const Matrix4& matrix) {
  return state_.SetTransform(state, matrix);
}
bool NullRenderDevice::GetTransform(TransformState state, Matrix4* matrix) const {
  return state_.GetTransform(state, matrix);
}
bool NullRenderDevice::SetRenderState(RenderState state, uint32_t value) {
  return state_.SetRenderState(state, value);
}
uint32_t NullRenderDevice::GetRenderState(RenderState state) const {
  return state_.GetRenderState(state);
}
bool NullRenderDevice::SetTextureStageState(uint32_t stage, TextureStageState state,
                                            uint32_t value) {
  return state_.SetStageState(stage, state, value);
}
uint32_t NullRenderDevice::GetTextureStageState(uint32_t stage, TextureStageState state) const {
  return state_.GetStageState(stage, state);
}
bool NullRenderDevice::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
  return state_.SetSamplerState(sampler, state, value);
}
uint32_t NullRenderDevice::GetSamplerState(uint32_t sampler, SamplerState state) const {
  return state_.GetSamplerState(sampler, state);
}
bool NullRenderDevice::SetLight(uint32_t index, const Light& light) {
  return state_.SetLight(index, light);
}
bool NullRenderDevice::GetLight(uint32_t index, Light* light) const {
  return state_.GetLight(index, light);
}
bool NullRenderDevice::LightEnable(uint32_t index, bool enable) {
  return state_.LightEnable(index, enable);
}
bool NullRenderDevice::GetLightEnable(uint32_t index) const {
  return state_.GetLightEnable(index);
}
bool NullRenderDevice::SetMaterial(const Material& material) {
  state_.material = material;
  return true;
}
Material NullRenderDevice::GetMaterial() const {
  return state_.material;
}
bool NullRenderDevice::SetViewport(const Viewport& viewport) {
  state_.viewport = viewport;
  return true;
}
Viewport NullRenderDevice::GetViewport() const {
  return state_.viewport;
}
bool NullRenderDevice::SetTexture(uint32_t stage, Texture* texture) {
  if (stage >= DeviceStateBlock::kStages)
    return false;
  state_.textures[stage] = texture;
  return true;
}
Texture* NullRenderDevice::GetTexture(uint32_t stage) const {
  return stage < DeviceStateBlock::kStages ? state_.textures[stage] : nullptr;
}
bool NullRenderDevice::SetFvf(uint32_t fvf) {
  state_.fvf = fvf;
  return true;
}
uint32_t NullRenderDevice::GetFvf() const {
  return state_.fvf;
}

DrawRecord& NullRenderDevice::Record(PrimitiveType type, uint32_t primitiveCount) {
  DrawRecord& record = draws_.emplace_back();
  record.type = type;
  record.primitiveCount = primitiveCount;
  record.state = state_;
  record.inScene = inScene_;
  return record;
}

bool NullRenderDevice::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount,
                                       const void* vertices, uint32_t stride) {
  if (vertices == nullptr || stride == 0 || FvfVertexSize(state_.fvf) == 0)
    return false;
  DrawRecord& record = Record(type, primitiveCount);
  record.vertexCount = PrimitiveVertexCount(type, primitiveCount);
  record.stride = stride;
  const auto* bytes = static_cast<const uint8_t*>(vertices);
  record.vertices.assign(bytes, bytes + static_cast<size_t>(record.vertexCount) * stride);
  return true;
}

bool NullRenderDevice::DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minVertexIndex,
                                              uint32_t numVertices, uint32_t primitiveCount,
                                              const uint16_t* indices, const void* vertices,
                                              uint32_t stride) {
  if (indices == nullptr || vertices == nullptr || stride == 0 || FvfVertexSize(state_.fvf) == 0) {
    return false;
  }
  DrawRecord& record = Record(type, primitiveCount);
  record.indexed = true;
  record.vertexCount = minVertexIndex + numVertices;
  record.stride = stride;
  const uint32_t indexCount = PrimitiveVertexCount(type, primitiveCount);
  record.indexList.assign(indices, indices + indexCount);
  const auto* bytes = static_cast<const uint8_t*>(vertices);
  record.vertices.assign(bytes, bytes + static_cast<size_t>(record.vertexCount) * stride);
  return true;
}

bool NullRenderDevice::SetStreamSource(VertexBuffer* buffer, uint32_t stride) {
  state_.streamSource = buffer;
  state_.streamStride = stride;
  return true;
}

bool NullRenderDevice::SetIndices(IndexBuffer* buffer) {
  state_.indices = buffer;
  return true;
}

bool NullRenderDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t, uint32_t minVertexIndex,
                                            uint32_t numVertices, uint32_t startIndex,
                                            uint32_t primitiveCount) {
  if (state_.streamSource == nullptr || state_.indices == nullptr)
    return false;
  const uint32_t indexCount = PrimitiveVertexCount(type, primitiveCount);
  if (startIndex > state_.indices->Count() || indexCount > state_.indices->Count() - startIndex) {
    return false;
  }
  DrawRecord& record = Record(type, primitiveCount);
  record.indexed = true;
  record.fromBuffers = true;
  record.vertexCount = minVertexIndex + numVertices;
  record.stride = state_.streamStride;
  const uint16_t* indices = state_.indices->Data() + startIndex;
  record.indexList.assign(indices, indices + indexCount);
  return true;
}

std::unique_ptr<Texture> NullRenderDevice::CreateTexture(uint32_t width, uint32_t height,
                                                         uint32_t levels, uint32_t usage,
                                                         Format format, Pool pool) {
  if (width == 0 || height == 0 || width > caps_.maxTextureWidth ||
      height > caps_.maxTextureHeight) {
    return nullptr;
  }
  if (pool == Pool::Default && (usage & kUsageRenderTarget) != 0)
    ++liveDefaultPool_;
  return std::make_unique<NullTexture>(this, width, height, levels, usage, format, pool);
}

std::unique_ptr<VertexBuffer> NullRenderDevice::CreateVertexBuffer(uint32_t bytes, uint32_t fvf) {
  if (bytes == 0)
    return nullptr;
  return std::make_unique<NullVertexBuffer>(this, bytes, fvf);
}

std::unique_ptr<IndexBuffer> NullRenderDevice::CreateIndexBuffer(uint32_t count) {
  if (count == 0)
    return nullptr;
  return std::make_unique<NullIndexBuffer>(this, count);
}

bool NullRenderDevice::SetRenderTarget(Surface* surface) {
  if (surface != nullptr && (surface->Owner()->Usage() & kUsageRenderTarget) == 0)
    return false;
  state_.renderTarget = surface;
  const uint32_t width = surface ? surface->Width() : parameters_.backBufferWidth;
  const uint32_t height = surface ? surface->Height() : parameters_.backBufferHeight;
  state_.viewport = {0, 0, width, height, 0, 1};
  return true;
}

Surface* NullRenderDevice::GetRenderTarget() const {
  return state_.renderTarget;
}

void NullRenderDevice::Forget(const void* resource, bool defaultPoolTexture) {
  state_.Unbind(resource);
  if (defaultPoolTexture)
    --liveDefaultPool_;
}

}  // namespace quarn::platform
