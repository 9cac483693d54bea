#pragma once
// Turns the fixed-function states of a draw into OpenGL: the shader variant, its constants,
// the texture of stage 0 with its sampler states, blending, depth, culling and viewport. GL
// calls are made only for what changed since the last draw.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/DeviceStateBlock.h"
#include "platform/GlFeatures.h"
#include "platform/GlProgram.h"

namespace quarn::platform {

class GlPipeline {
 public:
  explicit GlPipeline(const GlFeatures& features);
  ~GlPipeline();
  GlPipeline(const GlPipeline&) = delete;
  GlPipeline& operator=(const GlPipeline&) = delete;

  // Makes the white texel that stands in for a missing texture.
  bool Initialize(std::string* error);

  // What a state change touches: transforms and viewport, or any other shader constant.
  void TransformsChanged() { ++transformGeneration_; }
  void ShadingChanged() { ++shadingGeneration_; }
  // Someone else changed GL's raster state (a clear, presentation): set all of it again.
  void InvalidateRaster() { rasterKnown_ = false; }
  // A texture is being deleted; its name may be reused.
  void ForgetTexture(unsigned name);

  // Everything a draw in vertex format fvf needs; targetHasAlpha false keeps the target's
  // alpha at 1 (formats without alpha). False when the shader variant cannot be built.
  bool Prepare(const DeviceStateBlock& state, uint32_t fvf, bool targetHasAlpha);

  const std::string& LastError() const { return lastError_; }

 private:
  struct Raster {
    bool blend = false;
    unsigned srcBlend = 0, destBlend = 0;
    bool depthTest = false;
    unsigned depthFunc = 0;
    bool depthWrite = false;
    bool cull = false;
    unsigned cullFace = 0;
    bool alphaWrite = true;
    Viewport viewport;
  };

  GlProgram* ProgramFor(uint32_t variant);
  void SendTransforms(GlProgram& program, const DeviceStateBlock& state);
  void SendShading(GlProgram& program, const DeviceStateBlock& state);
  void BindStageTexture(const DeviceStateBlock& state);
  void ApplyRaster(const DeviceStateBlock& state, bool targetHasAlpha);

  GlFeatures features_;
  std::array<std::unique_ptr<GlProgram>, kShaderVariants> programs_;
  std::array<bool, kShaderVariants> failed_{};
  uint64_t transformGeneration_ = 1;
  uint64_t shadingGeneration_ = 1;
  uint64_t worldViewGeneration_ = 0;
  float worldView_[16] = {};
  unsigned currentProgram_ = 0;
  unsigned boundTexture_ = 0;
  unsigned whiteTexture_ = 0;
  Raster raster_;
  bool rasterKnown_ = false;
  std::string lastError_;
};

// Whether fog applies: on, with a linear table mode, or no table mode and a linear vertex mode.
// *perPixel tells which of the two it is.
bool LinearFogApplies(const DeviceStateBlock& state, bool* perPixel);
// The shader variant for a draw of vertex format fvf with these states.
uint32_t ShaderVariantFor(const DeviceStateBlock& state, uint32_t fvf);

}  // namespace quarn::platform
