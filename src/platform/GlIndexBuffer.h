#pragma once
// A static buffer of 16-bit indices of the GL device (meshes), with a copy of its contents
// and the largest index in it, so that draws can be checked against their vertex buffer.
#include <memory>
#include <vector>

#include "platform/RenderDevice.h"

namespace quarn::platform {

class GlRenderDevice;

class GlIndexBuffer final : public IndexBuffer {
 public:
  static std::unique_ptr<GlIndexBuffer> Create(GlRenderDevice* device, uint32_t count);
  ~GlIndexBuffer() override;
  GlIndexBuffer(const GlIndexBuffer&) = delete;
  GlIndexBuffer& operator=(const GlIndexBuffer&) = delete;

  uint32_t Count() const override { return static_cast<uint32_t>(data_.size()); }
  bool Update(uint32_t first, const uint16_t* indices, uint32_t count) override;
  const uint16_t* Data() const override { return data_.data(); }

  unsigned Name() const { return name_; }
  uint16_t MaxIndex() const { return maxIndex_; }

 private:
  GlIndexBuffer(GlRenderDevice* device, uint32_t count);

  GlRenderDevice* device_;
  std::vector<uint16_t> data_;
  unsigned name_ = 0;
  uint16_t maxIndex_ = 0;
};

}  // namespace quarn::platform
