// Fixed-function shading on the GL device: directional lights with the material, vertex
// colours, linear fog and texture stage 0, each checked against the colour the rules give.
#include <cmath>
#include <numbers>

#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

using namespace platform;

struct Rgb {
  float r, g, b;
};

Rgb operator+(Rgb a, Rgb b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb operator*(Rgb a, Rgb b) {
  return {a.r * b.r, a.g * b.g, a.b * b.b};
}
Rgb operator*(Rgb a, float s) {
  return {a.r * s, a.g * s, a.b * s};
}
Rgb Clamp(Rgb a) {
  return {std::fmin(std::fmax(a.r, 0.f), 1.f), std::fmin(std::fmax(a.g, 0.f), 1.f),
          std::fmin(std::fmax(a.b, 0.f), 1.f)};
}
Rgb Mix(Rgb fog, Rgb color, float f) {
  return fog * (1 - f) + color * f;
}
Argb Pack(Rgb c) {
  return PackColor(c.r, c.g, c.b);
}
ColorValue Value(Rgb c, float a = 1) {
  return {c.r, c.g, c.b, a};
}

struct LitColorVertex {  // XYZ | NORMAL | DIFFUSE | TEX1
  float x, y, z, nx, ny, nz;
  Argb color;
  float u, v;
};

Vector3 RowTimes(Vector3 v, const Matrix4& m) {
  return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
          v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
          v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Matrix4 Times(const Matrix4& a, const Matrix4& b) {
  Matrix4 out;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      out.m[r][c] = 0;
      for (int k = 0; k < 4; ++k)
        out.m[r][c] += a.m[r][k] * b.m[k][c];
    }
  }
  return out;
}

const Rgb kMaterialDiffuse{1.0f, 0.5f, 0.25f};
const Rgb kMaterialAmbient{0.2f, 0.4f, 0.6f};
const Rgb kEmissive{0.05f, 0.05f, 0.05f};
const Rgb kGlobalAmbient{0.2f, 0.2f, 0.2f};  // 0x333333
const Rgb kLightDiffuse{0.8f, 0.8f, 0.8f};
const Rgb kLightAmbient{0.1f, 0.1f, 0.1f};

class ShadingTest : public EitherClipSpace {
 protected:
  void SetUp() override {
    EitherClipSpace::SetUp();
    device_->SetTransform(TransformState::Projection,
                          PerspectiveFovLH(std::numbers::pi_v<float> / 4, 4.0f / 3.0f, 1, 100));
    device_->SetTransform(TransformState::World, Translation(0, 0, 10));
    Material material;
    material.diffuse = Value(kMaterialDiffuse, 0.75f);
    material.ambient = Value(kMaterialAmbient);
    material.emissive = Value(kEmissive);
    device_->SetMaterial(material);
    device_->SetRenderState(RenderState::Ambient, 0x00333333u);
  }

  void SetLight(uint32_t index, Vector3 direction, Rgb diffuse, Rgb ambient, bool enable = true) {
    Light light;
    light.type = LightType::Directional;
    light.direction = direction;
    light.diffuse = Value(diffuse);
    light.ambient = Value(ambient);
    light.specular = Value({1, 1, 1});
    ASSERT_TRUE(device_->SetLight(index, light));
    ASSERT_TRUE(device_->LightEnable(index, enable));
  }

  // A 4 x 4 square at the world origin facing the camera (normal towards -z).
  void DrawLitSquare() {
    const LitVertex tl{-2, 2, 0, 0, 0, -1, 0, 0}, tr{2, 2, 0, 0, 0, -1, 1, 0};
    const LitVertex bl{-2, -2, 0, 0, 0, -1, 0, 1}, br{2, -2, 0, 0, 0, -1, 1, 1};
    const LitVertex square[6] = {tl, tr, bl, bl, tr, br};
    device_->SetFvf(kLitFvf);
    ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, square, sizeof tl));
  }

  void DrawColorSquare(Argb color) {
    const LitColorVertex tl{-2, 2, 0, 0, 0, -1, color, 0, 0}, tr{2, 2, 0, 0, 0, -1, color, 1, 0};
    const LitColorVertex bl{-2, -2, 0, 0, 0, -1, color, 0, 1}, br{2, -2, 0, 0, 0, -1, color, 1, 1};
    const LitColorVertex square[6] = {tl, tr, bl, bl, tr, br};
    device_->SetFvf(kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1);
    ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, square, sizeof tl));
  }

  // The lit colour of the square under one light shining along (0, -1, 1).
  static Rgb OneLightColor() {
    const float facing = 1.0f / std::sqrt(2.0f);
    return Clamp(kEmissive + kMaterialAmbient * (kGlobalAmbient + kLightAmbient) +
                 kMaterialDiffuse * kLightDiffuse * facing);
  }
};

TEST_P(ShadingTest, DirectionalLightsAmbientAndMaterialLightAFace) {
  SetLight(0, {0, -1, 1}, kLightDiffuse, kLightAmbient);
  SetLight(1, {1, 0, 0}, {1, 0, 0}, {0, 0.05f, 0});     // grazing: ambient only
  SetLight(2, {0, 0, 1}, {1, 1, 1}, {1, 1, 1}, false);  // disabled
  SetLight(3, {0, 0, -1}, {1, 1, 1}, {0, 0, 0});        // from behind: nothing
  DrawLitSquare();
  const Rgb want = OneLightColor() + kMaterialAmbient * Rgb{0, 0.05f, 0};
  EXPECT_TRUE(ColorNear(Pixel(320, 240), Pack(want), 1));
}

TEST_P(ShadingTest, LightingIsTheSameWhereverTheCameraLooksFrom) {
  SetLight(0, {0, -1, 1}, kLightDiffuse, kLightAmbient);
  DrawLitSquare();
  const Argb straight = Pixel(320, 240);
  // Turn the world, the light and the camera together: what the camera sees is unchanged.
  const Matrix4 turn = RotationY(0.7f);
  const Matrix4 back = RotationY(-0.7f);
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
  device_->SetTransform(TransformState::World, Times(Translation(0, 0, 10), turn));
  device_->SetTransform(TransformState::View, back);
  SetLight(0, RowTimes({0, -1, 1}, turn), kLightDiffuse, kLightAmbient);
  DrawLitSquare();
  EXPECT_TRUE(ColorNear(Pixel(320, 240), straight, 1));
  EXPECT_TRUE(ColorNear(straight, Pack(OneLightColor()), 1));
}

TEST_P(ShadingTest, LitAlphaIsTheMaterialDiffuseAlpha) {
  SetLight(0, {0, -1, 1}, kLightDiffuse, kLightAmbient);
  device_->SetTextureStageState(0, TextureStageState::AlphaArg1, kTaDiffuse);
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  DrawLitSquare();
  EXPECT_TRUE(ColorNear(Pixel(320, 240), Pack(OneLightColor() * 0.75f), 1));
}

TEST_P(ShadingTest, ColorVertexTakesTheDiffuseFromTheVertex) {
  SetLight(0, {0, -1, 1}, kLightDiffuse, kLightAmbient);
  DrawColorSquare(0xFF00FF00u);
  const float facing = 1.0f / std::sqrt(2.0f);
  const Rgb green{0, 1, 0};
  EXPECT_TRUE(ColorNear(Pixel(320, 240),
                        Pack(Clamp(kEmissive + kMaterialAmbient * (kGlobalAmbient + kLightAmbient) +
                                   green * kLightDiffuse * facing)),
                        1));
  // Ambient from the vertex too.
  device_->SetRenderState(RenderState::AmbientMaterialSource, MaterialColorSource::Color1);
  DrawColorSquare(0xFF00FF00u);
  EXPECT_TRUE(ColorNear(Pixel(320, 240),
                        Pack(Clamp(kEmissive + green * (kGlobalAmbient + kLightAmbient) +
                                   green * kLightDiffuse * facing)),
                        1));
  // ColorVertex off: the material again.
  device_->SetRenderState(RenderState::ColorVertex, 0u);
  DrawColorSquare(0xFF00FF00u);
  EXPECT_TRUE(ColorNear(Pixel(320, 240), Pack(OneLightColor()), 1));
}

TEST_P(ShadingTest, UnlitGeometryShowsTheVertexColourOrWhite) {
  device_->SetRenderState(RenderState::Lighting, 0u);
  DrawColorSquare(0xFF123456u);
  EXPECT_EQ(Pixel(320, 240), 0xFF123456u);
  DrawLitSquare();  // no colour in the vertex
  EXPECT_EQ(Pixel(320, 240), 0xFFFFFFFFu);
}

TEST_P(ShadingTest, SpecularHighlightOnlyWhenEnabled) {
  SetLight(0, {0, 0, 1}, kLightDiffuse, kLightAmbient);  // straight at the face
  Material material = device_->GetMaterial();
  material.specular = {0.2f, 0.1f, 0.0f, 1};
  material.power = 8;
  device_->SetMaterial(material);
  const Rgb lit = Clamp(kEmissive + kMaterialAmbient * (kGlobalAmbient + kLightAmbient) +
                        kMaterialDiffuse * kLightDiffuse);
  DrawLitSquare();
  EXPECT_TRUE(ColorNear(Pixel(320, 240), Pack(lit), 1));
  device_->SetRenderState(RenderState::SpecularEnable, 1u);
  DrawLitSquare();
  // Lit per vertex: every corner (2, 2, 10) away from the eye has the same highlight.
  const float length = std::sqrt(4.0f + 4.0f + 100.0f);
  const float hz = 1.0f + 10.0f / length, hxy = 2.0f / length;
  const float highlight = std::pow(hz / std::sqrt(hz * hz + 2 * hxy * hxy), 8.0f);
  EXPECT_TRUE(ColorNear(Pixel(320, 240), Pack(Clamp(lit + Rgb{0.2f, 0.1f, 0} * highlight)), 1));
}

TEST_P(ShadingTest, LinearFogMixesTowardsTheFogColourByEyeDepth) {
  device_->SetRenderState(RenderState::Lighting, 0u);
  device_->SetRenderState(RenderState::FogEnable, 1u);
  device_->SetRenderState(RenderState::FogColor, 0xFF0000FFu);
  device_->SetRenderState(RenderState::FogStart, FloatBits(5));
  device_->SetRenderState(RenderState::FogEnd, FloatBits(25));
  const Rgb white{1, 1, 1}, blue{0, 0, 1};
  for (FogMode table : {FogMode::Linear, FogMode::None}) {
    // Per pixel (table) or per vertex: the same on a face at one depth.
    device_->SetRenderState(RenderState::FogTableMode, table);
    device_->SetRenderState(RenderState::FogVertexMode, FogMode::Linear);
    for (float z : {3.0f, 10.0f, 20.0f, 30.0f}) {
      device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
      device_->SetTransform(TransformState::World, Translation(0, 0, z));
      DrawColorSquare(0xFFFFFFFFu);
      const float f = std::fmin(std::fmax((25 - z) / 20, 0.0f), 1.0f);
      EXPECT_TRUE(ColorNear(Pixel(320, 240), Pack(Mix(blue, white, f)), 1))
          << "depth " << z << (table == FogMode::Linear ? ", table fog" : ", vertex fog");
    }
  }
}

TEST_P(ShadingTest, FogNeedsItsSwitchAndALinearMode) {
  device_->SetRenderState(RenderState::Lighting, 0u);
  device_->SetRenderState(RenderState::FogColor, 0xFF0000FFu);
  device_->SetRenderState(RenderState::FogStart, FloatBits(0));
  device_->SetRenderState(RenderState::FogEnd, FloatBits(1));
  device_->SetRenderState(RenderState::FogTableMode, FogMode::Linear);
  DrawColorSquare(0xFFFFFFFFu);
  EXPECT_EQ(Pixel(320, 240), 0xFFFFFFFFu) << "fog switched off";
  device_->SetRenderState(RenderState::FogEnable, 1u);
  device_->SetRenderState(RenderState::FogTableMode, FogMode::Exp);
  DrawColorSquare(0xFFFFFFFFu);
  EXPECT_EQ(Pixel(320, 240), 0xFFFFFFFFu) << "a table mode that is not linear";
  device_->SetRenderState(RenderState::FogTableMode, FogMode::Linear);
  DrawScreenQuad(0, 0, 10, 10, 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu) << "screen-space vertices are never fogged";
  DrawColorSquare(0xFFFFFFFFu);
  EXPECT_EQ(Pixel(320, 240), 0xFF0000FFu) << "beyond the end: all fog";
}

TEST_P(ShadingTest, LitFoggedTexturedTriangleList) {
  SetLight(0, {0, -1, 1}, kLightDiffuse, kLightAmbient);
  device_->SetRenderState(RenderState::FogEnable, 1u);
  device_->SetRenderState(RenderState::FogTableMode, FogMode::Linear);
  device_->SetRenderState(RenderState::FogColor, 0xFF0000FFu);
  device_->SetRenderState(RenderState::FogStart, FloatBits(4));
  device_->SetRenderState(RenderState::FogEnd, FloatBits(20));
  const Argb texels[4] = {0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u, 0xFF808080u};
  auto texture = MakeTexture(2, 2, {texels[0], texels[1], texels[2], texels[3]});
  device_->SetTexture(0, texture.get());
  DrawLitSquare();  // at depth 10: fog factor (20 - 10) / 16
  const float f = 10.0f / 16.0f;
  const Rgb lit = OneLightColor();
  // The square spans 116 pixels either side of the centre; one texel per quarter.
  const int at[4][2] = {{262, 182}, {378, 182}, {262, 298}, {378, 298}};
  for (int i = 0; i < 4; ++i) {
    const Rgb texel{Red(texels[i]) / 255.0f, Green(texels[i]) / 255.0f, Blue(texels[i]) / 255.0f};
    EXPECT_TRUE(ColorNear(Pixel(at[i][0], at[i][1]), Pack(Mix({0, 0, 1}, lit * texel, f)), 1))
        << "quarter " << i;
  }
}

TEST_P(ShadingTest, TextureStageSelectsAndModulates) {
  device_->SetRenderState(RenderState::Lighting, 0u);
  auto texture = MakeTexture(1, 1, {0x80FF8000u});
  device_->SetTexture(0, texture.get());
  struct Case {
    TextureOp colorOp, alphaOp;
    uint32_t arg1, arg2;
    Argb want;  // drawn over black with alpha blending
  };
  // Diffuse 0xC0 40 80 FF (alpha 0.75), texel 0x80 FF 80 00 (alpha 0.5).
  const Case cases[] = {
      {TextureOp::SelectArg1, TextureOp::SelectArg1, kTaTexture, kTaDiffuse, 0xFF804000u},
      {TextureOp::SelectArg2, TextureOp::SelectArg2, kTaTexture, kTaDiffuse, 0xFF3060C0u},
      {TextureOp::Modulate, TextureOp::Modulate, kTaTexture, kTaCurrent, 0xFF181800u},
      {TextureOp::Modulate, TextureOp::SelectArg2, kTaTexture, kTaDiffuse, 0xFF303000u},
      {TextureOp::Disable, TextureOp::Modulate, kTaTexture, kTaDiffuse, 0xFF3060C0u},
  };
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::Zero);
  for (const Case& c : cases) {
    device_->SetTextureStageState(0, TextureStageState::ColorOp, c.colorOp);
    device_->SetTextureStageState(0, TextureStageState::AlphaOp, c.alphaOp);
    for (auto state : {TextureStageState::ColorArg1, TextureStageState::AlphaArg1})
      device_->SetTextureStageState(0, state, c.arg1);
    for (auto state : {TextureStageState::ColorArg2, TextureStageState::AlphaArg2})
      device_->SetTextureStageState(0, state, c.arg2);
    DrawScreenQuad(0, 0, 10, 10, 0xC04080FFu);
    EXPECT_TRUE(ColorNear(Pixel(5, 5), c.want, 1)) << "colour op " << static_cast<int>(c.colorOp)
                                                   << ", alpha op " << static_cast<int>(c.alphaOp);
  }
}

TEST_P(ShadingTest, NoTextureReadsAsOpaqueWhite) {
  device_->SetRenderState(RenderState::Lighting, 0u);
  device_->SetTextureStageState(0, TextureStageState::ColorArg2, kTaDiffuse);
  DrawScreenQuad(0, 0, 10, 10, 0xFF336699u);  // modulate with white
  EXPECT_EQ(Pixel(5, 5), 0xFF336699u);
  device_->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
  DrawScreenQuad(0, 0, 10, 10, 0xFF336699u);
  EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(GlDevice, ShadingTest, ::testing::Bool(), ClipSpaceName);

}  // namespace
}  // namespace quarn::testing
