#include "platform/GlPipeline.h"

#include <cmath>
#include <cstring>

#include "platform/GlApi.h"
#include "platform/GlTexture.h"

namespace quarn::platform {

namespace {

template <class E>
constexpr uint32_t U(E value) {
  return static_cast<uint32_t>(value);
}

GLenum BlendFactor(uint32_t blend) {
  switch (static_cast<Blend>(blend)) {
    case Blend::Zero:
      return GL_ZERO;
    case Blend::One:
      return GL_ONE;
    case Blend::SrcColor:
      return GL_SRC_COLOR;
    case Blend::InvSrcColor:
      return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha:
      return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha:
      return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha:
      return GL_DST_ALPHA;
    case Blend::InvDestAlpha:
      return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor:
      return GL_DST_COLOR;
    case Blend::InvDestColor:
      return GL_ONE_MINUS_DST_COLOR;
  }
  return GL_ONE;
}

GLenum CompareFunction(uint32_t func) {
  switch (static_cast<CompareFunc>(func)) {
    case CompareFunc::Never:
      return GL_NEVER;
    case CompareFunc::Less:
      return GL_LESS;
    case CompareFunc::Equal:
      return GL_EQUAL;
    case CompareFunc::LessEqual:
      return GL_LEQUAL;
    case CompareFunc::Greater:
      return GL_GREATER;
    case CompareFunc::NotEqual:
      return GL_NOTEQUAL;
    case CompareFunc::GreaterEqual:
      return GL_GEQUAL;
    case CompareFunc::Always:
      return GL_ALWAYS;
  }
  return GL_LEQUAL;
}

void Enable(GLenum capability, bool on) {
  if (on)
    glEnable(capability);
  else
    glDisable(capability);
}

// a x b for row-major matrices (row vectors: first a, then b).
void Multiply(const Matrix4& a, const Matrix4& b, float out[16]) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      float sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += a.m[row][k] * b.m[k][column];
      out[row * 4 + column] = sum;
    }
  }
}

void Rgb(const ColorValue& color, float out[3]) {
  out[0] = color.r;
  out[1] = color.g;
  out[2] = color.b;
}

void ArgbToRgb(Argb color, float out[3]) {
  out[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
  out[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>(color & 0xFF) / 255.0f;
}

bool TakesVertexColor(const DeviceStateBlock& state, RenderState source) {
  return state.GetRenderState(RenderState::ColorVertex) != 0 &&
         state.GetRenderState(source) == U(MaterialColorSource::Color1);
}

}  // namespace

bool LinearFogApplies(const DeviceStateBlock& state, bool* perPixel) {
  *perPixel = false;
  if (state.GetRenderState(RenderState::FogEnable) == 0)
    return false;
  const uint32_t table = state.GetRenderState(RenderState::FogTableMode);
  if (table != U(FogMode::None)) {
    *perPixel = true;
    return table == U(FogMode::Linear);
  }
  return state.GetRenderState(RenderState::FogVertexMode) == U(FogMode::Linear);
}

uint32_t ShaderVariantFor(const DeviceStateBlock& state, uint32_t fvf) {
  uint32_t variant = 0;
  if ((fvf & kFvfDiffuse) != 0)
    variant |= kShaderDiffuse;
  if ((fvf & kFvfTex1) != 0)
    variant |= kShaderTexCoord;
  if ((fvf & kFvfXyzRhw) != 0)
    return variant | kShaderPretransformed;
  if ((fvf & kFvfNormal) != 0)
    variant |= kShaderNormal;
  if (state.GetRenderState(RenderState::Lighting) != 0)
    variant |= kShaderLighting;
  bool perPixel = false;
  if (LinearFogApplies(state, &perPixel))
    variant |= kShaderFog;
  return variant;
}

GlPipeline::GlPipeline(const GlFeatures& features) : features_(features) {}

GlPipeline::~GlPipeline() {
  if (whiteTexture_ != 0)
    glDeleteTextures(1, &whiteTexture_);
}

bool GlPipeline::Initialize(std::string* error) {
  glGenTextures(1, &whiteTexture_);
  if (whiteTexture_ == 0) {
    if (error != nullptr)
      *error = "cannot create a texture";
    return false;
  }
  const uint32_t white = 0xFFFFFFFFu;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, whiteTexture_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  boundTexture_ = whiteTexture_;
  return true;
}

void GlPipeline::ForgetTexture(unsigned name) {
  if (boundTexture_ == name) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, whiteTexture_);
    boundTexture_ = whiteTexture_;
  }
}

GlProgram* GlPipeline::ProgramFor(uint32_t variant) {
  if (programs_[variant] != nullptr)
    return programs_[variant].get();
  if (failed_[variant])
    return nullptr;
  programs_[variant] = GlProgram::Create(variant, features_, &lastError_);
  if (programs_[variant] == nullptr) {
    failed_[variant] = true;
    return nullptr;
  }
  currentProgram_ = programs_[variant]->Name();  // Create leaves it in use
  return programs_[variant].get();
}

bool GlPipeline::Prepare(const DeviceStateBlock& state, uint32_t fvf, bool targetHasAlpha) {
  GlProgram* program = ProgramFor(ShaderVariantFor(state, fvf));
  if (program == nullptr)
    return false;
  if (currentProgram_ != program->Name()) {
    glUseProgram(program->Name());
    currentProgram_ = program->Name();
  }
  if (program->transformGeneration != transformGeneration_)
    SendTransforms(*program, state);
  if (program->shadingGeneration != shadingGeneration_)
    SendShading(*program, state);
  BindStageTexture(state);
  ApplyRaster(state, targetHasAlpha);
  return true;
}

void GlPipeline::SendTransforms(GlProgram& program, const DeviceStateBlock& state) {
  const GlProgram::Locations& at = program.Uniforms();
  if (worldViewGeneration_ != transformGeneration_) {
    Multiply(state.world, state.view, worldView_);
    worldViewGeneration_ = transformGeneration_;
  }
  // A row-major matrix for row vectors is, in memory, GL's column-major matrix.
  if (at.worldView >= 0)
    glUniformMatrix4fv(at.worldView, 1, GL_FALSE, worldView_);
  if (at.projection >= 0)
    glUniformMatrix4fv(at.projection, 1, GL_FALSE, &state.projection.m[0][0]);
  if (at.screen >= 0) {
    const Viewport& vp = state.viewport;
    glUniform4f(at.screen, static_cast<float>(vp.x), static_cast<float>(vp.y),
                vp.width != 0 ? 2.0f / static_cast<float>(vp.width) : 0.0f,
                vp.height != 0 ? 2.0f / static_cast<float>(vp.height) : 0.0f);
  }
  program.transformGeneration = transformGeneration_;
}

void GlPipeline::SendShading(GlProgram& program, const DeviceStateBlock& state) {
  const GlProgram::Locations& at = program.Uniforms();
  if ((program.Variant() & kShaderLighting) != 0) {
    const Material& material = state.material;
    float rgb[3];
    glUniform4f(at.materialDiffuse, material.diffuse.r, material.diffuse.g, material.diffuse.b,
                material.diffuse.a);
    Rgb(material.ambient, rgb);
    glUniform3fv(at.materialAmbient, 1, rgb);
    Rgb(material.specular, rgb);
    glUniform3fv(at.materialSpecular, 1, rgb);
    Rgb(material.emissive, rgb);
    glUniform3fv(at.materialEmissive, 1, rgb);
    glUniform1f(at.materialPower, material.power);
    float ambient[3];
    ArgbToRgb(state.GetRenderState(RenderState::Ambient), ambient);
    float directions[kMaxShaderLights][3] = {};
    float diffuse[kMaxShaderLights][3] = {};
    float specular[kMaxShaderLights][3] = {};
    int count = 0;
    const Matrix4& view = state.view;
    for (const auto& [index, light] : state.lights) {
      if (count == kMaxShaderLights || !state.GetLightEnable(index))
        continue;
      // Only directional lights shine in this game; the others are left dark.
      if (light.type != LightType::Directional)
        continue;
      const Vector3& d = light.direction;
      float eye[3];
      for (int axis = 0; axis < 3; ++axis)
        eye[axis] = -(d.x * view.m[0][axis] + d.y * view.m[1][axis] + d.z * view.m[2][axis]);
      const float length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
      for (int axis = 0; axis < 3; ++axis)
        directions[count][axis] = length > 0 ? eye[axis] / length : 0.0f;
      Rgb(light.diffuse, diffuse[count]);
      Rgb(light.specular, specular[count]);
      ambient[0] += light.ambient.r;
      ambient[1] += light.ambient.g;
      ambient[2] += light.ambient.b;
      ++count;
    }
    glUniform3fv(at.ambient, 1, ambient);
    glUniform1i(at.lightCount, count);
    if (count > 0) {
      glUniform3fv(at.lightDirection, count, &directions[0][0]);
      glUniform3fv(at.lightDiffuse, count, &diffuse[0][0]);
      if (at.lightSpecular >= 0)
        glUniform3fv(at.lightSpecular, count, &specular[0][0]);
    }
    glUniform1i(at.specularEnable, state.GetRenderState(RenderState::SpecularEnable) != 0);
    glUniform1i(at.diffuseFromVertex,
                (program.Variant() & kShaderDiffuse) != 0 &&
                    TakesVertexColor(state, RenderState::DiffuseMaterialSource));
    glUniform1i(at.ambientFromVertex,
                (program.Variant() & kShaderDiffuse) != 0 &&
                    TakesVertexColor(state, RenderState::AmbientMaterialSource));
    glUniform1i(at.normalizeNormals, state.GetRenderState(RenderState::NormalizeNormals) != 0);
  }
  if ((program.Variant() & kShaderFog) != 0) {
    bool perPixel = false;
    LinearFogApplies(state, &perPixel);
    const float start = BitsFloat(state.GetRenderState(RenderState::FogStart));
    const float end = BitsFloat(state.GetRenderState(RenderState::FogEnd));
    // Start = end: everything nearer than the end is clear, everything from it on is fog.
    const float scale = end != start ? 1.0f / (end - start) : 1e30f;
    glUniform3f(at.fog, end, scale, perPixel ? 1.0f : 0.0f);
    float color[3];
    ArgbToRgb(state.GetRenderState(RenderState::FogColor), color);
    glUniform3fv(at.fogColor, 1, color);
  }
  const auto& stage = state.stageStates[0];
  auto value = [&](TextureStageState s) { return static_cast<GLint>(stage[U(s)]); };
  glUniform3i(at.colorStage, value(TextureStageState::ColorOp), value(TextureStageState::ColorArg1),
              value(TextureStageState::ColorArg2));
  glUniform3i(at.alphaStage, value(TextureStageState::AlphaOp), value(TextureStageState::AlphaArg1),
              value(TextureStageState::AlphaArg2));
  const bool alphaTest = state.GetRenderState(RenderState::AlphaTestEnable) != 0;
  glUniform1i(at.alphaFunc, alphaTest
                                ? static_cast<GLint>(state.GetRenderState(RenderState::AlphaFunc))
                                : static_cast<GLint>(U(CompareFunc::Always)));
  glUniform1f(at.alphaRef, static_cast<float>(state.GetRenderState(RenderState::AlphaRef) & 0xFF));
  program.shadingGeneration = shadingGeneration_;
}

void GlPipeline::BindStageTexture(const DeviceStateBlock& state) {
  auto* texture = static_cast<GlTexture*>(state.textures[0]);
  const unsigned name = texture != nullptr ? texture->Name() : whiteTexture_;
  if (name != boundTexture_) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);
    boundTexture_ = name;
  }
  if (texture != nullptr)
    texture->ApplySampler(state.samplerStates[0]);
}

void GlPipeline::ApplyRaster(const DeviceStateBlock& state, bool targetHasAlpha) {
  Raster want;
  want.blend = state.GetRenderState(RenderState::AlphaBlendEnable) != 0;
  want.srcBlend = BlendFactor(state.GetRenderState(RenderState::SrcBlend));
  want.destBlend = BlendFactor(state.GetRenderState(RenderState::DestBlend));
  want.depthTest = state.GetRenderState(RenderState::ZEnable) != 0;
  want.depthFunc = CompareFunction(state.GetRenderState(RenderState::ZFunc));
  want.depthWrite = state.GetRenderState(RenderState::ZWriteEnable) != 0;
  const uint32_t cull = state.GetRenderState(RenderState::CullMode);
  want.cull = cull == U(CullMode::Clockwise) || cull == U(CullMode::CounterClockwise);
  // Culling names the winding seen on screen; front faces are the clockwise ones.
  want.cullFace = cull == U(CullMode::Clockwise) ? GL_FRONT : GL_BACK;
  want.alphaWrite = targetHasAlpha;
  want.viewport = state.viewport;

  const bool all = !rasterKnown_;
  const Raster& had = raster_;
  if (all) {
    // Clockwise on screen is clockwise to GL when clip control flips y (it turns the facing
    // with it); when the shader flips y itself, GL sees the mirror image.
    glFrontFace(features_.clipControl ? GL_CW : GL_CCW);
    glDisable(GL_SCISSOR_TEST);
  }
  if (all || want.blend != had.blend)
    Enable(GL_BLEND, want.blend);
  if (all || want.srcBlend != had.srcBlend || want.destBlend != had.destBlend)
    glBlendFunc(want.srcBlend, want.destBlend);
  if (all || want.depthTest != had.depthTest)
    Enable(GL_DEPTH_TEST, want.depthTest);
  if (all || want.depthFunc != had.depthFunc)
    glDepthFunc(want.depthFunc);
  if (all || want.depthWrite != had.depthWrite)
    glDepthMask(want.depthWrite ? GL_TRUE : GL_FALSE);
  if (all || want.cull != had.cull)
    Enable(GL_CULL_FACE, want.cull);
  if (all || want.cullFace != had.cullFace)
    glCullFace(want.cullFace);
  if (all || want.alphaWrite != had.alphaWrite)
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, want.alphaWrite ? GL_TRUE : GL_FALSE);
  const Viewport& vp = want.viewport;
  if (all || std::memcmp(&vp, &had.viewport, sizeof vp) != 0) {
    glViewport(static_cast<GLint>(vp.x), static_cast<GLint>(vp.y), static_cast<GLsizei>(vp.width),
               static_cast<GLsizei>(vp.height));
    glDepthRange(vp.minZ, vp.maxZ);
  }
  raster_ = want;
  rasterKnown_ = true;
}

}  // namespace quarn::platform
