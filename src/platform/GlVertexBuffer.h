#pragma once
// A static vertex buffer of the GL device (meshes), with a copy of its contents for reading.
#include <memory>
#include <vector>

#include "platform/RenderDevice.h"

namespace quarn::platform {

class GlRenderDevice;

class GlVertexBuffer final : public VertexBuffer {
 public:
  static std::unique_ptr<GlVertexBuffer> Create(GlRenderDevice* device, uint32_t bytes,
                                                uint32_t fvf);
  ~GlVertexBuffer() override;
  GlVertexBuffer(const GlVertexBuffer&) = delete;
  GlVertexBuffer& operator=(const GlVertexBuffer&) = delete;

  uint32_t Size() const override { return static_cast<uint32_t>(data_.size()); }
  uint32_t Fvf() const override { return fvf_; }
  bool Update(uint32_t offset, const void* data, uint32_t bytes) override;
  const uint8_t* Data() const override { return data_.data(); }

  unsigned Name() const { return name_; }

 private:
  GlVertexBuffer(GlRenderDevice* device, uint32_t bytes, uint32_t fvf);

  GlRenderDevice* device_;
  std::vector<uint8_t> data_;
  uint32_t fvf_;
  unsigned name_ = 0;
};

}  // namespace quarn::platform
